#pragma once

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

#include "app/PresentableWindow.h"

class QWidget;
class QWindow;

namespace pellucine {

class WindowActivation;

// A top-level widget as a presentable window. It belongs to the widget and goes with it. Leaving
// full screen is over once the window manager reports the window's new state; zooming is
// maximizing. Main thread.
class QtPresentableWindow final : public QObject, public PresentableWindow {
    Q_OBJECT

  public:
    // The widget's adapter, made on first use. Without `activation` the focus is asked of Qt.
    static QtPresentableWindow& of(QWidget& widget, WindowActivation* activation);

    bool isFullScreen() const override;
    void exitFullScreen(std::function<void()> done) override;
    bool isZoomed() const override;
    void unzoom() override;
    void setContentSize(QSize size) override;
    void centre() override;
    void orderFront() override;
    void activate() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QtPresentableWindow(QWidget& widget, WindowActivation* activation);
    // The widget's window, made when missing and watched from then on.
    QWindow& window();
    void frameMayHaveChanged();
    // Lowers the least size of the window, and of what fills it, to `size` where larger.
    void allowSize(QSize size);
    // Gives them their own back once the work area holds them with the frame.
    void restoreLeastSizes(QMargins frame, const QRect& workArea);

    QWidget& widget_;
    WindowActivation* activation_;
    QPointer<QWindow> watched_;
    // Runs once the window manager reports the window out of full screen.
    std::function<void()> leftFullScreen_;
    // Until its frame is known, the window is centred again when the frame changes.
    bool watchingFrame_ = false;
    QMargins marginsUsed_;
    // The least sizes lowered for a small work area, as they were.
    QList<std::pair<QPointer<QWidget>, QSize>> loweredSizes_;
};

}  // namespace pellucine

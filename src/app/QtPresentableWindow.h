#pragma once

#include <QObject>
#include <QPointer>
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

    QWidget& widget_;
    WindowActivation* activation_;
    // Watched for the window manager's report while leaving full screen.
    QPointer<QWindow> leaving_;
    std::function<void()> leftFullScreen_;
};

}  // namespace pellucine

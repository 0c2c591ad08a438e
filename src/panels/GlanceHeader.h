#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "panels/GlanceCallbacks.h"

namespace pellucine {

class ControlButton;
class GlanceMenu;

// The glance's header row: the application's icon, its name (cut at the tail), the window
// count (never cut), and at the trailing end the application menu and the close button when
// the glance has them.
class GlanceHeader : public QWidget {
    Q_OBJECT

  public:
    static constexpr int sidePadding = 18;
    static constexpr int topPadding = 10;
    static constexpr int spacing = 8;
    static constexpr int iconSide = 22;
    static constexpr int minimumSpacer = 12;

    GlanceHeader(bool showsApplicationMenu, std::function<void()> onClose,
                 GlanceCallbacks callbacks, QWidget* parent = nullptr);

    // The application the header stands for, by its first window.
    void setApplication(const QString& name, qint32 processIdentifier, const QImage& icon,
                        int windowCount);

    QString name() const { return name_; }
    QString countText() const;
    bool hasIcon() const { return !icon_.isNull(); }
    ControlButton* menuButton() const { return menuButton_; }
    ControlButton* closeButton() const { return closeButton_; }
    // Where the name and the count are drawn; the name's rectangle is narrower than its text
    // when it is cut.
    QRectF nameRect() const;
    QRectF countRect() const;
    // The application menu; it sends for the header's application.
    void openApplicationMenu();

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    qreal buttonsLeft() const;
    qreal rowHeight() const;

    GlanceCallbacks callbacks_;
    std::function<void()> onClose_;
    ControlButton* menuButton_ = nullptr;
    ControlButton* closeButton_ = nullptr;
    QPointer<GlanceMenu> applicationMenu_;
    QString name_;
    qint32 processIdentifier_ = 0;
    QImage icon_;
    int windowCount_ = 0;
};

}  // namespace pellucine

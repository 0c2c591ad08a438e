#include "design/WellFrame.h"

#include <QApplication>
#include <QChildEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "design/Yard.h"

namespace pellucine {

namespace Yard {

void paintWellGround(QPainter& painter, const QRectF& rect, ColorScheme scheme) {
    painter.fillRect(rect, palette(scheme).ground);
}

void paintWellBorder(QPainter& painter, const QRectF& rect, ColorScheme scheme, bool focused) {
    const Palette& colours = palette(scheme);
    const qreal width = focused ? focusedWellBorder : idleWellBorder;
    QColor colour = colours.accentType;
    if (!focused) {
        colour = colours.fore;
        colour.setAlphaF(static_cast<float>(idleWellBorderOpacity));
    }
    strokeInside(painter, rect, colour, width);
}

void wellFrame(QPainter& painter, const QRectF& rect, ColorScheme scheme, bool focused) {
    paintWellGround(painter, rect, scheme);
    paintWellBorder(painter, rect, scheme, focused);
}

}  // namespace Yard

// Draws the border above the content, which would otherwise cover it.
class WellFrame::Border : public QWidget {
  public:
    explicit Border(WellFrame* frame) : QWidget(frame), frame_(frame) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        Yard::paintWellBorder(painter, rect(), Yard::scheme(frame_), frame_->isFocused());
    }

  private:
    WellFrame* frame_;
};

WellFrame::WellFrame(QWidget* content, QWidget* parent) : QWidget(parent) {
    border_ = new Border(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        connect(app, &QApplication::focusChanged, this,
                [this](QWidget*, QWidget* now) { focusMoved(now); });
    }
    setContent(content);
}

void WellFrame::setContent(QWidget* content) {
    if (content_ == content) {
        return;
    }
    delete content_.data();
    content_ = content;
    if (content_ != nullptr) {
        layout()->addWidget(content_);
    }
    border_->raise();
    focusMoved(QApplication::focusWidget());
}

void WellFrame::setFocused(bool focused) {
    if (focused_ != focused) {
        focused_ = focused;
        border_->update();
    }
}

void WellFrame::setTracksFocus(bool tracks) {
    tracksFocus_ = tracks;
    focusMoved(QApplication::focusWidget());
}

void WellFrame::focusMoved(QWidget* now) {
    if (tracksFocus_) {
        setFocused(now != nullptr && (now == this || isAncestorOf(now)));
    }
}

void WellFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Yard::paintWellGround(painter, rect(), Yard::scheme(this));
}

void WellFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    border_->setGeometry(rect());
    border_->raise();
}

void WellFrame::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    if (event->added() && border_ != nullptr) {
        border_->raise();
    }
}

}  // namespace pellucine

#include "panels/GlanceHeader.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/Yard.h"
#include "panels/ControlButton.h"
#include "panels/GlanceGeometry.h"
#include "panels/GlanceMenu.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

GlanceHeader::GlanceHeader(bool showsApplicationMenu, std::function<void()> onClose,
                           GlanceCallbacks callbacks, QWidget* parent)
    : QWidget(parent), callbacks_(std::move(callbacks)), onClose_(std::move(onClose)) {
    if (showsApplicationMenu) {
        menuButton_ =
            new ControlButton(QStringLiteral("ellipsis.circle"), QStringLiteral("App actions"),
                              {iconSide, 13, false, false}, this);
        connect(menuButton_, &QAbstractButton::clicked, this, &GlanceHeader::openApplicationMenu);
    }
    if (onClose_) {
        closeButton_ = new ControlButton(QStringLiteral("xmark"), QStringLiteral("Close"),
                                         {iconSide, 11, true, false}, this);
        connect(closeButton_, &QAbstractButton::clicked, this, [this] { onClose_(); });
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GlanceHeader::setApplication(const QString& name, qint32 processIdentifier, const QImage& icon,
                                  int windowCount) {
    name_ = name;
    processIdentifier_ = processIdentifier;
    icon_ = icon;
    windowCount_ = windowCount;
    if (menuButton_ != nullptr) {
        // The tooltip stays "App actions"; assistive technologies hear the application too.
        menuButton_->setAccessibleName(QStringLiteral("App actions for ") + name_);
    }
    if (applicationMenu_) {
        applicationMenu_->followApplication(windowCount_);
    }
    update();
}

QString GlanceHeader::countText() const {
    return GlanceGeometry::windowCountText(windowCount_);
}

qreal GlanceHeader::rowHeight() const {
    const qreal text = std::max(QFontMetricsF(GlanceStyle::headlineFont()).height(),
                                QFontMetricsF(GlanceStyle::captionFont()).height());
    return std::ceil(std::max<qreal>(iconSide, text));
}

QSize GlanceHeader::sizeHint() const {
    return {300, static_cast<int>(topPadding + rowHeight())};
}

qreal GlanceHeader::buttonsLeft() const {
    qreal left = width() - sidePadding;
    for (const ControlButton* button : {closeButton_, menuButton_}) {
        if (button != nullptr) {
            left -= button->width() + spacing;
        }
    }
    return left + (menuButton_ != nullptr || closeButton_ != nullptr ? spacing : 0);
}

QRectF GlanceHeader::nameRect() const {
    const qreal left = sidePadding + (hasIcon() ? iconSide + spacing : 0);
    const qreal countWidth =
        std::ceil(QFontMetricsF(GlanceStyle::captionFont()).horizontalAdvance(countText()));
    const qreal room = buttonsLeft() - minimumSpacer - countWidth - spacing - left;
    const qreal natural =
        std::ceil(QFontMetricsF(GlanceStyle::headlineFont()).horizontalAdvance(name_));
    return {left, static_cast<qreal>(topPadding), std::max<qreal>(0, std::min(natural, room)),
            rowHeight()};
}

QRectF GlanceHeader::countRect() const {
    const QRectF name = nameRect();
    const qreal countWidth =
        std::ceil(QFontMetricsF(GlanceStyle::captionFont()).horizontalAdvance(countText()));
    return {name.right() + spacing, name.top(), countWidth, name.height()};
}

void GlanceHeader::openApplicationMenu() {
    if (applicationMenu_ && applicationMenu_->isVisible()) {
        applicationMenu_->close();
    }
    applicationMenu_ =
        GlanceMenu::forApplication(windowCount_, processIdentifier_, callbacks_, this);
    const QWidget* anchor = menuButton_ != nullptr ? static_cast<QWidget*>(menuButton_) : this;
    applicationMenu_->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

void GlanceHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    int right = width() - sidePadding;
    const int middle = topPadding + static_cast<int>(rowHeight()) / 2;
    for (ControlButton* button : {closeButton_, menuButton_}) {
        if (button != nullptr) {
            button->move(right - button->width(), middle - button->height() / 2);
            right -= button->width() + spacing;
        }
    }
}

void GlanceHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const Yard::Palette& palette = Yard::palette(this);
    const QRectF name = nameRect();
    if (hasIcon()) {
        const QRectF box(sidePadding, name.center().y() - iconSide / 2.0, iconSide, iconSide);
        painter.drawImage(GlanceStyle::fitted(icon_.size(), box), icon_);
    }
    painter.setFont(GlanceStyle::headlineFont());
    painter.setPen(GlanceStyle::primary(palette));
    painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(painter.font()).elidedText(name_, Qt::ElideRight, name.width()));
    painter.setFont(GlanceStyle::captionFont());
    painter.setPen(GlanceStyle::secondary(palette));
    painter.drawText(countRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     countText());
}

}  // namespace pellucine

#include "settings/StepTab.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/Yard.h"

namespace pellucine {
namespace {

QFont tabFont(bool underlined) {
    QFont font = Yard::tracked(Yard::tagFont(), StepTab::tracking);
    font.setUnderline(underlined);
    return font;
}

}  // namespace

StepTab::StepTab(const QString& title, int index, int count, QWidget* parent)
    : QAbstractButton(parent) {
    Yard::installAccessibility();
    setText(title.toUpper());
    setAccessibleName(accessibleName(title, index, count));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QString StepTab::accessibleName(const QString& title, int index, int count) {
    return QStringLiteral("Step %1 of %2, %3").arg(index + 1).arg(count).arg(title);
}

void StepTab::setCurrent(bool current) {
    if (current_ == current) {
        return;
    }
    current_ = current;
    QAccessible::State changed;
    changed.selected = true;
    Yard::announceStateChange(this, changed);
    update();
}

void StepTab::adjustAccessibleState(QAccessible::State& state) const {
    state.selectable = true;
    state.selected = current_;
}

QSize StepTab::sizeHint() const {
    const QFontMetricsF metrics(tabFont(true));
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text()))),
            static_cast<int>(std::ceil(metrics.height()))};
}

void StepTab::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor ink = Yard::palette(this).railInk;
    ink.setAlphaF(static_cast<float>(ink.alphaF() * (current_ ? 1.0 : otherOpacity)));
    painter.setPen(ink);
    painter.setFont(tabFont(current_));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

}  // namespace pellucine

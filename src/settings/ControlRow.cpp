#include "settings/ControlRow.h"

#include <QHBoxLayout>
#include <QPainter>

#include "design/Symbols.h"
#include "design/Yard.h"

namespace pellucine {

ControlRow::ControlRow(int spacing, QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(spacing);
}

void ControlRow::add(QWidget* control) {
    if (first_ == nullptr) {
        first_ = control;
    }
    layout_->addWidget(control, 0, Qt::AlignVCenter);
}

void ControlRow::addStretch() {
    layout_->addStretch(1);
}

int ControlRow::firstBaseline() const {
    if (first_ == nullptr) {
        return height();
    }
    return first_->y() + Yard::firstBaseline(first_, first_->height());
}

SymbolMark::SymbolMark(const QString& name, const QFont& font, Ink ink, QWidget* parent)
    : QWidget(parent), name_(name), ink_(ink) {
    setFont(font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SymbolMark::sizeHint() const {
    const int side = QFontMetrics(font()).height();
    return {side, side};
}

void SymbolMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Symbols::draw(painter, name_, rect(), font().pointSizeF(), SymbolWeight::regular,
                  {Yard::palette(this).*ink_});
}

}  // namespace pellucine

#include "design/YardCard.h"

#include <QPainter>
#include <QVBoxLayout>

#include "design/Yard.h"
#include "design/YardText.h"

namespace pellucine {

YardCard::YardCard(const QString& kicker, const std::optional<QString>& note, QWidget* parent)
    : QWidget(parent),
      kicker_(new YardText(kicker.toUpper(), Yard::tracked(Yard::kickerFont(), kickerTracking),
                           &Yard::Palette::accentType)),
      note_(new YardText(note.value_or(QString()), Yard::hintFont(), &Yard::Palette::muted)),
      body_(new QVBoxLayout) {
    auto* header = new QVBoxLayout;
    header->setContentsMargins(sidePadding, headerTop, sidePadding, headerBottom);
    header->setSpacing(headerSpacing);
    header->addWidget(kicker_);
    header->addWidget(note_);
    note_->setVisible(note.has_value());

    body_->setContentsMargins(sidePadding, 0, sidePadding, bodyBottom);
    body_->setSpacing(bodySpacing);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(header);
    column->addLayout(body_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void YardCard::setKicker(const QString& kicker) {
    kicker_->setText(kicker.toUpper());
}

void YardCard::setNote(const std::optional<QString>& note) {
    note_->setText(note.value_or(QString()));
    note_->setVisible(note.has_value());
}

void YardCard::addWidget(QWidget* widget) {
    Yard::addLeading(body_, widget);
}

void YardCard::paintEvent(QPaintEvent*) {
    const Yard::Palette& palette = Yard::palette(this);
    QPainter painter(this);
    painter.fillRect(rect(), palette.sheet);
    Yard::strokeInside(painter, rect(), palette.cardBorder, borderWidth);
}

}  // namespace pellucine

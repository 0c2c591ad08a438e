#include "design/BayHeader.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "design/HazardStripe.h"
#include "design/SavedStamp.h"
#include "design/YardFonts.h"
#include "design/YardText.h"

namespace pellucine {

BayHeader::BayHeader(const QString& title, bool saved, QWidget* parent)
    : QWidget(parent),
      title_(new YardText(title.toUpper(), titleFont(), &Yard::Palette::fore, false)),
      stamp_(new SavedStamp(saved)),
      stripe_(new HazardStripe(stripeHeight)) {
    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(titleRowSpacing);
    titleRow->addWidget(title_, 0, Qt::AlignVCenter);
    titleRow->addSpacerItem(new QSpacerItem(minimumGap, 0, QSizePolicy::Expanding));
    titleRow->addWidget(stamp_, 0, Qt::AlignVCenter);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(stripeSpacing);
    column->addLayout(titleRow);
    column->addWidget(stripe_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void BayHeader::setTitle(const QString& title) {
    title_->setText(title.toUpper());
}

void BayHeader::setSaved(bool saved) {
    stamp_->setShowing(saved);
}

bool BayHeader::isSaved() const {
    return stamp_->isShowing();
}

QFont BayHeader::titleFont() {
    return Yard::tracked(
        Yard::font(titleSize, QFont::Black, Yard::FontDesign::standard, Yard::FontWidth::condensed),
        titleTracking);
}

}  // namespace pellucine

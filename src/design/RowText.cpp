#include "design/RowText.h"

#include <QVBoxLayout>

#include "design/KeyHint.h"
#include "design/YardFonts.h"
#include "design/YardText.h"

namespace pellucine {

RowText::RowText(const QString& label, const std::optional<QString>& hint,
                 const std::optional<QString>& keyHint, QWidget* parent)
    : QWidget(parent),
      label_(new YardText(label, Yard::labelFont())),
      hint_(new YardText(hint.value_or(QString()), Yard::hintFont(), &Yard::Palette::muted)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(label_);
    layout->addWidget(hint_);
    hint_->setVisible(hint.has_value());
    if (keyHint) {
        keyHint_ = new KeyHint(*keyHint, Yard::hintFont(), true);
        layout->addWidget(keyHint_);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void RowText::setLabel(const QString& label) {
    label_->setText(label);
}

void RowText::setHint(const std::optional<QString>& hint) {
    hint_->setText(hint.value_or(QString()));
    hint_->setVisible(hint.has_value());
}

int RowText::firstBaseline() const {
    return label_->firstBaseline();
}

}  // namespace pellucine

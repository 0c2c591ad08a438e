#include "design/SettingRow.h"

#include <QVBoxLayout>

#include "design/BaselineRowLayout.h"
#include "design/RowText.h"
#include "design/Yard.h"

namespace pellucine {

SettingRow::SettingRow(const QString& label, const std::optional<QString>& hint,
                       const std::optional<QString>& keyHint, QWidget* control, QWidget* parent)
    : QWidget(parent), text_(new RowText(label, hint, keyHint)), control_(control) {
    auto* layout = new BaselineRowLayout(this);
    layout->setSpacing(spacing);
    layout->addWidget(text_, true);
    if (control_ != nullptr) {
        layout->addWidget(control_, false);
    }
    setSizePolicy(Yard::fullWidthPolicy());
}

StackedRow::StackedRow(const QString& label, const std::optional<QString>& hint, QWidget* control,
                       QWidget* parent)
    : QWidget(parent), text_(new RowText(label, hint, std::nullopt)), control_(control) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(text_);
    if (control_ != nullptr) {
        Yard::addLeading(layout, control_);
    }
    setSizePolicy(Yard::fullWidthPolicy());
}

}  // namespace pellucine

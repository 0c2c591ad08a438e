#include "settings/SwitchRow.h"

#include "design/YardSwitch.h"

namespace pellucine {

SwitchRow::SwitchRow(const QString& label, const std::optional<QString>& hint,
                     const std::optional<QString>& keyHint, std::function<bool()> read,
                     std::function<void(bool)> flipped, QWidget* parent)
    : SettingRow(label, hint, keyHint, new YardSwitch(label), parent),
      toggle_(static_cast<YardSwitch*>(control())),
      read_(std::move(read)) {
    // Clicks only: a refresh sets the switch without counting as a flip.
    connect(toggle_, &QAbstractButton::clicked, this,
            [flipped = std::move(flipped)](bool on) { flipped(on); });
    refresh();
}

void SwitchRow::refresh() {
    toggle_->setChecked(read_());
}

}  // namespace pellucine

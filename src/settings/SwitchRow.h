#pragma once

#include <functional>
#include <optional>

#include "design/SettingRow.h"

namespace pellucine {

class YardSwitch;

// A settings row whose control is a switch for one setting: `refresh` shows what `read` gives,
// and only a flip by the user reaches `flipped`, with the new value.
class SwitchRow final : public SettingRow {
    Q_OBJECT

  public:
    SwitchRow(const QString& label, const std::optional<QString>& hint,
              const std::optional<QString>& keyHint, std::function<bool()> read,
              std::function<void(bool)> flipped, QWidget* parent = nullptr);

    YardSwitch* toggle() const { return toggle_; }
    void refresh();

  private:
    YardSwitch* toggle_;
    std::function<bool()> read_;
};

}  // namespace pellucine

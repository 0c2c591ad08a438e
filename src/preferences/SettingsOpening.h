#pragma once

#include <QString>

namespace pellucine {

// Opens the settings window at a page; the application shell provides it and hands it to
// SettingsUpdateResume::resumeIfNeeded at launch.
class SettingsOpening {
  public:
    virtual ~SettingsOpening() = default;

    // Sets the model's pending settings page to `pane` (a page's raw value, such as "general")
    // and, while the application delegate exists, shows the settings window, brought to the
    // front when it is already open, and records "settings-opened". Main thread; no result, no
    // failure.
    virtual void openSettings(const QString& pane) = 0;
};

}  // namespace pellucine

#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>

#include "preferences/MachinePreferences.h"
#include "preferences/UpdateChannel.h"

namespace pellucine {

// Checks the update feed and installs updates through the updater. The application model makes
// exactly one while it is created and keeps it for the life of the process. Creating it starts
// nothing: no check, no timer, no network request and no updater yet.
class UpdateController : public QObject {
    Q_OBJECT

  public:
    explicit UpdateController(QObject* parent = nullptr);

    // A short text about the last check for the menu and the About page; none yet.
    const std::optional<QString>& note() const { return note_; }
    bool isChecking() const { return isChecking_; }
    // When the last check finished; none when there was none.
    const std::optional<QDateTime>& lastCheckedAt() const { return lastCheckedAt_; }
    bool lastCheckFailed() const { return lastCheckFailed_; }
    // The version of the update the feed offers; none when none is known.
    const std::optional<QString>& availableVersion() const { return availableVersion_; }
    UpdateChannel channel() const { return channel_; }
    const MachinePreferences& machinePreferences() const { return machinePreferences_; }
    bool hasUpdater() const { return hasUpdater_; }
    // How many checks have been started.
    int checkCount() const { return checkCount_; }

  private:
    std::optional<QString> note_;
    bool isChecking_ = false;
    std::optional<QDateTime> lastCheckedAt_;
    bool lastCheckFailed_ = false;
    std::optional<QString> availableVersion_;
    UpdateChannel channel_ = UpdateChannel::stable;
    MachinePreferences machinePreferences_;
    bool hasUpdater_ = false;
    int checkCount_ = 0;
};

}  // namespace pellucine

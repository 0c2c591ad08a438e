#pragma once

#include <QSet>
#include <QString>
#include <optional>

#include "platform/AppcastItem.h"
#include "platform/Updater.h"
#include "platform/VersionDisplay.h"

namespace pellucine {

// The program's answers to its updater. Called synchronously on the main thread.
class UpdaterDelegate {
  public:
    virtual ~UpdaterDelegate() = default;

    // Named channels whose releases may be offered; releases without a channel always may.
    virtual QSet<QString> allowedChannels() = 0;
    // A feed to read instead of the program's own; none for the program's own.
    virtual std::optional<QString> feedURLString() = 0;
    // The release to offer, from the releases on allowed channels; none offers nothing.
    virtual std::optional<AppcastItem> bestValidUpdate(const Appcast& appcast) = 0;

    virtual void didFindValidUpdate(const AppcastItem& item) = 0;
    virtual void didNotFindUpdate() = 0;
    // Every session ends here once, with the code it ended with (noUpdate when nothing newer
    // was found); a session that installs ends the process instead.
    virtual void didFinishUpdateCycle(UpdateCheck check,
                                      const std::optional<UpdaterError>& error) = 0;
    // The update is in place and the program is about to start again.
    virtual void willRelaunchApplication() = 0;
    // Whether this copy of the program may replace itself; asked before downloading.
    virtual bool mayInstallUpdates() = 0;

    // The windows.
    // True when scheduled finds are to be shown only as far as the next answer allows.
    virtual bool supportsGentleScheduledUpdateReminders() = 0;
    // Whether a release found by the schedule is shown in the updater's window.
    virtual bool shouldHandleShowingScheduledUpdate(const AppcastItem& item,
                                                    bool immediateFocus) = 0;
    virtual VersionDisplay& versionDisplayer() = 0;
    // An alert is about to be shown.
    virtual void willShowModalAlert() = 0;
};

}  // namespace pellucine

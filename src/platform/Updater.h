#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/Clock.h"

namespace pellucine {

class UpdaterDelegate;

// What started an update session.
enum class UpdateCheck {
    // The user asked: windows are shown, and an update can be installed.
    updates,
    // The updater's own schedule.
    updatesInBackground,
    // A silent look at the feed; nothing is shown or installed.
    updateInformation,
};

// The codes a session ends with.
namespace UpdaterErrorCode {
inline constexpr int invalidFeedURL = 4;
inline constexpr int appcastParse = 1000;
inline constexpr int noUpdate = 1001;
inline constexpr int appcast = 1002;
inline constexpr int download = 2001;
inline constexpr int signature = 3001;
// No public key to check against, or a release without a signature.
inline constexpr int missingSignature = 3002;
inline constexpr int installation = 4005;
inline constexpr int installationCanceled = 4007;
inline constexpr int installationWriteNoPermission = 4012;
}  // namespace UpdaterErrorCode

struct UpdaterError {
    int code = 0;
    QString description;

    friend bool operator==(const UpdaterError&, const UpdaterError&) = default;
};

// Checks the program's update feed, on its own schedule or when asked, and with the user's
// consent downloads, verifies and installs an update and relaunches the program. It reports to
// its delegate synchronously, on the main thread. Main thread.
class Updater {
  public:
    virtual ~Updater() = default;

    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;
    virtual Duration updateCheckInterval() const = 0;
    virtual void setUpdateCheckInterval(Duration interval) = 0;
    // When the feed last answered a check; none before the first answer.
    virtual std::optional<QDateTime> lastUpdateCheckDate() const = 0;

    // False while a session runs.
    virtual bool canCheckForUpdates() const = 0;
    virtual bool sessionInProgress() const = 0;

    // The user's check, with windows, through to installing.
    virtual void checkForUpdates() = 0;
    // A silent check: the delegate hears what the feed offers; nothing is shown.
    virtual void checkForUpdateInformation() = 0;
};

// Creates and starts the program's updater, reporting to `delegate`, which outlives it.
using UpdaterFactory = std::function<std::unique_ptr<Updater>(UpdaterDelegate& delegate)>;

}  // namespace pellucine

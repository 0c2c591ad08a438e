#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/Scheduler.h"

namespace pellucine {

// Reopens the settings window at its page after an update relaunches the program. Just before
// the relaunch a small receipt is written to "settings-update-resume.json" in the program's
// folder; at the next launch it is read once, deleted whatever it held, and when it is younger
// than ten minutes, not from the future and names a known page, the page is opened 1.0 s later.
class SettingsUpdateResume {
  public:
    // Seconds since 2001-01-01 00:00:00 UTC, the receipt's time scale.
    static constexpr double referenceDateUnixSeconds = 978'307'200.0;
    static constexpr double receiptLifetimeSeconds = 600.0;
    // Files of this size or larger are not receipts.
    static constexpr qint64 receiptSizeLimit = 4096;
    static constexpr double openDelaySeconds = 1.0;

    struct Receipt {
        // The raw value of the settings page that was showing.
        QString pane;
        // When the receipt was written, in seconds since 2001-01-01 00:00:00 UTC.
        double writtenAt = 0;

        // Both members are required; throws PreferenceDecodingError.
        static Receipt fromJson(const QJsonObject& object);
        QJsonObject toJson() const;

        friend bool operator==(const Receipt&, const Receipt&) = default;
    };

    // One window of this application, as the platform lists them, front to back.
    struct WindowSummary {
        QString title;
        bool visible = false;
    };
    using WindowLister = std::function<QList<WindowSummary>()>;
    // Shows the settings window at the page with this raw value.
    using SettingsOpener = std::function<void(const QString& pane)>;

    SettingsUpdateResume(AppPaths paths, const WallClock& clock, Scheduler& scheduler,
                         WindowLister windows);

    // The pages a receipt may name.
    static const QStringList& knownPanes();
    static double referenceSeconds(const QDateTime& date);

    QString receiptPath() const;

    // The page the settings window shows, kept up to date by the settings window; "general"
    // until it first shows one.
    const QString& lastSettingsPane() const { return lastSettingsPane_; }
    void setLastSettingsPane(const QString& pane) { lastSettingsPane_ = pane; }

    // Called when the updater is about to relaunch: writes a receipt for the last page when a
    // settings window is visible, and removes any older receipt when none is. Failures to write
    // go to the platform log.
    void rememberOpenSettings();
    // Called once at launch: reads and deletes the receipt, and when it is valid calls `open`
    // with its page 1.0 s later on the scheduler.
    void resumeIfNeeded(SettingsOpener open);

    // Reads the receipt as of now and deletes the file, valid or not.
    std::optional<Receipt> takeReceipt();

  private:
    std::optional<Receipt> readReceipt() const;

    AppPaths paths_;
    const WallClock& clock_;
    Scheduler& scheduler_;
    WindowLister windows_;
    QString lastSettingsPane_ = QStringLiteral("general");
};

}  // namespace pellucine

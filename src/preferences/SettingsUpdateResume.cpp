#include "preferences/SettingsUpdateResume.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QtGlobal>
#include <algorithm>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "preferences/JsonFields.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {

namespace {

const QString paneKey = QStringLiteral("pane");
const QString writtenAtKey = QStringLiteral("writtenAt");

}  // namespace

SettingsUpdateResume::Receipt SettingsUpdateResume::Receipt::fromJson(const QJsonObject& object) {
    const JsonFieldReader reader(object);
    Receipt receipt;
    receipt.pane = reader.requiredString(paneKey);
    receipt.writtenAt = reader.requiredDouble(writtenAtKey);
    return receipt;
}

QJsonObject SettingsUpdateResume::Receipt::toJson() const {
    QJsonObject object;
    object.insert(paneKey, pane);
    object.insert(writtenAtKey, writtenAt);
    return object;
}

SettingsUpdateResume::SettingsUpdateResume(AppPaths paths, const WallClock& clock,
                                           Scheduler& scheduler, WindowLister windows)
    : paths_(std::move(paths)),
      clock_(clock),
      scheduler_(scheduler),
      windows_(std::move(windows)) {}

const QStringList& SettingsUpdateResume::knownPanes() {
    static const QStringList panes{QStringLiteral("general"), QStringLiteral("switcher"),
                                   QStringLiteral("dock"), QStringLiteral("about")};
    return panes;
}

double SettingsUpdateResume::referenceSeconds(const QDateTime& date) {
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0 - referenceDateUnixSeconds;
}

QString SettingsUpdateResume::receiptPath() const {
    return paths_.programSupportFolder() + QStringLiteral("/settings-update-resume.json");
}

void SettingsUpdateResume::rememberOpenSettings() {
    const QList<WindowSummary> windows = windows_ ? windows_() : QList<WindowSummary>{};
    const bool settingsShowing =
        std::any_of(windows.begin(), windows.end(), [](const WindowSummary& window) {
            return window.visible && window.title.contains(QStringLiteral("Settings"));
        });
    if (!settingsShowing) {
        QFile::remove(receiptPath());
        return;
    }

    const Receipt receipt{lastSettingsPane_, referenceSeconds(clock_.now())};
    std::optional<QString> failure;
    const QString folder = paths_.programSupportFolder();
    if (!QDir().mkpath(folder)) {
        failure = QStringLiteral("The folder “%1” couldn’t be created.").arg(folder);
    } else {
        failure = writeFileAtomically(
            receiptPath(), QJsonDocument(receipt.toJson()).toJson(QJsonDocument::Compact));
    }
    if (failure) {
        qWarning("Could not remember Settings for update: %s", qUtf8Printable(*failure));
    }
}

std::optional<SettingsUpdateResume::Receipt> SettingsUpdateResume::readReceipt() const {
    // Only a regular file is read: a folder or a pipe planted there is not a receipt.
    const RegularFileRead read = readRegularFile(receiptPath(), receiptSizeLimit - 1);
    if (!read.ok()) {
        return std::nullopt;
    }
    Receipt receipt;
    try {
        receipt = Receipt::fromJson(parseJsonObject(read.data));
    } catch (const PreferenceDecodingError&) {
        return std::nullopt;
    }
    const double now = referenceSeconds(clock_.now());
    // Written later than now: a clock set back or a planted file. (Also refuses NaN.)
    if (!(receipt.writtenAt <= now)) {
        return std::nullopt;
    }
    if (now - receipt.writtenAt >= receiptLifetimeSeconds) {
        return std::nullopt;
    }
    if (!knownPanes().contains(receipt.pane)) {
        return std::nullopt;
    }
    return receipt;
}

std::optional<SettingsUpdateResume::Receipt> SettingsUpdateResume::takeReceipt() {
    std::optional<Receipt> receipt = readReceipt();
    QFile::remove(receiptPath());
    return receipt;
}

void SettingsUpdateResume::resumeIfNeeded(SettingsOpener open) {
    // At launch: what an earlier run left half-written in the program's folder goes.
    removeStaleTemporaryFiles(paths_.programSupportFolder());
    const std::optional<Receipt> receipt = takeReceipt();
    if (!receipt || !open) {
        return;
    }
    scheduler_.postAfter(seconds(openDelaySeconds),
                         [open = std::move(open), pane = receipt->pane] { open(pane); });
}

}  // namespace pellucine

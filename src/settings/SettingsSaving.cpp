#include "settings/SettingsSaving.h"

#include <QFileInfo>
#include <QPointer>
#include <utility>

#include "base/Spawn.h"
#include "coordination/AppModel.h"
#include "design/BayHeader.h"
#include "design/Yard.h"
#include "design/YardText.h"
#include "preferences/SettingsFileStore.h"

namespace pellucine {

SettingsSaving::SettingsSaving(AppModel& model, Scheduler& scheduler, const AppPaths& paths,
                               BayHeader& header)
    : model_(model), scheduler_(scheduler), header_(header) {
    saveFailure_ = new YardText(saveFailureText(paths), Yard::hintFont(), &Yard::Palette::accent);
    saveFailure_->setObjectName(QStringLiteral("saveFailure"));
    saveFailure_->setVisible(model_.preferencesUnsaved().value());
    reverted_ = new YardText(QString(), Yard::hintFont(), &Yard::Palette::accent);
    reverted_->setObjectName(QStringLiteral("settingsReverted"));
    reverted_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    showReverted(model_.settingsReverted().value());
    subscriptions_ += model_.preferencesUnsaved().subscribe(
        [this](bool unsaved) { saveFailure_->setVisible(unsaved); });
    subscriptions_ += model_.settingsReverted().subscribe(
        [this](const std::optional<UnreadableCopy>& copy) { showReverted(copy); });
}

SettingsSaving::~SettingsSaving() = default;

QString SettingsSaving::saveFailureText(const AppPaths& paths) {
    return QStringLiteral(
               "Settings could not be saved in %1. Changes last only until PELLUCINE quits; "
               "they are saved once the folder can be written again.")
        .arg(QFileInfo(SettingsFileStore::standardFilePath(paths)).path());
}

QString SettingsSaving::revertedText(const UnreadableCopy& copy) {
    QString text =
        QStringLiteral("Saved settings could not be read, so PELLUCINE started from the defaults.");
    if (!copy.path.isEmpty()) {
        text += QStringLiteral(" A copy of them was kept in %1.").arg(copy.path);
    } else if (!copy.isSafe()) {
        text += QStringLiteral(" No copy could be kept, so the file is left as it was.");
    }
    return text;
}

bool SettingsSaving::isShowingReverted() const {
    return !reverted_->isHidden();
}

void SettingsSaving::showReverted(const std::optional<UnreadableCopy>& copy) {
    if (copy) {
        reverted_->setText(revertedText(*copy));
    }
    reverted_->setVisible(copy.has_value());
}

bool SettingsSaving::isShowingSaveFailure() const {
    return !saveFailure_->isHidden();
}

// ---- Commit ----------------------------------------------------------------------------------

void SettingsSaving::markSaved() {
    const bool stored = model_.applyPreferences();
    uncommittedFrom_.reset();
    stampSave(stored);
}

void SettingsSaving::stampSave(bool stored) {
    if (stored) {
        flashSaved();
        return;
    }
    // The failure shows instead, for as long as the model says the records are unsaved.
    ++saveGeneration_;
    saved_ = false;
    header_.setSaved(false);
}

void SettingsSaving::flashSaved() {
    const qint64 generation = ++saveGeneration_;
    saved_ = true;
    header_.setSaved(true);
    scheduler_.postAfter(seconds(savedSeconds),
                         [self = QPointer<SettingsSaving>(this), generation] {
                             if (self && self->saveGeneration_ == generation) {
                                 self->saved_ = false;
                                 self->header_.setSaved(false);
                             }
                         });
}

SettingsSaving::Records SettingsSaving::records() const {
    return {model_.portablePreferences().value(), model_.machinePreferences().value()};
}

void SettingsSaving::noteUncommitted() {
    if (!uncommittedFrom_) {
        uncommittedFrom_ = records();
    }
}

void SettingsSaving::editPortable(const std::function<void(PortablePreferences&)>& change) {
    noteUncommitted();
    model_.portablePreferences().modify(change);
}

void SettingsSaving::editMachine(const std::function<void(MachinePreferences&)>& change) {
    noteUncommitted();
    model_.machinePreferences().modify(change);
}

void SettingsSaving::commitPortable(const std::function<void(PortablePreferences&)>& change) {
    model_.portablePreferences().modify(change);
    markSaved();
}

void SettingsSaving::commitMachine(const std::function<void(MachinePreferences&)>& change) {
    model_.machinePreferences().modify(change);
    markSaved();
}

// ---- Sync ------------------------------------------------------------------------------------

void SettingsSaving::setSyncEnabled(bool enabled) {
    const quint64 toggle = ++syncToggles_;
    if (!enabled) {
        commitPortable([](PortablePreferences& p) { p.syncEnabled = false; });
        return;
    }
    // The switch is kept at once, unstamped, so that the pull compares the synced copy with the
    // settings as they were; only what the pull leaves is pushed.
    model_.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = true; });
    stampSave(model_.storePreferences());
    syncPull_ = spawn(scheduler_, guarded(this, &SettingsSaving::pullBeforePush, toggle));
}

QCoro::Task<void> SettingsSaving::pullBeforePush(CancellationToken, quint64 toggle) {  // NOLINT
    const QPointer<SettingsSaving> self(this);
    AppModel& model = model_;
    // Joining: whatever the folder holds is what the user chose to share.
    co_await model.pullSyncedPreferences(SyncMerge::Read::join);
    if (!self || self->syncToggles_ != toggle) {
        co_return;
    }
    // A copy that could not be read is never overwritten.
    if (model.syncStatus().value().statusCase() == AppModel::SyncStatus::Case::failed) {
        co_return;
    }
    self->commitPortable([](PortablePreferences& p) { p.syncEnabled = true; });
}

// ---- Closing ---------------------------------------------------------------------------------

void SettingsSaving::windowClosed() {
    // Told once: a window that showed the reverted settings does not show them again.
    if (isShowingReverted()) {
        model_.settingsReverted().set(std::nullopt);
    }
    // Only changes not committed yet are saved as the window goes: a window opened and closed
    // again leaves the records, their date and the synced copy alone.
    if (uncommittedFrom_) {
        const Records before = *std::exchange(uncommittedFrom_, std::nullopt);
        const Records now = records();
        if (now.portable != before.portable || now.machine != before.machine) {
            model_.applyPreferences();
        }
    }
}

}  // namespace pellucine

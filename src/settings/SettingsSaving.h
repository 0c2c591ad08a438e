#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <functional>
#include <optional>

#include "base/AppPaths.h"
#include "base/Scheduler.h"
#include "base/SharedTask.h"
#include "base/SubscriptionBag.h"
#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"
#include "preferences/UnreadableCopy.h"

namespace pellucine {

class AppModel;
class BayHeader;
class YardText;

// How the settings window's edits reach the model's preference records. Pages write the records
// through it and commit; every commit saves both records through the model (stamped, normalised
// and pushed when sync is on) and flashes "Saved" in the page header until 1.6 s after the last
// commit of a burst. Edits not committed yet (a slider being dragged) are saved as the window
// closes, and only when they changed something. Turning sync on takes the synced copy before
// anything is pushed. A failed save shows no stamp: a note under the header shows the failure
// for as long as the model says the records are unsaved. A second note tells, once, of stored
// settings that could not be read at start. Main thread.
class SettingsSaving final : public QObject {
    Q_OBJECT

  public:
    static constexpr double savedSeconds = 1.6;

    // Stamps `header`; makes the two notes, which the view places under it.
    SettingsSaving(AppModel& model, Scheduler& scheduler, const AppPaths& paths, BayHeader& header);
    ~SettingsSaving() override;

    // "Saved" shows from a commit until 1.6 s after the last commit of a burst.
    bool isSaved() const { return saved_; }
    qint64 saveGeneration() const { return saveGeneration_; }
    // The one commit of every setting: saves both records through the model (stamped, normalised
    // and pushed when sync is on) and flashes "Saved" when both were written. A failed save
    // shows no stamp; the failure shows under the header until a save succeeds.
    void markSaved();
    bool isShowingSaveFailure() const;
    static QString saveFailureText(const AppPaths& paths);
    // Shown while stored settings that could not be read at start have not been told of: once
    // the window that showed it goes, it is not shown again.
    bool isShowingReverted() const;
    static QString revertedText(const UnreadableCopy& copy);

    // Writes the model's records without committing (a slider being dragged). A window closed
    // before the commit saves the change then.
    void editPortable(const std::function<void(PortablePreferences&)>& change);
    void editMachine(const std::function<void(MachinePreferences&)>& change);
    // Writes, then commits.
    void commitPortable(const std::function<void(PortablePreferences&)>& change);
    void commitMachine(const std::function<void(MachinePreferences&)>& change);

    // Sync on pulls the synced copy first and takes it (the user chose to share what the
    // folder holds), and pushes only after that; sync off commits at once and pulls nothing.
    void setSyncEnabled(bool enabled);

    // The window went: the reverted note is told, and edits left uncommitted are saved if they
    // changed the records.
    void windowClosed();

    // The notes under the header; the view's layout owns them.
    YardText* saveFailureNote() const { return saveFailure_; }
    YardText* revertedNote() const { return reverted_; }

  private:
    struct Records {
        PortablePreferences portable;
        MachinePreferences machine;
    };

    void flashSaved();
    void stampSave(bool stored);
    void showReverted(const std::optional<UnreadableCopy>& copy);
    void noteUncommitted();
    Records records() const;
    QCoro::Task<void> pullBeforePush(CancellationToken token, quint64 toggle);

    AppModel& model_;
    Scheduler& scheduler_;
    BayHeader& header_;
    SubscriptionBag subscriptions_;

    bool saved_ = false;
    qint64 saveGeneration_ = 0;
    // The records as they were before the first write not yet committed.
    std::optional<Records> uncommittedFrom_;
    // Counts sync switch flips; a pull finishing after a later flip pushes nothing.
    quint64 syncToggles_ = 0;
    TaskHandle syncPull_;

    YardText* saveFailure_ = nullptr;
    YardText* reverted_ = nullptr;
};

}  // namespace pellucine

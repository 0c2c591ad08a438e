#pragma once

#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

#include "base/Clock.h"
#include "base/Observable.h"
#include "base/SubscriptionBag.h"
#include "design/YardCard.h"
#include "platform/UrlOpener.h"
#include "preferences/MachinePreferences.h"
#include "updates/UpdatesCardState.h"

namespace pellucine {

class PaneLink;
class SettingRow;
class UpdateController;
class YardButton;
class YardSwitch;
class YardText;

// The "Updates" card of the About page: the running version and the last check with a button
// to check now, an available update with its release notes and an install button, where new
// versions come from when not from the feed, and the switch for automatic checks. It keeps no state
// of its own: every line follows the controller and the machine preferences. Its object name,
// "updates", is the place a settings page scrolls to.
class UpdatesCard : public YardCard {
    Q_OBJECT

  public:
    static constexpr int rowSpacing = 12;
    static constexpr int symbolWidth = 24;
    static constexpr qreal symbolPointSize = 20;
    static constexpr int lineSpacing = 3;
    static constexpr int buttonSpacing = 10;

    struct Context {
        UpdateController& updates;
        // The model's machine preferences; the switch writes them in place.
        Observable<MachinePreferences>& machinePreferences;
        // Commits a changed preference (and confirms it), after the switch wrote it.
        std::function<void()> onSave;
        UrlOpener& urlOpener;
        // The product's website, where the release notes are.
        std::optional<QUrl> website;
        const WallClock& clock;
    };

    explicit UpdatesCard(Context context, QWidget* parent = nullptr);

    // What the card shows now.
    const UpdatesCardState& state() const { return state_; }

    YardText* statusTitle() const { return statusTitle_; }
    YardText* statusDetail() const { return statusDetail_; }
    YardButton* checkNowButton() const { return checkNow_; }
    QWidget* updateRow() const { return updateRow_; }
    YardText* updateTitle() const { return updateTitle_; }
    PaneLink* releaseNotesLink() const { return releaseNotes_; }
    YardButton* installButton() const { return install_; }
    YardText* noteText() const { return note_; }
    YardText* locationNoteText() const { return locationNote_; }
    YardSwitch* automaticChecksSwitch() const { return automaticChecks_; }
    SettingRow* automaticChecksRow() const { return automaticRow_; }

  private:
    void refresh();

    Context context_;
    UpdatesCardState state_;
    SubscriptionBag subscriptions_;

    class Symbol;
    Symbol* statusSymbol_;
    YardText* statusTitle_;
    YardText* statusDetail_;
    YardButton* checkNow_;
    QWidget* updateRule_;
    QWidget* updateRow_;
    YardText* updateTitle_;
    PaneLink* releaseNotes_;
    YardButton* install_;
    YardText* note_;
    YardText* locationNote_;
    YardSwitch* automaticChecks_;
    SettingRow* automaticRow_ = nullptr;
};

}  // namespace pellucine

#pragma once

#include <QWidget>
#include <optional>

#include "base/SubscriptionBag.h"
#include "updates/UpdateEnvironment.h"

namespace pellucine {

class PaneLink;
class Readout;
class SettingRow;
class SettingsView;
class SwitchRow;
class YardButton;
class YardText;

// The General page: launch at login, where the program shows itself, settings sync with the
// transfer buttons and reset, and what leaves the computer. Preference changes are committed
// through the settings view; launch at login goes straight to the login-item service.
class GeneralPage final : public QWidget {
    Q_OBJECT

  public:
    static inline const QString loginItemErrorPrefix =
        QStringLiteral("The desktop didn't allow it: ");

    // Approval needed wins over a stored error, which wins over the plain hint.
    static QString launchAtLoginHint(bool needsApproval, const std::optional<QString>& error);
    // The "Checking for a new version" row: its hint and readout for where updates come from.
    struct UpdateCheckTexts {
        QString hint;
        QString readout;
    };
    static UpdateCheckTexts updateCheckTexts(UpdateSource source, bool automaticChecks,
                                             const QString& websiteHost);
    // What sync runs through: nothing in a build without sync, else the chosen folder, which
    // is only offered while the switch is off.
    static QString syncHint(bool configured, const std::optional<QString>& chosenFolder,
                            bool enabled = true);

    explicit GeneralPage(SettingsView& view, QWidget* parent = nullptr);
    ~GeneralPage() override;

    void refresh();
    // The launch-at-login switch's action: the service's answer shows, a refusal explains.
    void setLaunchAtLogin(bool enabled);
    // The sync switch's action: turning it on without a chosen folder asks for one first and
    // stays off when none is chosen.
    void setSyncEnabled(bool enabled);
    // A folder chosen while sync is on, or to turn it on, is used at once: it is pulled from,
    // then pushed to.
    void chooseSyncFolder(bool turnOn = false);

    SwitchRow* launchAtLoginRow() const { return launch_; }
    YardButton* openLoginItemsButton() const { return openLoginItems_; }
    SwitchRow* showInDockRow() const { return showInDock_; }
    SwitchRow* menuBarIconRow() const { return menuBarIcon_; }
    SwitchRow* syncRow() const { return sync_; }
    YardButton* chooseFolderButton() const { return chooseFolder_; }
    YardText* syncStatusLine() const { return syncStatus_; }
    YardButton* importButton() const { return import_; }
    YardButton* exportButton() const { return export_; }
    YardButton* resetButton() const { return reset_; }
    QWidget* resetConfirmation() const { return resetConfirmation_; }
    YardButton* confirmResetButton() const { return confirmReset_; }
    YardButton* keepButton() const { return keep_; }
    Readout* updateChecksReadout() const { return updateChecks_; }
    PaneLink* changeLink() const { return change_; }
    Readout* syncingReadout() const { return syncing_; }

  private:
    QWidget* startupCard();
    QWidget* appearsCard();
    QWidget* syncCard();
    QWidget* disclosureCard();
    std::optional<QString> chosenSyncFolder() const;

    SettingsView& view_;
    SubscriptionBag subscriptions_;
    SwitchRow* launch_ = nullptr;
    YardButton* openLoginItems_ = nullptr;
    QWidget* openLoginItemsRow_ = nullptr;
    SwitchRow* showInDock_ = nullptr;
    SwitchRow* menuBarIcon_ = nullptr;
    SwitchRow* sync_ = nullptr;
    YardButton* chooseFolder_ = nullptr;
    QWidget* chooseFolderRow_ = nullptr;
    YardText* syncStatus_ = nullptr;
    YardButton* import_ = nullptr;
    YardButton* export_ = nullptr;
    YardButton* reset_ = nullptr;
    QWidget* resetConfirmation_ = nullptr;
    YardButton* confirmReset_ = nullptr;
    YardButton* keep_ = nullptr;
    SettingRow* updateChecksRow_ = nullptr;
    Readout* updateChecks_ = nullptr;
    PaneLink* change_ = nullptr;
    Readout* syncing_ = nullptr;
};

}  // namespace pellucine

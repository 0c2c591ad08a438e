#include "settings/GeneralPage.h"

#include <QDir>
#include <QHBoxLayout>
#include <QUrl>
#include <QVBoxLayout>

#include "coordination/AppModel.h"
#include "design/CardRule.h"
#include "design/OpenFailureNotice.h"
#include "design/PaneLink.h"
#include "design/Readout.h"
#include "design/RowText.h"
#include "design/SettingRow.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardCard.h"
#include "design/YardText.h"
#include "platform/Desktop.h"
#include "preferences/CloudPreferenceSync.h"
#include "preferences/KeyValueStore.h"
#include "settings/ControlRow.h"
#include "settings/DialogHost.h"
#include "settings/ReportTexts.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsTransferFlow.h"
#include "settings/SettingsView.h"
#include "settings/SwitchRow.h"

namespace pellucine {

namespace {

// A row holding `widget` at the trailing edge of the card.
QWidget* trailing(QWidget* widget) {
    auto* row = new QWidget;
    row->setSizePolicy(Yard::fullWidthPolicy());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(widget);
    return row;
}

}  // namespace

QString GeneralPage::launchAtLoginHint(bool needsApproval, const std::optional<QString>& error) {
    if (needsApproval) {
        return QStringLiteral("Your desktop needs your OK in its autostart settings.");
    }
    if (error) {
        return *error;
    }
    return QStringLiteral("Starts quietly, so previews work from your first switch of the day.");
}

GeneralPage::UpdateCheckTexts GeneralPage::updateCheckTexts(UpdateSource source,
                                                            bool automaticChecks,
                                                            const QString& websiteHost) {
    switch (source) {
        case UpdateSource::feed:
            return {QStringLiteral("From ") + websiteHost +
                        QStringLiteral(". Sends only PELLUCINE's version."),
                    automaticChecks ? QStringLiteral("once a day") : QStringLiteral("off")};
        case UpdateSource::packageManager:
            return {QStringLiteral("Never: new versions come from your package manager or a new "
                                   "install."),
                    QStringLiteral("never")};
        case UpdateSource::none:
            return {QStringLiteral("Never: this build has no update feed."),
                    QStringLiteral("never")};
    }
    return {};
}

QString GeneralPage::syncHint(bool configured, const std::optional<QString>& chosenFolder,
                              bool enabled) {
    if (!configured) {
        return QStringLiteral("This build doesn't sync. Your settings are saved on this computer.");
    }
    if (!chosenFolder) {
        return QStringLiteral(
            "Choose a folder you already keep in sync between your computers (with Syncthing, "
            "Nextcloud or a network share) to turn this on.");
    }
    if (!enabled) {
        return QStringLiteral(
                   "Turn this on to keep your settings up to date across your "
                   "computers through ") +
               *chosenFolder + u'.';
    }
    return QStringLiteral("Your settings stay up to date across your computers through ") +
           *chosenFolder + u'.';
}

GeneralPage::GeneralPage(SettingsView& view, QWidget* parent) : QWidget(parent), view_(view) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(SettingsView::pageSpacing);
    column->addWidget(startupCard());
    column->addWidget(appearsCard());
    column->addWidget(syncCard());
    column->addWidget(disclosureCard());

    AppModel& model = view_.model();
    const auto refreshing = [this](const auto&) { refresh(); };
    subscriptions_ += model.loginItem().isEnabled().subscribe(refreshing);
    subscriptions_ += model.loginItem().needsApproval().subscribe(refreshing);
    subscriptions_ += model.portablePreferences().subscribe(refreshing);
    subscriptions_ += model.machinePreferences().subscribe(refreshing);
    subscriptions_ += model.syncStatus().subscribe(refreshing);
    subscriptions_ += connect(&view_, &SettingsView::stateChanged, this, &GeneralPage::refresh);
    refresh();
}

GeneralPage::~GeneralPage() = default;

QWidget* GeneralPage::startupCard() {
    auto* card = new YardCard(QStringLiteral("Startup"));
    launch_ = new SwitchRow(
        QStringLiteral("Launch at login"), launchAtLoginHint(false, std::nullopt), std::nullopt,
        [this] { return view_.model().loginItem().isEnabled().value(); },
        [this](bool on) { setLaunchAtLogin(on); });
    card->addWidget(launch_);
    openLoginItems_ =
        new YardButton(QStringLiteral("Open Autostart Folder…"), YardButton::Kind::secondary);
    connect(openLoginItems_, &QAbstractButton::clicked, this, [this] {
        // The programs started at login are the entries of the autostart folder, which a new
        // account may not have yet.
        const QString folder = view_.context().paths.defaults + QStringLiteral("/autostart");
        QDir().mkpath(folder);
        view_.context().desktop.urlOpener().openOrReport(
            QUrl::fromLocalFile(folder),
            OpenFailureNotice::whenNothingOpened(this, OpenFailureNotice::noFileManager,
                                                 QDir::toNativeSeparators(folder)));
    });
    openLoginItemsRow_ = trailing(openLoginItems_);
    card->addWidget(openLoginItemsRow_);
    return card;
}

QWidget* GeneralPage::appearsCard() {
    auto* card = new YardCard(QStringLiteral("Where PELLUCINE Appears"));
    const auto machine = [this] { return view_.model().machinePreferences().value(); };
    showInDock_ = new SwitchRow(
        QStringLiteral("Show in the Dock and the app switcher"),
        QStringLiteral("Here that means the taskbar and the window switcher, both at once."),
        std::nullopt, [machine] { return machine().showInDockAndAppSwitcher; },
        [this](bool on) {
            view_.saving().commitMachine(
                [on](MachinePreferences& m) { m.showInDockAndAppSwitcher = on; });
        });
    card->addWidget(showInDock_);
    card->addWidget(new CardRule);
    menuBarIcon_ = new SwitchRow(
        QStringLiteral("Show the tray icon"),
        QStringLiteral("With the icon hidden, PELLUCINE keeps running. To get back here, open "
                       "PELLUCINE again from your applications menu."),
        std::nullopt, [machine] { return machine().showMenuBarIcon; },
        [this](bool on) {
            view_.saving().commitMachine([on](MachinePreferences& m) { m.showMenuBarIcon = on; });
        });
    card->addWidget(menuBarIcon_);
    return card;
}

QWidget* GeneralPage::syncCard() {
    auto* card = new YardCard(QStringLiteral("Sync & Backup"));
    sync_ = new SwitchRow(
        QStringLiteral("Keep settings in sync"), QString(), std::nullopt,
        [this] { return view_.model().portablePreferences().value().syncEnabled; },
        [this](bool on) { setSyncEnabled(on); });
    card->addWidget(sync_);
    chooseFolder_ = new YardButton(QStringLiteral("Choose Folder…"), YardButton::Kind::secondary);
    connect(chooseFolder_, &QAbstractButton::clicked, this, [this] { chooseSyncFolder(); });
    chooseFolderRow_ = trailing(chooseFolder_);
    card->addWidget(chooseFolderRow_);
    syncStatus_ = new YardText(QString(), Yard::hintFont(), &Yard::Palette::muted);
    // A long failure wraps across the card instead of being cut to the line's first width.
    syncStatus_->setSizePolicy(Yard::fullWidthPolicy());
    card->addWidget(syncStatus_);
    card->addWidget(new CardRule);

    // The buttons and the reset question span the card: Reset stands at its trailing edge and
    // the question keeps one line beside its buttons.
    auto* buttons = new QWidget;
    buttons->setSizePolicy(Yard::fullWidthPolicy());
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    import_ = new YardButton(QStringLiteral("Import Settings…"), YardButton::Kind::secondary);
    connect(import_, &QAbstractButton::clicked, &view_.transfer(),
            &SettingsTransferFlow::startImport);
    export_ = new YardButton(QStringLiteral("Export Settings…"), YardButton::Kind::secondary);
    connect(export_, &QAbstractButton::clicked, &view_.transfer(),
            &SettingsTransferFlow::exportSettings);
    reset_ = new YardButton(QStringLiteral("Reset All…"), YardButton::Kind::danger);
    connect(reset_, &QAbstractButton::clicked, this,
            [this] { view_.transfer().setConfirmingReset(true); });
    row->addWidget(import_);
    row->addWidget(export_);
    row->addStretch(1);
    row->addSpacing(16);
    row->addWidget(reset_);
    card->addWidget(buttons);

    resetConfirmation_ = new QWidget;
    resetConfirmation_->setSizePolicy(Yard::fullWidthPolicy());
    auto* confirm = new QHBoxLayout(resetConfirmation_);
    confirm->setContentsMargins(0, 0, 0, 0);
    confirm->setSpacing(8);
    auto* question = new YardText(QStringLiteral("Put every setting back to its default?"),
                                  Yard::hintFont(), &Yard::Palette::fore);
    question->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    confirm->addWidget(question, 1);
    confirmReset_ = new YardButton(QStringLiteral("Reset"), YardButton::Kind::danger);
    connect(confirmReset_, &QAbstractButton::clicked, &view_.transfer(),
            &SettingsTransferFlow::resetAllSettings);
    keep_ = new YardButton(QStringLiteral("Keep"), YardButton::Kind::secondary);
    connect(keep_, &QAbstractButton::clicked, this,
            [this] { view_.transfer().setConfirmingReset(false); });
    confirm->addWidget(confirmReset_);
    confirm->addWidget(keep_);
    card->addWidget(resetConfirmation_);
    return card;
}

QWidget* GeneralPage::disclosureCard() {
    auto* card =
        new YardCard(QStringLiteral("What Leaves This Computer"),
                     QStringLiteral("No analytics, no crash reporting, and never a window picture "
                                    "or title."));
    auto* updates = new ControlRow(8);
    updateChecks_ = new Readout(QString(), false);
    updates->add(updateChecks_);
    change_ = new PaneLink(QStringLiteral("Change"), Yard::bodyFont(), [this] {
        view_.showPage(SettingsView::Bay::about, SettingsView::updatesTarget);
    });
    updates->add(change_);
    updateChecksRow_ = new SettingRow(QStringLiteral("Checking for a new version"), QString(),
                                      std::nullopt, updates);
    card->addWidget(updateChecksRow_);
    card->addWidget(new CardRule);

    QFont captionFont = Yard::tracked(Yard::kickerFont(), 1.2);
    captionFont.setCapitalization(QFont::AllUppercase);
    auto* caption = new YardText(QStringLiteral("Off until you turn it on"), captionFont,
                                 &Yard::Palette::muted, false);
    caption->setContentsMargins(0, 2, 0, 0);
    card->addWidget(caption);
    syncing_ = new Readout(QString(), false);
    card->addWidget(new SettingRow(QStringLiteral("Syncing your settings"),
                                   QStringLiteral("Your settings, through the folder you keep in "
                                                  "sync, while Keep settings in sync is on."),
                                   std::nullopt, syncing_));
    card->addWidget(new CardRule);
    const ReportTexts::Disclosure report = ReportTexts::disclosure(view_.context().reports);
    card->addWidget(new SettingRow(report.title, report.hint, std::nullopt,
                                   new Readout(report.readout, false)));
    return card;
}

std::optional<QString> GeneralPage::chosenSyncFolder() const {
    return CloudPreferenceSync::chosenSyncFolder(view_.context().defaults);
}

void GeneralPage::refresh() {
    AppModel& model = view_.model();
    const bool needsApproval = model.loginItem().needsApproval().value();
    launch_->refresh();
    launch_->text()->setHint(launchAtLoginHint(needsApproval, view_.loginItemError()));
    openLoginItemsRow_->setVisible(needsApproval);

    showInDock_->refresh();
    menuBarIcon_->refresh();

    const bool configured = model.syncService().isConfigured();
    sync_->refresh();
    sync_->text()->setHint(
        syncHint(configured, chosenSyncFolder(), model.portablePreferences().value().syncEnabled));
    chooseFolderRow_->setVisible(configured);
    const AppModel::SyncStatus& status = model.syncStatus().value();
    syncStatus_->setVisible(status.statusCase() != AppModel::SyncStatus::Case::idle);
    syncStatus_->setText(status.text());
    syncStatus_->setInk(status.statusCase() == AppModel::SyncStatus::Case::failed
                            ? &Yard::Palette::accentType
                            : &Yard::Palette::muted);

    reset_->setEnabled(!view_.transfer().isConfirmingReset());
    resetConfirmation_->setVisible(view_.transfer().isConfirmingReset());

    const UpdateSource updates = model.updates().updateSource();
    const UpdateCheckTexts checks =
        updateCheckTexts(updates, model.machinePreferences().value().automaticUpdateChecks,
                         view_.context().websiteHost());
    updateChecksRow_->text()->setHint(checks.hint);
    updateChecks_->setText(checks.readout);
    // Only a copy that checks has a switch to change.
    change_->setVisible(updates == UpdateSource::feed);
    syncing_->setText(model.portablePreferences().value().syncEnabled ? QStringLiteral("on")
                                                                      : QStringLiteral("off"));
}

void GeneralPage::setLaunchAtLogin(bool enabled) {
    try {
        view_.model().loginItem().setEnabled(enabled);
        view_.setLoginItemError(std::nullopt);
    } catch (const std::exception& error) {
        view_.setLoginItemError(loginItemErrorPrefix + errorDescription(error));
    }
    // The switch shows the system's answer, not the flip.
    refresh();
}

void GeneralPage::setSyncEnabled(bool enabled) {
    if (!enabled || chosenSyncFolder()) {
        view_.saving().setSyncEnabled(enabled);
        return;
    }
    // Off until a folder is chosen.
    refresh();
    chooseSyncFolder(true);
}

void GeneralPage::chooseSyncFolder(bool turnOn) {
    view_.context().dialogs.chooseFolder(
        QStringLiteral("Choose the Folder to Sync Through"),
        [self = QPointer<GeneralPage>(this), turnOn](const std::optional<QString>& folder) {
            if (!self || !folder) {
                return;
            }
            if (!self->view_.context().defaults.setValue(CloudPreferenceSync::syncFolderKey,
                                                         *folder)) {
                self->view_.transfer().setImportErrorMessage(
                    QStringLiteral("The sync folder couldn’t be saved."));
                self->refresh();
                return;
            }
            if (turnOn || self->view_.model().portablePreferences().value().syncEnabled) {
                // Sync starts over in the new folder.
                self->view_.saving().setSyncEnabled(true);
            }
            self->refresh();
        });
}

}  // namespace pellucine

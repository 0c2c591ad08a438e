#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonObject>
#include <memory>

#include "RecordingDialogHost.h"
#include "base/ManualExecutor.h"
#include "coordination/AppModel.h"
#include "coordination/ModelFakes.h"
#include "core/AccessibilityWindowService.h"
#include "core/DesktopFixture.h"
#include "core/ScreenCapturePreviewService.h"
#include "preferences/InMemoryKeyValueStore.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsUpdateResume.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsTransferFlow.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindow.h"
#include "support/QtPrinters.h"
#include "support/TempFolder.h"

// Fontconfig keeps part of the configuration it parses for the life of the process; the leak
// checker of sanitizer builds reads this.
extern "C" inline const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace pellucine::testing {

// The real preference store in memory, counting saves: the model saves the portable record
// exactly once per applyPreferences.
class CountingPreferenceStore final : public PreferenceStoring {
  public:
    CountingPreferenceStore(const AppPaths& paths, const WallClock& clock, EventRecording& events)
        : store_(defaults_, paths, clock, events) {}

    PortablePreferences loadPortablePreferences() override {
        return store_.loadPortablePreferences();
    }
    MachinePreferences loadMachinePreferences() override { return store_.loadMachinePreferences(); }
    bool savePortablePreferences(const PortablePreferences& p) override {
        ++portableSaves;
        return store_.savePortablePreferences(p);
    }
    bool saveMachinePreferences(const MachinePreferences& m) override {
        ++machineSaves;
        return store_.saveMachinePreferences(m);
    }
    PortablePreferences importSettings(const QString& filePath) override {
        return store_.importSettings(filePath);
    }
    std::optional<UnreadableCopy> unreadableCopy() const override {
        return store_.unreadableCopy();
    }

    // Where the records are kept, for a store of a later process.
    InMemoryKeyValueStore& defaults() { return defaults_; }

    int portableSaves = 0;
    int machineSaves = 0;

  private:
    InMemoryKeyValueStore defaults_;
    PreferenceStore store_;
};

// The settings window over a model on the simulated desktop and virtual time, with dialogs the
// test answers and the program's folders in a temporary folder.
class SettingsFixture : public DesktopFixture {
  protected:
    SettingsFixture() { start(); }
    // A model as the program makes it at start, reading the records; any window goes first.
    void start() {
        window.reset();
        model = std::make_unique<AppModel>(
            AppModel::Platform{desktop, scheduler, events, scheduler.clocks().wall, executor, {}},
            windowService, previewService, store, sync);
    }
    ~SettingsFixture() override {
        window.reset();
        scheduler.runUntilIdle();
    }

    SettingsContext context(DialogHost& host) {
        return SettingsContext{
            .dialogs = host,
            .scheduler = scheduler,
            .wallClock = scheduler.clocks().wall,
            .desktop = desktop,
            .defaults = defaults,
            .paths = temp.paths(),
            .resume = &resume,
            .bundle = &bundle,
            .website = std::nullopt,
            .ownApplicationIdentifier = QStringLiteral("com.orrinvale.pellucine"),
            .applicationName = applicationNames,
            .aboutPage = aboutPage,
            .hotkeyKeyboard = hotkeyKeyboard};
    }

    // The window, made on first use; not shown.
    SettingsWindow& settingsWindow() {
        if (!window) {
            window = std::make_unique<SettingsWindow>(
                *model, [this](DialogHost& host) { return context(host); },
                SettingsWindow::Options{&dialogs, nullptr});
        }
        return *window;
    }
    SettingsView& view() { return *settingsWindow().view(); }
    SettingsView& shown() {
        settingsWindow().show();
        scheduler.runUntilIdle();
        return view();
    }
    void close() {
        settingsWindow().close();
        scheduler.runUntilIdle();
    }

    template <typename Page>
    Page* page(SettingsView::Bay bay) {
        view().setBay(bay);
        auto* page = view().page()->findChild<Page*>();
        if (page == nullptr) {
            page = qobject_cast<Page*>(view().page());
        }
        return page;
    }

    // The record members that differ between two snapshots, machine ones as "machine.<key>";
    // the modification date is left out.
    static QStringList changedKeys(const PortablePreferences& p1, const MachinePreferences& m1,
                                   const PortablePreferences& p2, const MachinePreferences& m2) {
        QStringList keys;
        const QJsonObject a = p1.toJson();
        const QJsonObject b = p2.toJson();
        for (const QString& key : a.keys()) {
            if (key != QLatin1String("modifiedAt") && a[key] != b[key]) {
                keys << key;
            }
        }
        const QJsonObject c = m1.toJson();
        const QJsonObject d = m2.toJson();
        for (const QString& key : c.keys()) {
            if (c[key] != d[key]) {
                keys << QStringLiteral("machine.") + key;
            }
        }
        return keys;
    }

    // applyPreferences calls since the model was made.
    int commits() const { return store.portableSaves; }
    const PortablePreferences& portable() { return model->portablePreferences().value(); }
    const MachinePreferences& machine() { return model->machinePreferences().value(); }

    TempFolder temp;
    ManualExecutor executor{scheduler};
    AccessibilityWindowService windowService{desktop, events};
    ScreenCapturePreviewService previewService{desktop.screenCapture(), scheduler};
    CountingPreferenceStore store{temp.paths(), scheduler.clocks().wall, events};
    ScriptedPreferenceSync sync{scheduler};
    InMemoryKeyValueStore defaults;
    SettingsUpdateResume resume{temp.paths(), scheduler.clocks().wall, scheduler,
                                [] { return QList<SettingsUpdateResume::WindowSummary>(); }};
    Bundle bundle{{}, QString()};
    std::function<std::optional<QString>(const QString&)> applicationNames;
    std::function<QWidget*(SettingsView&)> aboutPage;
    // None: recorded hotkeys are read by their Qt keys.
    NativeKeyboard hotkeyKeyboard;
    RecordingDialogHost dialogs;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<SettingsWindow> window;
};

}  // namespace pellucine::testing

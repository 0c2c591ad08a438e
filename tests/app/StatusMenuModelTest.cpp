#include <gtest/gtest.h>

#include "app/LaunchChoices.h"
#include "app/PreviewReportOption.h"
#include "app/StatusMenuModel.h"
#include "design/YardPalette.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using I = StatusMenuItem;
using P = PermissionState;

StatusMenuState granted() {
    StatusMenuState state;
    state.accessibility = P::granted;
    state.screenRecording = P::granted;
    state.windowSearchHotkey =
        KeyCombo{KeyCombo::spaceKeyCode, KeyCombo::shift | KeyCombo::command};
    state.currentVersion = "1.2.3";
    return state;
}

TEST(FlaggedProblemTest, TheFirstProblemInOrderWins) {
    struct Case {
        P accessibility;
        P screen;
        bool searchOn;
        std::optional<QString> hotkey;
        std::optional<FlaggedProblem::Case> expected;
    };
    using F = FlaggedProblem::Case;
    const QList<Case> cases{
        {P::denied, P::restartRequired, true, "Spotlight", F::accessibilityOff},
        {P::notDetermined, P::granted, true, std::nullopt, F::accessibilityOff},
        {P::restartRequired, P::granted, true, std::nullopt, F::accessibilityOff},
        // Waiting for a relaunch is told apart from a plain refusal.
        {P::granted, P::restartRequired, true, "Spotlight", F::relaunchForScreenRecording},
        {P::granted, P::denied, true, "Spotlight", F::screenRecordingOff},
        {P::granted, P::notDetermined, false, std::nullopt, F::screenRecordingOff},
        {P::granted, P::granted, true, "Spotlight", F::hotkeyConflict},
        // A conflict does not matter while window search is off.
        {P::granted, P::granted, false, "Spotlight", std::nullopt},
        {P::granted, P::granted, true, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto problem = currentFlaggedProblem(c.accessibility, c.screen, c.searchOn, c.hotkey);
        EXPECT_EQ(problem ? std::optional(problem->problemCase) : std::nullopt, c.expected)
            << rawValue(c.accessibility).toStdString() << " " << rawValue(c.screen).toStdString()
            << " " << c.searchOn;
    }
}

TEST(FlaggedProblemTest, TheConflictTitleNamesTheOwnerAsGiven) {
    EXPECT_EQ((FlaggedProblem{FlaggedProblem::Case::hotkeyConflict, "Mission %1 Control"}.title()),
              "Search Hotkey Belongs to Mission %1 Control: Change It…");
}

TEST(StatusMenuModelTest, RowsComeInMenuOrderWithTheirTitlesSymbolsAndShortcuts) {
    const StatusMenuModel menu = makeStatusMenu(granted());
    QList<I> items;
    QStringList titles;
    for (const StatusMenuRow& row : menu.rows) {
        items << row.item;
        titles << row.content.title;
    }
    EXPECT_EQ(items, (QList<I>{I::flag, I::header, I::separator, I::update, I::updateSeparator,
                               I::about, I::separator, I::settings, I::showWindows,
                               I::searchWindows, I::separator, I::welcome, I::diagnostics,
                               I::reportProblem, I::website, I::separator, I::quit}));
    EXPECT_EQ(titles.mid(5),
              (QStringList{"About PELLUCINE", "", "Settings…", "Show App Windows",
                           "Search Windows…", "", "Welcome & Permissions…", "Diagnostics…",
                           "Report a Problem…", "PELLUCINE Website", "", "Quit PELLUCINE"}));
    EXPECT_FALSE(menu.row(I::header).content.enabled);
    EXPECT_EQ(menu.row(I::about).content.trailing, MenuRowTrailing::plainText("v1.2.3"));
    // The caps show Ctrl and the key as printed; the equivalent is the key typed.
    EXPECT_EQ(menu.row(I::settings).content.trailing, MenuRowTrailing::keyCaps({"Ctrl", ","}));
    EXPECT_EQ(menu.row(I::settings).keyEquivalent, (MenuKeyEquivalent{",", KeyCombo::control}));
    EXPECT_EQ(menu.row(I::quit).content.trailing, MenuRowTrailing::keyCaps({"Ctrl", "Q"}));
    EXPECT_EQ(menu.row(I::quit).keyEquivalent, (MenuKeyEquivalent{"q", KeyCombo::control}));
    EXPECT_EQ(menu.row(I::welcome).content.symbol, "sparkles.rectangle.stack");
    EXPECT_EQ(menu.row(I::quit).content.symbol, "power");
    for (const StatusMenuRow& row : menu.rows) {
        EXPECT_EQ(row.custom, row.item == I::about || row.item == I::settings ||
                                  row.item == I::searchWindows || row.item == I::quit)
            << row.content.title.toStdString();
    }
}

TEST(StatusMenuModelTest, TheFlagRowShowsOnlyWhileThereIsAProblem) {
    StatusMenuState state = granted();
    EXPECT_FALSE(makeStatusMenu(state).row(I::flag).visible);
    state.accessibility = P::denied;
    state.scheme = ColorScheme::dark;
    const StatusMenuRow flag = makeStatusMenu(state).row(I::flag);
    EXPECT_TRUE(flag.visible);
    EXPECT_EQ(flag.content.title, "Accessibility Is Off: Turn It On…");
    EXPECT_TRUE(flag.content.drawsBoldTitle());
    EXPECT_EQ(flag.content.tint, Yard::Palette::dark().accentType);
    EXPECT_EQ(flag.content.symbol, "exclamationmark.triangle.fill");
    EXPECT_EQ(flag.content.palette, QList<QColor>{Yard::Palette::dark().accentType});
}

TEST(StatusMenuModelTest, TheUpdateRowAndItsSeparatorShowOnlyForAnUpdateThisCopyCanInstall) {
    for (const bool canUpdate : {false, true}) {
        for (const std::optional<QString>& version :
             {std::optional<QString>(), std::optional<QString>("2.0")}) {
            StatusMenuState state = granted();
            state.canUpdateItself = canUpdate;
            state.availability =
                version ? UpdateAvailability::available(*version) : UpdateAvailability::upToDate();
            const StatusMenuModel menu = makeStatusMenu(state);
            const bool shown = canUpdate && version.has_value();
            EXPECT_EQ(menu.row(I::update).visible, shown);
            EXPECT_EQ(menu.row(I::updateSeparator).visible, shown);
            if (shown) {
                EXPECT_EQ(menu.row(I::update).content.title, "v2.0 Available");
                EXPECT_EQ(menu.row(I::update).content.subtitle, "Click to learn more…");
                EXPECT_TRUE(menu.row(I::update).content.drawsBoldTitle());
                EXPECT_FALSE(menu.row(I::update).content.tint);
                EXPECT_EQ(menu.row(I::update).content.palette,
                          (QList<QColor>{Qt::white, Yard::Palette::light().accent}));
            }
        }
    }
}

TEST(StatusMenuModelTest, TheSearchRowAdvertisesOnlyAHotkeyThatWorks) {
    StatusMenuState state = granted();
    StatusMenuRow search = makeStatusMenu(state).row(I::searchWindows);
    EXPECT_TRUE(search.visible);
    EXPECT_TRUE(search.custom);
    EXPECT_EQ(search.content.trailing, MenuRowTrailing::keyCaps({"Shift", "Super", "Space"}));
    EXPECT_EQ(search.keyEquivalent, (MenuKeyEquivalent{" ", 0x120000}));

    // A key with a name but no menu equivalent keeps its caps.
    state.windowSearchHotkey = KeyCombo{122, KeyCombo::control | KeyCombo::option};
    search = makeStatusMenu(state).row(I::searchWindows);
    EXPECT_EQ(search.content.trailing.keys, (QStringList{"Ctrl", "Alt", "F1"}));
    EXPECT_FALSE(search.keyEquivalent);

    state.windowSearchHotkeyProblem = "another app";
    search = makeStatusMenu(state).row(I::searchWindows);
    EXPECT_FALSE(search.custom);
    EXPECT_EQ(search.content.trailing, MenuRowTrailing::none());
    EXPECT_FALSE(search.keyEquivalent);

    state.windowSearchEnabled = false;
    EXPECT_FALSE(makeStatusMenu(state).row(I::searchWindows).visible);
}

TEST(LaunchChoicesTest, OnlyExactAppearanceNamesForceAScheme) {
    const auto with = [](const QString& value) {
        QProcessEnvironment environment;
        environment.insert(appearanceVariable, value);
        return appearanceOverride(environment);
    };
    EXPECT_EQ(with("light"), ColorScheme::light);
    EXPECT_EQ(with("dark"), ColorScheme::dark);
    for (const char* other : {"Dark", " dark", ""}) {
        EXPECT_EQ(with(other), std::nullopt) << other;
    }
}

TEST(LaunchChoicesTest, OnlyAnAbsolutePathReplacesTheMemoryPressureFile) {
    const auto with = [](const QString& value) {
        QProcessEnvironment environment;
        environment.insert(memoryPressureVariable, value);
        return memoryPressureFileOverride(environment);
    };
    EXPECT_EQ(with("/sys/fs/cgroup/app/memory.pressure"),
              QStringLiteral("/sys/fs/cgroup/app/memory.pressure"));
    for (const char* other : {"", "memory.pressure", "./pressure", "~/pressure"}) {
        EXPECT_EQ(with(other), std::nullopt) << other;
    }
    EXPECT_EQ(memoryPressureFileOverride(QProcessEnvironment()), std::nullopt);
}

TEST(LaunchChoicesTest, SettingsOpenAtLaunchWhenNothingElseShowsTheProgramRuns) {
    using W = FirstWindow;
    // The welcome flow comes first, whatever the permissions.
    EXPECT_EQ(firstWindowAtLaunch(false, P::granted, P::granted, true), W::welcome);
    EXPECT_EQ(firstWindowAtLaunch(false, P::denied, P::denied, false), W::welcome);
    EXPECT_EQ(firstWindowAtLaunch(true, P::granted, P::restartRequired, false), W::permissions);
    EXPECT_EQ(firstWindowAtLaunch(true, P::notDetermined, P::granted, true), W::permissions);
    EXPECT_EQ(firstWindowAtLaunch(true, P::granted, P::granted, true), W::none);
    // The icon hidden, or a desktop without a tray.
    EXPECT_EQ(firstWindowAtLaunch(true, P::granted, P::granted, false), W::settings);
}

TEST(LaunchChoicesTest, ThePreviewOptionTakesTheElementAfterItsFirstOccurrence) {
    using Phase = ReportProblem::Phase;
    const QString desktop = "/home/u/Desktop";
    EXPECT_FALSE(previewReportPhase({"--preview-report"}, desktop));
    EXPECT_FALSE(previewReportPhase({"--preview-reports", "sent"}, desktop));
    EXPECT_EQ(previewReportPhase({"x", "--preview-report", "sent"}, desktop),
              Phase::sent("R-7K3QXM"));
    EXPECT_EQ(
        previewReportPhase({"--preview-report", "saved", "--preview-report", "sent"}, desktop),
        Phase::saved("/home/u/Desktop/PELLUCINE-report-2026-09-30-0930.txt",
                     "Could not reach Orrinvale."));
    EXPECT_EQ(previewReportPhase({"--preview-report", "Sent"}, desktop), Phase::writing());
}

}  // namespace
}  // namespace pellucine

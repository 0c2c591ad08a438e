#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

#include "platform/sim/SimulatedKeyboardShortcutSettings.h"
#include "preferences/HotkeyConflicts.h"
#include "preferences/SettingsFileStore.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using Sources = HotkeyConflicts::Sources;

constexpr quint64 command = KeyCombo::command;
constexpr quint64 shiftCommand = KeyCombo::shift | KeyCombo::command;
const QString spotlight = QStringLiteral("macOS: Spotlight");
const QString menus = QStringLiteral("most apps' own menus (⌘ and one key)");

QJsonObject entry(std::optional<bool> enabled, QJsonArray parameters) {
    QJsonObject object{{"value", QJsonObject{{"parameters", parameters}}}};
    if (enabled) {
        object.insert("enabled", *enabled);
    }
    return object;
}

Sources symbolic(QJsonObject hotKeys) {
    Sources sources;
    sources.symbolicHotKeys = std::move(hotKeys);
    return sources;
}

std::optional<QString> ownerOf(quint32 keyCode, quint64 modifiers, const Sources& sources = {}) {
    return HotkeyConflicts::owner(keyCode, modifiers, sources);
}

TEST(HotkeyConflictsTest, ReservedCombinationsWinWhateverTheSettingsSay) {
    const Sources everythingOff =
        symbolic({{"64", entry(false, {32, 49, 0x100000})}, {"1", entry(true, {9, 48, 0x100000})}});
    EXPECT_EQ(ownerOf(48, command, everythingOff), "macOS: the app switcher");
    EXPECT_EQ(ownerOf(49, KeyCombo::control | command, everythingOff), "macOS: Emoji & Symbols");
    EXPECT_EQ(ownerOf(53, KeyCombo::option | command, everythingOff), "macOS: Force Quit");
    // Bits outside the four modifiers are dropped before comparing.
    EXPECT_EQ(ownerOf(48, command | 0x10000), "macOS: the app switcher");
}

TEST(HotkeyConflictsTest, FactoryBindingsCountUnlessSwitchedOffOrMovedElsewhere) {
    // No settings at all: every factory binding is in force.
    EXPECT_EQ(ownerOf(49, command), spotlight);
    EXPECT_EQ(ownerOf(23, shiftCommand), "macOS: Screenshot and recording options");
    EXPECT_EQ(ownerOf(124, KeyCombo::control), "macOS: Move right a Space");
    // An entry that is not an object, or that is bound to the combination or to nothing legible.
    EXPECT_EQ(ownerOf(49, command, symbolic({{"64", 7}})), spotlight);
    EXPECT_EQ(ownerOf(49, command, symbolic({{"64", entry(true, {32, 49, 0x100000})}})), spotlight);
    EXPECT_EQ(ownerOf(49, command, symbolic({{"64", entry(std::nullopt, {32, 49})}})), spotlight);
    EXPECT_EQ(ownerOf(49, command, symbolic({{"64", QJsonObject{{"enabled", "no"}}}})), spotlight);
    // Switched off, or moved to another key: Command-Space falls through to the menus rule.
    EXPECT_EQ(ownerOf(49, command, symbolic({{"64", entry(false, {32, 49, 0x100000})}})), menus);
    EXPECT_EQ(ownerOf(49, command, symbolic({{"64", entry(true, {32, 40, 0x100000})}})), menus);
    // Off and moved elsewhere, with nothing else claiming it: free.
    EXPECT_EQ(ownerOf(23, shiftCommand, symbolic({{"184", entry(false, {})}})), std::nullopt);
}

TEST(HotkeyConflictsTest, CurrentBindingsNeedEnabledTrue) {
    const quint32 space = 49;
    // Outside the table.
    EXPECT_EQ(ownerOf(space, shiftCommand, symbolic({{"118", entry(true, {32, 49, 0x120000})}})),
              "a macOS keyboard shortcut");
    // A table row re-bound to the combination reports the row's name.
    EXPECT_EQ(ownerOf(space, shiftCommand, symbolic({{"64", entry(true, {32, 49, 0x120000})}})),
              spotlight);
    // Without "enabled", or with it false or not a Boolean, the entry binds nothing.
    EXPECT_EQ(
        ownerOf(space, shiftCommand, symbolic({{"118", entry(std::nullopt, {32, 49, 0x120000})}})),
        std::nullopt);
    EXPECT_EQ(ownerOf(space, shiftCommand, symbolic({{"118", entry(false, {32, 49, 0x120000})}})),
              std::nullopt);
    QJsonObject textual = entry(true, {32, 49, 0x120000});
    textual["enabled"] = 1;
    EXPECT_EQ(ownerOf(space, shiftCommand, symbolic({{"118", textual}})), std::nullopt);
    // Modifiers from the settings are masked too (Caps Lock in the stored mask).
    EXPECT_EQ(ownerOf(space, shiftCommand, symbolic({{"118", entry(true, {32, 49, 0x130000})}})),
              "a macOS keyboard shortcut");
}

TEST(HotkeyConflictsTest, BoundComboReadsOnlyWholeLegibleParameters) {
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, 49, 0x1F0000})),
              (KeyCombo{49, 0x1E0000}));
    // No key, too few parameters, a fraction, text, a negative or oversized value.
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {65535, 65535, 0})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, 49})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, 49.5, 0})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, "49", 0})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, -1, 0})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, 4294967296.0, 0})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(entry(true, {32, 49, -1})), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(QJsonObject{{"value", 3}}), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::boundCombo(QJsonValue()), std::nullopt);
}

TEST(HotkeyConflictsTest, TheSameDataAlwaysGivesTheSameOwner) {
    // Two switched-on entries claim the combination: the lowest number wins, however the
    // entries were inserted, and text keys come after numbers.
    const QJsonObject claimA = entry(true, {32, 49, 0x120000});
    QJsonObject forward{{"7", claimA}, {"118", claimA}, {"64", claimA}, {"x", claimA}};
    QJsonObject backward{{"x", claimA}, {"64", claimA}, {"118", claimA}, {"7", claimA}};
    EXPECT_EQ(ownerOf(49, shiftCommand, symbolic(forward)), "a macOS keyboard shortcut");
    forward.remove("7");
    backward.remove("7");
    EXPECT_EQ(ownerOf(49, shiftCommand, symbolic(forward)), spotlight);
    EXPECT_EQ(ownerOf(49, shiftCommand, symbolic(backward)), spotlight);
}

TEST(HotkeyConflictsTest, SourcesAreConsultedInAFixedOrder) {
    const KeyCombo combo{49, shiftCommand};
    Sources sources;
    sources.otherShortcuts = {{combo, "Quorrel’s open"}, {combo, "Plim’s menu bar item hotkey"}};
    EXPECT_EQ(ownerOf(49, shiftCommand, sources), "Quorrel’s open");
    sources.garnockHotkeys = {{"selectionHotkey", combo}, {"launcherHotkey", combo}};
    // Garnock's keys are tried in their own order, not the file's.
    EXPECT_EQ(ownerOf(49, shiftCommand, sources), "Garnock's launcher");
    sources.desktopShortcuts = {{combo, "Openbox: show menu"}};
    EXPECT_EQ(ownerOf(49, shiftCommand, sources), "Openbox: show menu");
    sources.symbolicHotKeys = {{"118", entry(true, {32, 49, 0x120000})}};
    EXPECT_EQ(ownerOf(49, shiftCommand, sources), "a macOS keyboard shortcut");
    // Shift-Command-Space is in none of the fixed tables.
    EXPECT_EQ(ownerOf(49, shiftCommand), std::nullopt);
}

TEST(HotkeyConflictsTest, CommandWithOneKeyBelongsToMenus) {
    EXPECT_EQ(ownerOf(40, command), menus);  // K
    EXPECT_EQ(ownerOf(50, command), "macOS: Move focus to next window");
    EXPECT_EQ(ownerOf(36, command), menus);         // Return
    EXPECT_EQ(ownerOf(51, command), std::nullopt);  // Delete: the first code past the rule
    EXPECT_EQ(ownerOf(96, command), std::nullopt);  // F5
    EXPECT_EQ(ownerOf(40, shiftCommand), std::nullopt);
    EXPECT_EQ(ownerOf(40, 0), std::nullopt);
}

TEST(HotkeyConflictsTest, OffTheSystemNoneOfItsOwnShortcutsIsReported) {
    Sources linux;
    linux.symbolicHotKeys = std::nullopt;
    for (const HotkeyConflicts::SystemShortcut& row : HotkeyConflicts::systemShortcuts()) {
        const auto owner = ownerOf(row.combo.keyCode, row.combo.modifiers, linux);
        EXPECT_FALSE(owner && owner->contains(QStringLiteral("macOS"))) << qPrintable(row.name);
    }
    EXPECT_EQ(ownerOf(49, command, linux), std::nullopt);  // Super+Space
    EXPECT_EQ(ownerOf(49, KeyCombo::control | command, linux), std::nullopt);
    EXPECT_EQ(ownerOf(53, KeyCombo::option | command, linux), std::nullopt);
    EXPECT_EQ(ownerOf(126, KeyCombo::control, linux), std::nullopt);
    // The keys the program's own switcher strip holds.
    const QString strip = QStringLiteral("PELLUCINE: the app switcher");
    EXPECT_EQ(ownerOf(48, command, linux), strip);
    EXPECT_EQ(ownerOf(48, shiftCommand, linux), strip);
    EXPECT_EQ(ownerOf(50, command, linux), strip);
    EXPECT_EQ(ownerOf(48, KeyCombo::option, linux), std::nullopt);
    // Applications' menus take Control with one key here, not Super.
    const QString controlMenus = QStringLiteral("most apps' own menus (Ctrl and one key)");
    EXPECT_EQ(ownerOf(40, KeyCombo::control, linux), controlMenus);  // Ctrl+K
    EXPECT_EQ(ownerOf(0, KeyCombo::control | 0x10000, linux), controlMenus);
    EXPECT_EQ(ownerOf(51, KeyCombo::control, linux), std::nullopt);
    EXPECT_EQ(ownerOf(40, command, linux), std::nullopt);
    EXPECT_EQ(ownerOf(40, KeyCombo::control | KeyCombo::shift, linux), std::nullopt);
    // The desktop's bindings come first.
    linux.desktopShortcuts = {{{49, command}, QStringLiteral("GNOME: Switch to next input source")},
                              {{40, KeyCombo::control}, QStringLiteral("Xfce: run xkill")}};
    EXPECT_EQ(ownerOf(49, command, linux), QStringLiteral("GNOME: Switch to next input source"));
    EXPECT_EQ(ownerOf(40, KeyCombo::control, linux), QStringLiteral("Xfce: run xkill"));
    // The program's switcher wins over the desktop.
    linux.desktopShortcuts = {{{48, command}, QStringLiteral("GNOME: Switch applications")}};
    EXPECT_EQ(ownerOf(48, command, linux), strip);
}

TEST(HotkeyConflictsTest, TheOwnSwitcherHoldsOnlyTheKeysInEffect) {
    const QString strip = QStringLiteral("PELLUCINE: the app switcher");
    constexpr quint64 control = KeyCombo::control;
    const SwitcherBinding fallback{command | control};
    struct Row {
        const char* name;
        std::optional<SwitcherBinding> binding;
        quint32 keyCode;
        quint64 modifiers;
        std::optional<QString> owner;
    };
    const Row rows[] = {
        {"default Super+Tab", SwitcherBinding{}, 48, command, strip},
        {"default Super+Ctrl+Tab is free", SwitcherBinding{}, 48, command | control, std::nullopt},
        {"fallback Super+Tab is free", fallback, 48, command, std::nullopt},
        {"fallback Super+Ctrl+Tab", fallback, 48, command | control, strip},
        {"fallback backward with Shift", fallback, 48, command | control | KeyCombo::shift, strip},
        {"fallback backward on grave", fallback, 50, command | control, strip},
        {"fallback Super+grave is free", fallback, 50, command, std::nullopt},
        {"off Super+Tab is free", std::nullopt, 48, command, std::nullopt},
        {"off Super+Ctrl+Tab is free", std::nullopt, 48, command | control, std::nullopt},
    };
    for (const Row& row : rows) {
        Sources linux;
        linux.symbolicHotKeys = std::nullopt;
        linux.ownSwitcher = row.binding;
        EXPECT_EQ(ownerOf(row.keyCode, row.modifiers, linux), row.owner) << row.name;
    }
}

TEST(HotkeyConflictsTest, WordsSplitBeforeCapitals) {
    EXPECT_EQ(HotkeyConflicts::words(u"toggleMainWindow"), "toggle main window");
    EXPECT_EQ(HotkeyConflicts::words(u"URL"), "u r l");
    EXPECT_EQ(HotkeyConflicts::words(u"Open"), "open");
    EXPECT_EQ(HotkeyConflicts::words(u""), "");
}

class HotkeyConflictReadersTest : public ::testing::Test {
  protected:
    void write(const QString& relative, const QByteArray& data) {
        const QString path = paths.applicationSupport + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    void writeRavelin(const QMap<QString, QVariant>& values) {
        const QString path = SettingsFileStore::domainFilePath(paths, "com.orrinvale.ravelin");
        QDir().mkpath(QFileInfo(path).path());
        QSettings settings(path, QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it) {
            settings.setValue(it.key(), it.value());
        }
    }

    testing::TempFolder folder;
    AppPaths paths = folder.paths();
};

TEST_F(HotkeyConflictReadersTest, GarnockHotkeysAreReadInKeyOrderAndMasked) {
    write("Garnock/settings.json", R"({
        "selectionHotkey": {"keyCode": 1, "modifiers": 1179648},
        "clipboardHotkey": {"keyCode": 9, "modifiers": 1310720, "extra": true},
        "launcherHotkey": {"keyCode": 49},
        "otherHotkey": {"keyCode": 2, "modifiers": 0}
    })");
    const auto hotkeys =
        HotkeyConflicts::readGarnockSettings(HotkeyConflicts::garnockSettingsPath(paths));
    ASSERT_EQ(hotkeys.size(), 2);
    EXPECT_EQ(hotkeys[0], (std::pair<QString, KeyCombo>{"clipboardHotkey", {9, 0x140000}}));
    EXPECT_EQ(hotkeys[1], (std::pair<QString, KeyCombo>{"selectionHotkey", {1, 0x120000}}));

    EXPECT_TRUE(HotkeyConflicts::readGarnockSettings(folder.file("missing.json")).isEmpty());
    write("Garnock/settings.json", "[1, 2]");
    EXPECT_TRUE(HotkeyConflicts::readGarnockSettings(HotkeyConflicts::garnockSettingsPath(paths))
                    .isEmpty());
}

TEST_F(HotkeyConflictReadersTest, RavelinShortcutsAreTranslatedFromCarbonBits) {
    writeRavelin({
        {"KeyboardShortcuts_toggleMainWindow", R"({"carbonKeyCode":49,"carbonModifiers":768})"},
        {"KeyboardShortcuts_pasteURL", R"({"carbonKeyCode":9,"carbonModifiers":6400})"},
        {"KeyboardShortcuts_broken", "not json"},
        {"KeyboardShortcuts_negative", R"({"carbonKeyCode":-3,"carbonModifiers":256})"},
        {"KeyboardShortcuts_number", 12},
        {"SomethingElse", R"({"carbonKeyCode":1,"carbonModifiers":256})"},
    });
    const auto shortcuts = HotkeyConflicts::readOtherShortcuts(paths);
    // Keys in text order: pasteURL before toggleMainWindow.
    ASSERT_EQ(shortcuts.size(), 2);
    EXPECT_EQ(shortcuts[0],
              (HotkeyConflicts::OtherShortcut{{9, KeyCombo::control | KeyCombo::option | command},
                                              "Ravelin’s paste u r l"}));
    EXPECT_EQ(shortcuts[1],
              (HotkeyConflicts::OtherShortcut{{49, shiftCommand}, "Ravelin’s toggle main window"}));

    SimulatedKeyboardShortcutSettings settings;
    EXPECT_EQ(
        HotkeyConflicts::owner(49, shiftCommand, HotkeyConflicts::readSources(settings, paths)),
        "Ravelin’s toggle main window");
}

TEST_F(HotkeyConflictReadersTest, QuorrelTakesPairsAndPlimNeedsObjectsOnly) {
    write("Quorrel/settings.json", R"({"shortcuts": [
        "showClipboard", {"keyCode": 9, "modifiers": 1179648},
        7, {"keyCode": 1, "modifiers": 1048576},
        "lonely"
    ]})");
    write("Plim/settings.json", R"({"itemHotkeys": [
        {"shortcut": {"keyCode": 35, "modifiers": 786432}},
        {"shortcut": "none"},
        {"title": "no shortcut"}
    ]})");
    const auto shortcuts = HotkeyConflicts::readOtherShortcuts(paths);
    ASSERT_EQ(shortcuts.size(), 2);
    EXPECT_EQ(shortcuts[0],
              (HotkeyConflicts::OtherShortcut{{9, shiftCommand}, "Quorrel’s show clipboard"}));
    EXPECT_EQ(shortcuts[1],
              (HotkeyConflicts::OtherShortcut{{35, KeyCombo::control | KeyCombo::option},
                                              "Plim’s menu bar item hotkey"}));

    // One item that is not an object voids Plim's whole list.
    write("Plim/settings.json", R"({"itemHotkeys": [
        {"shortcut": {"keyCode": 35, "modifiers": 786432}}, "stray"]})");
    EXPECT_EQ(HotkeyConflicts::readOtherShortcuts(paths).size(), 1);
}

TEST_F(HotkeyConflictReadersTest, UnreadableFilesContributeNothing) {
    write("Quorrel/settings.json", "{\"shortcuts\": [\"a\", {\"keyCode\": 1,");
    write("Plim/settings.json", R"({"itemHotkeys": {"shortcut": {"keyCode": 1, "modifiers": 0}}})");
    // A file past 1 MiB is not read at all.
    QByteArray huge = R"({"launcherHotkey": {"keyCode": 49, "modifiers": 1179648}, "pad": ")";
    huge += QByteArray(1024 * 1024, 'x') + "\"}";
    write("Garnock/settings.json", huge);
    SimulatedKeyboardShortcutSettings settings;
    const Sources sources = HotkeyConflicts::readSources(settings, paths);
    EXPECT_TRUE(sources.otherShortcuts.isEmpty());
    EXPECT_TRUE(sources.garnockHotkeys.isEmpty());
}

TEST_F(HotkeyConflictReadersTest, ADesktopWithoutSymbolicHotKeysStaysWithoutThem) {
    SimulatedKeyboardShortcutSettings settings;
    EXPECT_EQ(HotkeyConflicts::readSources(settings, paths).symbolicHotKeys, QJsonObject());
    settings.setSymbolicHotKeys(std::nullopt);
    const Sources sources = HotkeyConflicts::readSources(settings, paths);
    EXPECT_FALSE(sources.symbolicHotKeys);
    EXPECT_EQ(HotkeyConflicts::owner(49, command, sources), std::nullopt);
}

TEST_F(HotkeyConflictReadersTest, TheDesktopsSettingsAreTakenAsTheyAre) {
    SimulatedKeyboardShortcutSettings settings;
    settings.setSymbolicHotKeys(QJsonObject{{"64", entry(false, {32, 49, 0x100000})}});
    settings.setDesktopShortcuts({{49, KeyCombo::option | 0x10000, "Openbox: show menu"}});
    const Sources sources = HotkeyConflicts::readSources(settings, paths);
    EXPECT_EQ(HotkeyConflicts::owner(49, command, sources), menus);
    EXPECT_EQ(HotkeyConflicts::owner(49, KeyCombo::option, sources), "Openbox: show menu");
}

}  // namespace
}  // namespace pellucine

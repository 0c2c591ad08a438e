#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>

#include "platform/KeyModifiers.h"
#include "platform/linux/shortcuts/DesktopAccelerator.h"
#include "platform/linux/shortcuts/DesktopKeyBindings.h"
#include "platform/linux/shortcuts/GSettingsKeyBindings.h"
#include "platform/linux/shortcuts/GvdbTable.h"
#include "platform/linux/shortcuts/PlasmaGlobalShortcuts.h"
#include "platform/linux/shortcuts/XfceKeyboardShortcuts.h"
#include "preferences/HotkeyConflicts.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::TempFolder;

constexpr quint64 shift = KeyModifiers::shift;
constexpr quint64 control = KeyModifiers::control;
constexpr quint64 alt = KeyModifiers::option;
constexpr quint64 super = KeyModifiers::command;
constexpr quint32 tabKey = 48;
constexpr quint32 spaceKey = 49;
constexpr quint32 graveKey = 50;

// Schemas, a dconf database and channel files of real desktops (see the folder).
const QString samples = QStringLiteral(PELLUCINE_DESKTOP_SAMPLES);

QByteArray sample(const QString& name) {
    QFile file(samples + QLatin1Char('/') + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
    return file.readAll();
}

DesktopBindingFolders sampleFolders() {
    return {samples, {samples + QStringLiteral("/xdg")}, {samples + QStringLiteral("/schemas")}};
}

// Who holds the combination, or nothing.
QStringList ownersOf(const QList<DesktopShortcut>& shortcuts, quint32 key, quint64 modifiers) {
    QStringList owners;
    for (const DesktopShortcut& shortcut : shortcuts) {
        if (shortcut.keyCode == key && shortcut.modifiers == modifiers) {
            owners << shortcut.owner;
        }
    }
    return owners;
}

std::optional<DesktopShortcut> gtk(const char* text) {
    return DesktopAccelerator::fromGtk(QString::fromUtf8(text));
}

std::optional<DesktopShortcut> qt(const char* text) {
    return DesktopAccelerator::fromQt(QString::fromUtf8(text));
}

TEST(DesktopAcceleratorTest, ReadsGtksForm) {
    EXPECT_EQ(gtk("<Super>Tab"), (DesktopShortcut{tabKey, super, {}}));
    EXPECT_EQ(gtk("<Primary><Alt>t"), (DesktopShortcut{17, control | alt, {}}));
    EXPECT_EQ(gtk("<Ctrl><SHIFT>Page_Up"), (DesktopShortcut{116, control | shift, {}}));
    EXPECT_EQ(gtk("<Control><Mod1>Delete"), (DesktopShortcut{117, control | alt, {}}));
    EXPECT_EQ(gtk("<Mod4>space"), (DesktopShortcut{spaceKey, super, {}}));
    EXPECT_EQ(gtk("<Super>Above_Tab"), (DesktopShortcut{graveKey, super, {}}));
    EXPECT_EQ(gtk(" <Alt>F4 "), (DesktopShortcut{118, alt, {}}));
    for (const char* none : {"", "disabled", "<Super>", "<Hyper>a", "<Meta>Tab", "<Super",
                             "XF86AudioMute", "<Alt>Print", "Super+Tab", "<Super>tab"}) {
        EXPECT_EQ(gtk(none), std::nullopt) << none;
    }
}

TEST(DesktopAcceleratorTest, ReadsQtsForm) {
    EXPECT_EQ(qt("Meta+Tab"), (DesktopShortcut{tabKey, super, {}}));
    EXPECT_EQ(qt("Alt+Shift+Backtab"), (DesktopShortcut{tabKey, alt | shift, {}}));
    EXPECT_EQ(qt("Meta+Ctrl+Esc"), (DesktopShortcut{53, super | control, {}}));
    EXPECT_EQ(qt("Meta+PgUp"), (DesktopShortcut{116, super, {}}));
    EXPECT_EQ(qt("Alt+`"), (DesktopShortcut{graveKey, alt, {}}));
    EXPECT_EQ(qt("Ctrl+Alt+Del"), (DesktopShortcut{117, control | alt, {}}));
    EXPECT_EQ(qt("Meta+1"), (DesktopShortcut{18, super, {}}));
    EXPECT_EQ(qt("Alt+Space"), (DesktopShortcut{spaceKey, alt, {}}));
    EXPECT_EQ(qt("Meta+,"), (DesktopShortcut{43, super, {}}));
    for (const char* none :
         {"", "none", "Search", "Meta+", "Num+Ctrl+A", "Ctrl+a", "Meta+~", "Hyper+A", "Ctrl++"}) {
        EXPECT_EQ(qt(none), std::nullopt) << none;
    }
}

TEST(GvdbTableTest, ReadsTheDconfDatabaseAndCompiledSchemas) {
    const auto user = GvdbTable::parse(sample(QStringLiteral("dconf/user")));
    ASSERT_TRUE(user);
    const auto value = user->value(QStringLiteral("/org/gnome/desktop/wm/keybindings/close"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, "as");
    EXPECT_EQ(GVariantReader::stringArray(value->data),
              (QStringList{QStringLiteral("<Super>q"), QStringLiteral("<Alt>F4")}));
    const auto empty =
        user->value(QStringLiteral("/org/gnome/desktop/wm/keybindings/switch-input-source"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(GVariantReader::stringArray(empty->data), QStringList());
    const auto text =
        user->value(QStringLiteral("/org/mate/marco/global-keybindings/switch-windows"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, "s");
    EXPECT_EQ(GVariantReader::string(text->data), QStringLiteral("disabled"));
    EXPECT_FALSE(user->value(QStringLiteral("/org/gnome/desktop/wm/keybindings/")));
    EXPECT_FALSE(user->value(QStringLiteral("/org/gnome/nothing")));

    const auto schemas = GvdbTable::parse(sample(QStringLiteral("schemas/gschemas.compiled")));
    ASSERT_TRUE(schemas);
    const auto wm = schemas->table(QStringLiteral("org.gnome.desktop.wm.keybindings"));
    ASSERT_TRUE(wm);
    EXPECT_FALSE(schemas->value(QStringLiteral("org.gnome.desktop.wm.keybindings")));
    const auto info = wm->value(QStringLiteral("switch-applications"));
    ASSERT_TRUE(info);
    const auto fallback = GVariantReader::firstMember(*info);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(GVariantReader::stringArray(fallback->data),
              (QStringList{QStringLiteral("<Super>Tab"), QStringLiteral("<Alt>Tab")}));
    EXPECT_TRUE(wm->keys().contains(QStringLiteral(".path")));

    // A key whose schema gives it an empty summary is named by its own words.
    const auto named = GSettingsKeyBindings::read(
        *wm, std::nullopt, {{QStringLiteral("switch-applications"), QString()}});
    EXPECT_TRUE(std::any_of(named.begin(), named.end(), [](const auto& binding) {
        return binding.name == u"Switch applications";
    }));
    EXPECT_TRUE(std::none_of(named.begin(), named.end(),
                             [](const auto& binding) { return binding.name.isEmpty(); }));
}

TEST(GvdbTableTest, MalformedDatabasesReadAsNothingOrLess) {
    EXPECT_FALSE(GvdbTable::parse({}));
    EXPECT_FALSE(GvdbTable::parse("GVariant"));
    QByteArray file = sample(QStringLiteral("dconf/user"));
    // Another byte order, another version.
    QByteArray swapped = file;
    std::reverse(swapped.begin(), swapped.begin() + 4);
    EXPECT_FALSE(GvdbTable::parse(swapped));
    QByteArray version = file;
    version[8] = 1;
    EXPECT_FALSE(GvdbTable::parse(version));
    // A root table past the end.
    QByteArray pastEnd = file;
    pastEnd[21] = char(0x7f);
    EXPECT_FALSE(GvdbTable::parse(pastEnd));
    // Cut short anywhere: whatever is read stays inside the file.
    for (qsizetype size = 24; size < file.size(); size += 7) {
        if (const auto table = GvdbTable::parse(file.left(size))) {
            for (const QString& key : table->keys()) {
                if (const auto value = table->value(key)) {
                    GVariantReader::stringArray(value->data);
                }
            }
        }
    }
}

TEST(GVariantReaderTest, RejectsMalformedValues) {
    EXPECT_EQ(GVariantReader::string(QByteArray("ab\0", 3)), QStringLiteral("ab"));
    EXPECT_FALSE(GVariantReader::string("ab"));
    EXPECT_FALSE(GVariantReader::string(QByteArray("a\0b\0", 4)));
    // Two strings "a" and "bc", their ends at 2 and 5.
    EXPECT_EQ(GVariantReader::stringArray(QByteArray("a\0bc\0\x02\x05", 7)),
              (QStringList{QStringLiteral("a"), QStringLiteral("bc")}));
    EXPECT_FALSE(GVariantReader::stringArray(QByteArray("a\0bc\0\x05\x02", 7)));
    EXPECT_FALSE(GVariantReader::stringArray(QByteArray("a\0bc\0\x02\x09", 7)));
    EXPECT_FALSE(GVariantReader::stringArray(QByteArray("abc", 3)));
    EXPECT_EQ(GVariantReader::stringArray({}), QStringList());
    EXPECT_EQ(GVariantReader::unwrapVariant(QByteArray("x\0\0s", 4)),
              (GVariantBytes{"s", QByteArray("x\0", 2)}));
    EXPECT_FALSE(GVariantReader::unwrapVariant(QByteArray("x\0a", 3)));
    EXPECT_FALSE(GVariantReader::unwrapVariant("no separator"));
    EXPECT_EQ(GVariantReader::typeLength("(as(y(ys)))"), 11);
    EXPECT_EQ(GVariantReader::typeLength("a{sv}x"), 5);
    EXPECT_EQ(GVariantReader::typeLength("a{vs}"), 5);
    EXPECT_EQ(GVariantReader::typeLength("(as"), 0);
    EXPECT_EQ(GVariantReader::typeLength("{sss}"), 0);
    EXPECT_EQ(GVariantReader::typeLength(QByteArray(200, 'a') + "s"), 0);
    EXPECT_FALSE(GVariantReader::firstMember({"(ib)", QByteArray(8, '\0')}));
    EXPECT_FALSE(GVariantReader::firstMember({"(sb)", QByteArray("a\0\x01\x09", 4)}));
}

TEST(DesktopKeyBindingsTest, GnomeReadsTheUsersValuesOverTheSchemasDefaults) {
    const QList<DesktopShortcut> gnome =
        DesktopKeyBindings::read(DesktopSession::gnome, sampleFolders());
    // The user kept only Alt+Tab for switching applications and turned the input source off.
    EXPECT_EQ(ownersOf(gnome, tabKey, alt), QStringList{"GNOME: Switch applications"});
    EXPECT_TRUE(ownersOf(gnome, tabKey, super).isEmpty());
    EXPECT_TRUE(ownersOf(gnome, spaceKey, super).isEmpty());
    EXPECT_EQ(ownersOf(gnome, 12, super), QStringList{"GNOME: Close window"});  // Super+Q
    EXPECT_EQ(ownersOf(gnome, 118, alt), QStringList{"GNOME: Close window"});
    // Defaults of mutter, the shell and the media keys, named by their schemas.
    EXPECT_EQ(ownersOf(gnome, graveKey, super),
              QStringList{"GNOME: Switch windows of an application"});
    EXPECT_EQ(ownersOf(gnome, 123, super), QStringList{"GNOME: View split on left"});
    EXPECT_EQ(ownersOf(gnome, 1, super), QStringList{"GNOME: Keybinding to open the overview"});
    EXPECT_EQ(ownersOf(gnome, 37, super), QStringList{"GNOME: Lock screen"});
    // The user's own shortcut, under its own name.
    EXPECT_EQ(ownersOf(gnome, 36, super), QStringList{"GNOME: Open Terminal"});
    // Debian binds the deprecated main-menu key, which GNOME ignores.
    EXPECT_TRUE(ownersOf(gnome, 122, alt).isEmpty());
    for (const DesktopShortcut& shortcut : gnome) {
        EXPECT_TRUE(shortcut.owner.startsWith(QLatin1String("GNOME: ")))
            << qPrintable(shortcut.owner);
    }
}

TEST(DesktopKeyBindingsTest, WithoutTheUsersDatabaseTheDefaultsHold) {
    TempFolder home;
    DesktopBindingFolders folders = sampleFolders();
    folders.userConfig = home.path();
    const QList<DesktopShortcut> gnome = DesktopKeyBindings::read(DesktopSession::gnome, folders);
    EXPECT_EQ(ownersOf(gnome, tabKey, super), QStringList{"GNOME: Switch applications"});
    EXPECT_EQ(ownersOf(gnome, spaceKey, super), QStringList{"GNOME: Switch input source"});
    EXPECT_TRUE(ownersOf(gnome, 36, super).isEmpty());

    const QList<DesktopShortcut> mate = DesktopKeyBindings::read(DesktopSession::mate, folders);
    EXPECT_EQ(ownersOf(mate, tabKey, alt),
              QStringList{"MATE: Move between windows, using a popup window"});
}

TEST(DesktopKeyBindingsTest, CinnamonAndMateReadTheirOwnSchemas) {
    const QList<DesktopShortcut> cinnamon =
        DesktopKeyBindings::read(DesktopSession::cinnamon, sampleFolders());
    EXPECT_EQ(ownersOf(cinnamon, tabKey, super), QStringList{"Cinnamon: Switch applications"});
    EXPECT_TRUE(ownersOf(cinnamon, tabKey, alt).isEmpty());
    EXPECT_EQ(ownersOf(cinnamon, 1, shift | super), QStringList{"Cinnamon: Screenshot area"});
    EXPECT_FALSE(ownersOf(cinnamon, 118, alt).isEmpty());

    const QList<DesktopShortcut> mate =
        DesktopKeyBindings::read(DesktopSession::mate, sampleFolders());
    EXPECT_EQ(ownersOf(mate, 17, super), QStringList{"MATE: Run a terminal"});
    // Switched off by the user.
    EXPECT_TRUE(ownersOf(mate, tabKey, alt).isEmpty());
    EXPECT_EQ(ownersOf(mate, 118, alt), QStringList{"MATE: Close window"});
    EXPECT_EQ(ownersOf(mate, 37, control | alt), QStringList{"MATE: Lock screen"});
}

TEST(DesktopKeyBindingsTest, PlasmaNamesEachActionAsItsComponentDoes) {
    const QList<DesktopShortcut> plasma =
        PlasmaGlobalShortcuts::parse(sample(QStringLiteral("kglobalshortcutsrc")));
    EXPECT_EQ(ownersOf(plasma, tabKey, alt), QStringList{"KDE Plasma: Walk Through Windows"});
    EXPECT_EQ(ownersOf(plasma, tabKey, super), QStringList{"KDE Plasma: Walk Through Windows"});
    EXPECT_EQ(ownersOf(plasma, tabKey, alt | shift),
              QStringList{"KDE Plasma: Walk Through Windows (Reverse)"});
    EXPECT_EQ(ownersOf(plasma, 2, super), QStringList{"KDE Plasma: Peek at Desktop"});
    EXPECT_EQ(ownersOf(plasma, 14, super), QStringList{"KDE Plasma: Dolphin"});
    EXPECT_EQ(ownersOf(plasma, 17, control | alt), QStringList{"KDE Plasma: Konsole"});
    EXPECT_EQ(ownersOf(plasma, spaceKey, alt), QStringList{"KDE Plasma: KRunner"});
    EXPECT_EQ(ownersOf(plasma, 120, alt), QStringList{"KDE Plasma: KRunner"});
    EXPECT_EQ(ownersOf(plasma, 53, super | control), QStringList{"KDE Plasma: Kill Window"});
    // "none" binds nothing.
    EXPECT_EQ(plasma.size(), 18);

    // Escapes: a comma within the name, a tab and a space written out.
    const QList<DesktopShortcut> escaped = PlasmaGlobalShortcuts::parse(
        "[kwin]\nA=Meta+\\\\,\\tMeta+X,none,Say\\\\, hi\\sthere\nB[$i]=Meta+B,none,\n"
        "noequals\n=Meta+C,,C\n");
    EXPECT_EQ(ownersOf(escaped, 43, super), QStringList{"KDE Plasma: Say, hi there"});
    EXPECT_EQ(ownersOf(escaped, 7, super), QStringList{"KDE Plasma: Say, hi there"});
    EXPECT_EQ(ownersOf(escaped, 11, super), QStringList{"KDE Plasma: B"});
    EXPECT_EQ(escaped.size(), 3);
}

TEST(DesktopKeyBindingsTest, XfceLetsTheUsersOverridingSetReplaceTheDefaults) {
    const QByteArray system =
        sample(QStringLiteral("xdg/xfce4/xfconf/xfce-perchannel-xml/xfce4-keyboard-shortcuts.xml"));
    const QList<DesktopShortcut> defaults = XfceKeyboardShortcuts::parse({system});
    EXPECT_EQ(ownersOf(defaults, tabKey, alt), QStringList{"Xfce: Cycle windows"});
    EXPECT_EQ(ownersOf(defaults, tabKey, super), QStringList{"Xfce: Switch window"});
    EXPECT_EQ(ownersOf(defaults, 17, control | alt),
              QStringList{"Xfce: run exo-open --launch TerminalEmulator"});

    const QList<DesktopShortcut> both =
        DesktopKeyBindings::read(DesktopSession::xfce, sampleFolders());
    // The user's commands override; the window manager's custom set does not.
    EXPECT_EQ(ownersOf(both, 17, control | alt), QStringList{"Xfce: run xfce4-terminal"});
    EXPECT_EQ(ownersOf(both, 120, alt), QStringList{"Xfce: run xfce4-appfinder --collapsed"});
    EXPECT_TRUE(ownersOf(both, 14, super).isEmpty());  // Super+E, thunar, a default command
    EXPECT_EQ(ownersOf(both, tabKey, super), QStringList{"Xfce: Switch window"});
    EXPECT_TRUE(ownersOf(both, 126, super).isEmpty());
}

TEST(DesktopKeyBindingsTest, MissingUnreadableOrMalformedFilesGiveNothing) {
    TempFolder empty;
    const DesktopBindingFolders nowhere{empty.path(), {empty.file("xdg")}, {empty.file("schemas")}};
    for (const DesktopSession session :
         {DesktopSession::gnome, DesktopSession::cinnamon, DesktopSession::mate,
          DesktopSession::plasma, DesktopSession::xfce, DesktopSession::other}) {
        EXPECT_TRUE(DesktopKeyBindings::read(session, nowhere).isEmpty());
        EXPECT_TRUE(DesktopKeyBindings::read(DesktopSession::other, sampleFolders()).isEmpty());
    }
    // Garbage where each file should be, and a folder where the database should be.
    TempFolder garbage;
    const auto write = [&](const QString& name, const QByteArray& text) {
        const QString path = garbage.file(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("schemas/gschemas.compiled", "GVariant\0\0\0\0junk");
    write("schemas/org.gnome.desktop.wm.keybindings.gschema.xml", "<schemalist><schema");
    write("kglobalshortcutsrc", QByteArray("\0\0[\n=\n\\", 7));
    write("xfce4/xfconf/xfce-perchannel-xml/xfce4-keyboard-shortcuts.xml", "<channel><property");
    QDir().mkpath(garbage.file("dconf/user"));
    const DesktopBindingFolders bad{garbage.path(), {}, {garbage.file("schemas")}};
    for (const DesktopSession session :
         {DesktopSession::gnome, DesktopSession::plasma, DesktopSession::xfce}) {
        EXPECT_TRUE(DesktopKeyBindings::read(session, bad).isEmpty());
    }
    // A broken user database leaves the schemas' defaults.
    DesktopBindingFolders brokenUser = sampleFolders();
    brokenUser.userConfig = garbage.path();
    EXPECT_EQ(ownersOf(DesktopKeyBindings::read(DesktopSession::gnome, brokenUser), tabKey, super),
              QStringList{"GNOME: Switch applications"});
    EXPECT_TRUE(XfceKeyboardShortcuts::parse({"<other/>", "not xml"}).isEmpty());
    EXPECT_TRUE(GSettingsKeyBindings::summaries("<schemalist>", "x").isEmpty());
}

TEST(DesktopKeyBindingsTest, DetectsTheRunningDesktop) {
    using S = DesktopSession;
    EXPECT_EQ(DesktopKeyBindings::detect("GNOME", {}, {}, {}), S::gnome);
    EXPECT_EQ(DesktopKeyBindings::detect("ubuntu:GNOME", {}, {}, {}), S::gnome);
    EXPECT_EQ(DesktopKeyBindings::detect("GNOME-Flashback:GNOME", {}, {}, {}), S::gnome);
    EXPECT_EQ(DesktopKeyBindings::detect("X-Cinnamon", {}, {}, {}), S::cinnamon);
    EXPECT_EQ(DesktopKeyBindings::detect("MATE", {}, {}, {}), S::mate);
    EXPECT_EQ(DesktopKeyBindings::detect("KDE", {}, {}, {}), S::plasma);
    EXPECT_EQ(DesktopKeyBindings::detect("XFCE", {}, {}, {}), S::xfce);
    EXPECT_EQ(DesktopKeyBindings::detect("LXQt", {}, {}, {}), S::other);
    EXPECT_EQ(DesktopKeyBindings::detect({}, "plasmax11", {}, {}), S::plasma);
    EXPECT_EQ(DesktopKeyBindings::detect({}, {}, "cinnamon2d", {}), S::cinnamon);
    EXPECT_EQ(DesktopKeyBindings::detect({}, {}, "openbox", "true"), S::plasma);
    EXPECT_EQ(DesktopKeyBindings::detect({}, {}, "openbox", {}), S::other);
    // The current desktop speaks first.
    EXPECT_EQ(DesktopKeyBindings::detect("XFCE", "gnome", {}, {}), S::xfce);
}

TEST(DesktopKeyBindingsTest, TheDesktopsOwnersReachTheConflictCheck) {
    HotkeyConflicts::Sources sources;
    sources.symbolicHotKeys = std::nullopt;
    for (const DesktopShortcut& shortcut :
         DesktopKeyBindings::read(DesktopSession::gnome, sampleFolders())) {
        sources.desktopShortcuts.append({{shortcut.keyCode, shortcut.modifiers}, shortcut.owner});
    }
    EXPECT_EQ(HotkeyConflicts::owner(tabKey, alt, sources), "GNOME: Switch applications");
    EXPECT_EQ(HotkeyConflicts::owner(spaceKey, super, sources), std::nullopt);
    EXPECT_EQ(HotkeyConflicts::owner(126, control, sources), std::nullopt);
}

}  // namespace
}  // namespace pellucine

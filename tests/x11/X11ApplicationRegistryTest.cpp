#include <gmock/gmock.h>

#include <QDir>
#include <QFile>

#include "core/SensitiveApplication.h"
#include "platform/x11/X11ApplicationRegistry.h"
#include "support/FileTraps.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::TempFolder;

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray entryText(const char* name, const char* windowClass = nullptr, const char* extra = "") {
    QByteArray text = "[Desktop Entry]\nType=Application\nName=" + QByteArray(name) + "\n";
    if (windowClass != nullptr) {
        text += "StartupWMClass=" + QByteArray(windowClass) + "\n";
    }
    return text + extra;
}

X11WindowInfo window(xcb_window_t id, qint32 pid, const char* resourceClass = "") {
    X11WindowInfo w;
    w.window = id;
    w.pid = pid;
    w.resourceClass = QString::fromLatin1(resourceClass);
    w.resourceName = QString::fromLatin1(resourceClass).toLower();
    w.isViewable = true;
    return w;
}

TEST(X11DesktopEntriesTest, ReadsApplicationEntriesAndTheFirstFolderWins) {
    TempFolder temp;
    const QString user = temp.file(QStringLiteral("user"));
    const QString system = temp.file(QStringLiteral("system"));
    writeFile(user + "/org.example.Editor.desktop", entryText("Editor (mine)"));
    writeFile(system + "/org.example.Editor.desktop", entryText("Editor", "EditorClass"));
    writeFile(system + "/kde/okular.desktop", entryText("Okular", "okular"));
    // Hidden in the user's folder: gone from the system's too.
    writeFile(user + "/org.example.Gone.desktop",
              "[Desktop Entry]\nType=Application\nName=G\nHidden=true\n");
    writeFile(system + "/org.example.Gone.desktop", entryText("Gone"));
    writeFile(system + "/link.desktop", "[Desktop Entry]\nType=Link\nName=Web\n");
    writeFile(system + "/nameless.desktop", "[Desktop Entry]\nType=Application\n");
    // Keys of other groups and localized names are not the entry's name.
    writeFile(system + "/grouped.desktop",
              "[Desktop Action New]\nName=New Window\n[Desktop Entry]\nType=Application\n"
              "Name[de]=Gruppiert\nName=Grouped\n");

    const DesktopEntries entries = DesktopEntries::load({user, system});
    ASSERT_NE(entries.byId(QStringLiteral("org.example.Editor")), nullptr);
    EXPECT_EQ(entries.byId(QStringLiteral("org.example.Editor"))->name,
              QStringLiteral("Editor (mine)"));
    // The user's entry names no class, so the system's class lookup does not lead to it.
    EXPECT_EQ(entries.byWindowClass(QStringLiteral("EditorClass")), nullptr);
    ASSERT_NE(entries.byId(QStringLiteral("kde-okular")), nullptr);
    EXPECT_EQ(entries.byWindowClass(QStringLiteral("okular"))->id, QStringLiteral("kde-okular"));
    EXPECT_EQ(entries.byId(QStringLiteral("KDE-OKULAR"))->id, QStringLiteral("kde-okular"));
    EXPECT_EQ(entries.byId(QStringLiteral("org.example.Gone")), nullptr);
    EXPECT_EQ(entries.byId(QStringLiteral("link")), nullptr);
    EXPECT_EQ(entries.byId(QStringLiteral("nameless")), nullptr);
    EXPECT_EQ(entries.byId(QStringLiteral("grouped"))->name, QStringLiteral("Grouped"));
    EXPECT_EQ(entries.byId(QString()), nullptr);
    EXPECT_EQ(entries.byWindowClass(QString()), nullptr);
}

class X11IdentityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString apps = temp.file(QStringLiteral("applications"));
        writeFile(apps + "/org.keepassxc.KeePassXC.desktop", entryText("KeePassXC", "KeePassXC"));
        writeFile(apps + "/org.gnome.Calculator.desktop", entryText("Calculator"));
        writeFile(apps + "/com.example.Flat.desktop", entryText("Flat App"));
        writeFile(apps + "/debian-xterm.desktop", entryText("XTerm", "XTerm"));
        entries = DesktopEntries::load({apps});
    }
    TempFolder temp;
    DesktopEntries entries;
};

TEST_F(X11IdentityTest, PrefersTheDesktopEntryWhateverLedToIt) {
    // Through the window class: a password manager keeps its reverse-DNS identifier.
    X11WindowInfo keepass = window(1, 10, "KeePassXC");
    const X11ApplicationIdentity byClass = identifyApplication(keepass, entries, {}, {});
    EXPECT_EQ(byClass.identifier, QStringLiteral("org.keepassxc.KeePassXC"));
    EXPECT_EQ(byClass.name, QStringLiteral("KeePassXC"));
    EXPECT_TRUE(byClass.fromDesktopEntry);
    EXPECT_TRUE(
        byClass.location->toLocalFile().endsWith(QLatin1String("org.keepassxc.KeePassXC.desktop")));

    // Through the GTK application id.
    X11WindowInfo calculator = window(2, 11, "Gnome-calculator");
    calculator.gtkApplicationId = QStringLiteral("org.gnome.Calculator");
    EXPECT_EQ(identifyApplication(calculator, entries, {}, {}).name, QStringLiteral("Calculator"));

    // Through the Flatpak id.
    X11WindowInfo flat = window(3, 12, "flat");
    EXPECT_EQ(identifyApplication(flat, entries, QStringLiteral("com.example.Flat"), {}).name,
              QStringLiteral("Flat App"));

    // A desktop file named by the window beats every other way.
    X11WindowInfo hinted = window(4, 13, "XTerm");
    hinted.desktopFileHint = QStringLiteral("/usr/share/applications/org.gnome.Calculator.desktop");
    EXPECT_EQ(identifyApplication(hinted, entries, {}, {}).identifier,
              QStringLiteral("org.gnome.Calculator"));
}

// GTK programs without a session bus set no application id: WM_CLASS "mousepad", "Mousepad".
TEST_F(X11IdentityTest, FindsAReverseDnsEntryByItsLastPartWhenNothingElseNamesOne) {
    const QString apps = temp.file(QStringLiteral("tails"));
    writeFile(apps + "/org.xfce.mousepad.desktop",
              entryText("Mousepad", nullptr, "Icon=org.xfce.mousepad\n"));
    writeFile(apps + "/org.example.viewer.desktop", entryText("Viewer One"));
    writeFile(apps + "/com.example.Viewer.desktop", entryText("Viewer Two"));
    writeFile(apps + "/python3.11.desktop", entryText("Python"));
    writeFile(apps + "/debian-xterm.desktop", entryText("XTerm", "XTerm"));
    const DesktopEntries tails = DesktopEntries::load({apps});

    const X11ApplicationIdentity mousepad =
        identifyApplication(window(1, 10, "Mousepad"), tails, {}, {});
    EXPECT_TRUE(mousepad.fromDesktopEntry);
    EXPECT_EQ(mousepad.identifier, QStringLiteral("org.xfce.mousepad"));
    EXPECT_EQ(mousepad.icon, QStringLiteral("org.xfce.mousepad"));
    // Two ids end alike: neither is taken. An id of fewer parts is no reverse-DNS one.
    EXPECT_FALSE(identifyApplication(window(2, 11, "Viewer"), tails, {}, {}).fromDesktopEntry);
    EXPECT_EQ(tails.byIdTail(QStringLiteral("11")), nullptr);
    EXPECT_EQ(tails.byIdTail(QString()), nullptr);
    // The window class and the id themselves still come first.
    EXPECT_EQ(identifyApplication(window(3, 12, "XTerm"), tails, {}, {}).identifier,
              QStringLiteral("debian-xterm"));
}

TEST_F(X11IdentityTest, FallsBackInOrderWithoutAnEntry) {
    X11WindowInfo w = window(1, 10, "Strange");
    w.gtkApplicationId = QStringLiteral("org.example.Strange");
    w.desktopFileHint = QStringLiteral("org.example.Named.desktop");
    const auto flatpak = std::optional<QString>(QStringLiteral("org.example.Sandboxed"));
    const auto exe = std::optional<QString>(QStringLiteral("/opt/strange/bin/strange"));

    EXPECT_EQ(identifyApplication(w, entries, flatpak, exe).identifier,
              QStringLiteral("org.example.Named"));
    w.desktopFileHint.clear();
    EXPECT_EQ(identifyApplication(w, entries, flatpak, exe).identifier,
              QStringLiteral("org.example.Sandboxed"));
    EXPECT_EQ(identifyApplication(w, entries, {}, exe).identifier,
              QStringLiteral("org.example.Strange"));
    w.gtkApplicationId.clear();
    const X11ApplicationIdentity byClass = identifyApplication(w, entries, {}, exe);
    EXPECT_EQ(byClass.identifier, QStringLiteral("Strange"));
    EXPECT_EQ(byClass.name, QStringLiteral("Strange"));
    EXPECT_EQ(byClass.location, QUrl::fromLocalFile(*exe));
    EXPECT_FALSE(byClass.fromDesktopEntry);

    // A lower-case class names the application capitalised; its identifier stays as set.
    const X11ApplicationIdentity lower =
        identifyApplication(window(3, 12, "pellucine"), entries, {}, {});
    EXPECT_EQ(lower.name, QStringLiteral("Pellucine"));
    EXPECT_EQ(lower.identifier, QStringLiteral("pellucine"));

    const X11ApplicationIdentity nothing = identifyApplication(window(2, 11), entries, {}, {});
    EXPECT_FALSE(nothing.identifier);
    EXPECT_FALSE(nothing.name);
    EXPECT_FALSE(nothing.location);
}

// Password managers as Debian installs them (the desktop files' ids and StartupWMClass) and as
// they set WM_CLASS: whatever the port picks as the identifier, the rest stay at hand as
// aliases for the privacy rule.
TEST_F(X11IdentityTest, PasswordManagersArePrivateThroughTheirIdentifierOrAliases) {
    const QString apps = temp.file(QStringLiteral("debian"));
    writeFile(apps + "/org.keepassxc.KeePassXC.desktop", entryText("KeePassXC", "keepassxc"));
    writeFile(apps + "/keepass2.desktop", entryText("KeePass2"));
    writeFile(apps + "/org.kde.kwalletmanager5.desktop", entryText("KWalletManager"));
    writeFile(apps + "/org.gnome.seahorse.Application.desktop", entryText("Passwords and Keys"));
    writeFile(apps + "/qtpass.desktop", entryText("QtPass"));
    const DesktopEntries debian = DesktopEntries::load({apps});
    const auto exe = [](const char* path) {
        return std::optional<QString>(QString::fromUtf8(path));
    };

    struct Case {
        X11WindowInfo window;
        std::optional<QString> flatpak;
        std::optional<QString> executable;
    };
    X11WindowInfo keepassxc = window(1, 10, "KeePassXC");
    X11WindowInfo keepass2 = window(2, 11, "KeePass2");
    X11WindowInfo kwallet = window(3, 12, "kwalletmanager5");
    X11WindowInfo seahorse = window(4, 13, "Seahorse");
    seahorse.gtkApplicationId = QStringLiteral("org.gnome.seahorse.Application");
    X11WindowInfo qtpass = window(5, 14, "QtPass");
    // Not installed here: known by the window class, the Flatpak id or the executable.
    X11WindowInfo bitwarden = window(6, 15, "Bitwarden");
    X11WindowInfo protonPass = window(7, 16, "Proton Pass");
    X11WindowInfo onePassword = window(8, 17);
    const std::vector<Case> cases{
        {keepassxc, {}, exe("/usr/bin/keepassxc")},
        {keepass2, {}, exe("/usr/bin/mono-sgen")},
        {kwallet, {}, exe("/usr/bin/kwalletmanager5")},
        {seahorse, {}, exe("/usr/bin/seahorse")},
        {qtpass, {}, exe("/usr/bin/qtpass")},
        {bitwarden, QStringLiteral("com.bitwarden.desktop"), exe("/app/bin/bitwarden")},
        {protonPass, {}, exe("/usr/lib/proton-pass/Proton Pass")},
        {onePassword, {}, exe("/opt/1Password/1password")},
    };
    for (const Case& c : cases) {
        const X11ApplicationIdentity identity =
            identifyApplication(c.window, debian, c.flatpak, c.executable);
        EXPECT_TRUE(isSensitiveApplication(identity.identifier, identity.aliases, 0))
            << qPrintable(identity.identifier.value_or(QStringLiteral("(none)")));
        EXPECT_FALSE(identity.aliases.contains(identity.identifier.value_or(QString())));
        QStringList once = identity.aliases;
        EXPECT_EQ(once.removeDuplicates(), 0);
    }
    // The desktop entry decides the identifier; the window's own names remain aliases.
    const X11ApplicationIdentity kp =
        identifyApplication(keepassxc, debian, {}, exe("/usr/bin/keepassxc"));
    EXPECT_EQ(kp.identifier, QStringLiteral("org.keepassxc.KeePassXC"));
    EXPECT_EQ(kp.aliases, (QStringList{QStringLiteral("KeePassXC"), QStringLiteral("keepassxc")}));
    // An ordinary application stays pictured, however many names it has.
    X11WindowInfo xterm = window(9, 18, "XTerm");
    const X11ApplicationIdentity plain =
        identifyApplication(xterm, entries, {}, exe("/usr/bin/xterm"));
    EXPECT_FALSE(isSensitiveApplication(plain.identifier, plain.aliases, 0));
}

TEST(X11ProcessInfoTest, FindsTheFlatpakIdAndTheExecutable) {
    TempFolder proc;
    writeFile(proc.file("100/root/.flatpak-info"),
              "[Instance]\nname=wrong\n[Application]\nname=org.example.FromInfo\n");
    writeFile(proc.file("200/cgroup"),
              "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
              "app-flatpak-org.example.FromScope-4711.scope\n");
    writeFile(proc.file("300/cgroup"), "0::/user.slice/session-2.scope\n");
    QDir().mkpath(proc.file("400"));
    QFile::link(QStringLiteral("/bin/sh"), proc.file("400/exe"));

    const ProcessInfo info(proc.path());
    EXPECT_EQ(info.flatpakId(100), QStringLiteral("org.example.FromInfo"));
    EXPECT_EQ(info.flatpakId(200), QStringLiteral("org.example.FromScope"));
    EXPECT_EQ(info.flatpakId(300), std::nullopt);
    EXPECT_EQ(info.flatpakId(999), std::nullopt);
    EXPECT_EQ(info.flatpakId(0), std::nullopt);
    EXPECT_EQ(info.executablePath(400), QStringLiteral("/bin/sh"));
    EXPECT_EQ(info.executablePath(300), std::nullopt);
    EXPECT_TRUE(info.isRunning(400));
    EXPECT_FALSE(info.isRunning(999));
    EXPECT_FALSE(info.isRunning(-1));
}

TEST(X11ProcessInfoTest, APipeInAClientsOwnFilesIsNotWaitedOn) {
    // A client controls the files below its process: a pipe there would block a reader.
    TempFolder proc;
    QDir().mkpath(proc.file("100/root"));
    testing::makePipe(proc.file("100/root/.flatpak-info"));
    writeFile(proc.file("100/cgroup"), "0::/app.slice/app-flatpak-org.example.Scope-1.scope\n");
    QDir().mkpath(proc.file("200/root"));
    testing::makePipe(proc.file("200/cgroup"));
    const ProcessInfo info(proc.path());
    EXPECT_EQ(info.flatpakId(100), QStringLiteral("org.example.Scope"));
    EXPECT_EQ(info.flatpakId(200), std::nullopt);
}

TEST(X11DesktopEntriesTest, EntriesThatAreNotRegularFilesAreSkipped) {
    TempFolder temp;
    const QString apps = temp.file(QStringLiteral("applications"));
    writeFile(apps + "/org.example.Kept.desktop", entryText("Kept"));
    testing::makePipe(temp.file(QStringLiteral("pipe")));
    ASSERT_TRUE(QFile::link(temp.file(QStringLiteral("pipe")), apps + "/linked-pipe.desktop"));
    testing::makePipe(apps + "/pipe.desktop");
    // Entries reached through links are still read.
    writeFile(temp.file(QStringLiteral("real.desktop")), entryText("Linked"));
    ASSERT_TRUE(QFile::link(temp.file(QStringLiteral("real.desktop")), apps + "/linked.desktop"));

    const DesktopEntries entries = DesktopEntries::load({apps});
    ASSERT_NE(entries.byId(QStringLiteral("org.example.Kept")), nullptr);
    ASSERT_NE(entries.byId(QStringLiteral("linked")), nullptr);
    EXPECT_EQ(entries.byId(QStringLiteral("linked"))->name, QStringLiteral("Linked"));
    EXPECT_EQ(entries.byId(QStringLiteral("pipe")), nullptr);
    EXPECT_EQ(entries.byId(QStringLiteral("linked-pipe")), nullptr);
}

TEST(X11ActivationPolicyTest, FollowsTheWindowsAnApplicationOwns) {
    X11WindowInfo normal = window(1, 1);
    X11WindowInfo dialog = window(2, 1);
    dialog.type = X11WindowType::dialog;
    X11WindowInfo skipping = window(3, 1);
    skipping.skipsTaskbar = true;
    X11WindowInfo utility = window(4, 1);
    utility.type = X11WindowType::utility;
    X11WindowInfo dock = window(5, 1);
    dock.type = X11WindowType::dock;
    X11WindowInfo menu = window(6, 1);
    menu.type = X11WindowType::popupMenu;

    EXPECT_EQ(activationPolicyOf({&dock, &normal}), X11ActivationPolicy::regular);
    EXPECT_EQ(activationPolicyOf({&dialog}), X11ActivationPolicy::regular);
    EXPECT_EQ(activationPolicyOf({&skipping, &dock}), X11ActivationPolicy::accessory);
    EXPECT_EQ(activationPolicyOf({&utility}), X11ActivationPolicy::accessory);
    EXPECT_EQ(activationPolicyOf({&dock, &menu}), X11ActivationPolicy::prohibited);
    EXPECT_EQ(activationPolicyOf({}), X11ActivationPolicy::prohibited);
}

class X11ApplicationRegistryTest : public ::testing::Test {
  protected:
    X11ApplicationRegistryTest() : registry(DesktopEntries{}, ProcessInfo(proc.path())) {}

    // Windows front to back; mapping order given separately.
    X11DesktopSnapshot snapshot(QList<X11WindowInfo> windows, QList<xcb_window_t> mapping,
                                xcb_window_t active = XCB_NONE) {
        X11DesktopSnapshot s;
        s.windows = std::move(windows);
        s.mappingOrder = std::move(mapping);
        s.activeWindow = active;
        return s;
    }

    TempFolder proc;
    X11ApplicationRegistry registry;
};

TEST_F(X11ApplicationRegistryTest, GroupsByProcessInMappingOrderWithWindowsFrontToBack) {
    X11WindowInfo unowned = window(9, 0);
    unowned.pid.reset();
    const X11DesktopSnapshot s = snapshot({window(3, 200, "B"), window(1, 100, "A"), unowned,
                                           window(2, 200, "B"), window(4, 100, "A")},
                                          {1, 2, 3, 4, 9}, 2);
    const QList<X11Application> apps = registry.applications(s);
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(apps[0].pid, 100);
    EXPECT_EQ(apps[0].windows, (QList<xcb_window_t>{1, 4}));
    EXPECT_FALSE(apps[0].isActive);
    EXPECT_EQ(apps[1].pid, 200);
    EXPECT_EQ(apps[1].windows, (QList<xcb_window_t>{3, 2}));
    EXPECT_TRUE(apps[1].isActive);
    EXPECT_EQ(apps[1].identity.identifier, QStringLiteral("B"));
}

TEST_F(X11ApplicationRegistryTest, HiddenLastsUntilUnhiddenOrShownAgainAfterMinimizing) {
    X11WindowInfo shown = window(1, 100, "A");
    X11WindowInfo minimized = shown;
    minimized.isIconic = true;

    registry.markHidden(100, {1});
    // Hiding takes effect later: still shown right after, yet hidden.
    EXPECT_TRUE(registry.applications(snapshot({shown}, {1})).first().isHidden);
    EXPECT_TRUE(registry.applications(snapshot({minimized}, {1})).first().isHidden);
    // Restored by other means once it was down: no longer hidden.
    EXPECT_FALSE(registry.applications(snapshot({shown}, {1})).first().isHidden);

    registry.markHidden(100, {1});
    EXPECT_EQ(registry.unmarkHidden(100), (QList<xcb_window_t>{1}));
    EXPECT_EQ(registry.unmarkHidden(100), std::nullopt);
    EXPECT_FALSE(registry.applications(snapshot({minimized}, {1})).first().isHidden);

    // A process that went away takes its mark with it; its pid reused is not hidden.
    registry.markHidden(100, {});
    EXPECT_TRUE(registry.applications(snapshot({}, {})).isEmpty());
    EXPECT_FALSE(registry.applications(snapshot({minimized}, {1})).first().isHidden);
}

TEST_F(X11IdentityTest, AProcessWithoutAnEntryIsIdentifiedAgainByALaterWindow) {
    writeFile(temp.file(QStringLiteral("applications/libreoffice-writer.desktop")),
              entryText("LibreOffice Writer", "libreoffice-writer", "Icon=libreoffice-writer\n"));
    writeFile(temp.file(QStringLiteral("applications/libreoffice-calc.desktop")),
              entryText("LibreOffice Calc", "libreoffice-calc"));
    X11ApplicationRegistry registry(
        DesktopEntries::load({temp.file(QStringLiteral("applications"))}),
        ProcessInfo(temp.file(QStringLiteral("proc"))));
    const auto identityWith = [&](const QList<X11WindowInfo>& windows) {
        X11DesktopSnapshot s;
        s.windows = windows;
        for (const X11WindowInfo& w : windows) {
            s.mappingOrder.append(w.window);
        }
        return registry.applications(s).value(0).identity;
    };
    const X11WindowInfo splash = window(1, 100, "LibreOffice 7.4");
    const X11WindowInfo writer = window(2, 100, "libreoffice-writer");
    const X11WindowInfo calc = window(3, 100, "libreoffice-calc");

    EXPECT_EQ(identityWith({splash}).name, QStringLiteral("LibreOffice 7.4"));
    const X11ApplicationIdentity found = identityWith({splash, writer});
    EXPECT_EQ(found.name, QStringLiteral("LibreOffice Writer"));
    EXPECT_EQ(found.icon, QStringLiteral("libreoffice-writer"));
    // Once found through an entry it stays, whatever window comes or goes.
    EXPECT_EQ(identityWith({writer, calc}).name, QStringLiteral("LibreOffice Writer"));
    EXPECT_EQ(identityWith({calc}).name, QStringLiteral("LibreOffice Writer"));

    // A later window that leads to no entry either leaves the first window's identity.
    const X11WindowInfo other = window(4, 200, "Other");
    const X11WindowInfo another = window(5, 200, "Another");
    EXPECT_EQ(identityWith({other}).name, QStringLiteral("Other"));
    EXPECT_EQ(identityWith({other, another}).name, QStringLiteral("Other"));
}

}  // namespace
}  // namespace pellucine

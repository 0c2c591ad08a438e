#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "core/SensitiveApplication.h"

namespace pellucine {
namespace {

// How an application shows itself to an X11 desktop, as the Debian packages, the vendors' own
// packages and Flathub ship it. An empty field: it has none, or one that names its runtime
// (KeePass 2 runs as mono-sgen, Secrets as python3).
struct Seen {
    const char* application;
    const char* desktopId;
    const char* flatpakId;
    const char* resourceClass;
    const char* resourceName;
    const char* executable;

    QStringList names() const {
        QStringList out;
        for (const char* name : {desktopId, flatpakId, resourceClass, resourceName, executable}) {
            if (*name != '\0') {
                out << QString::fromUtf8(name);
            }
        }
        return out;
    }
};

const std::vector<Seen> passwordManagers{
    {"KeePassXC", "org.keepassxc.KeePassXC", "org.keepassxc.KeePassXC", "KeePassXC", "keepassxc",
     "keepassxc"},
    {"KeePass 2", "keepass2", "", "KeePass2", "keepass2", ""},
    {"Bitwarden", "bitwarden", "com.bitwarden.desktop", "Bitwarden", "bitwarden", "bitwarden"},
    {"Bitwarden from the Snap store", "bitwarden_bitwarden", "", "Bitwarden", "bitwarden",
     "bitwarden"},
    {"1Password", "1password", "com.onepassword.OnePassword", "1Password", "1password",
     "1password"},
    {"Proton Pass", "proton-pass", "me.proton.Pass", "Proton Pass", "proton pass", "Proton Pass"},
    {"Enpass", "enpass", "", "Enpass", "Enpass", "Enpass"},
    {"KWallet Manager", "org.kde.kwalletmanager5", "", "kwalletmanager5", "kwalletmanager5",
     "kwalletmanager5"},
    {"KWallet Manager on KDE Frameworks 6", "org.kde.kwalletmanager", "", "kwalletmanager",
     "kwalletmanager", "kwalletmanager"},
    {"Passwords and Keys", "org.gnome.seahorse.Application", "org.gnome.seahorse.Application",
     "Seahorse", "seahorse", "seahorse"},
    {"Secrets", "org.gnome.World.Secrets", "org.gnome.World.Secrets", "Secrets", "secrets", ""},
    {"Password Safe, as Secrets was called", "org.gnome.PasswordSafe", "org.gnome.PasswordSafe",
     "Gnome-passwordsafe", "gnome-passwordsafe", ""},
    {"QtPass", "qtpass", "", "QtPass", "qtpass", "qtpass"},
    {"Buttercup", "buttercup", "", "Buttercup", "buttercup", "buttercup"},
    {"Buttercup, older packages", "buttercup-desktop", "", "Buttercup", "buttercup-desktop",
     "buttercup-desktop"},
};

TEST(LinuxPasswordManagerTest, EachIsPrivateByAnyOneOfItsNames) {
    for (const Seen& seen : passwordManagers) {
        const QStringList names = seen.names();
        // As the identifier, as the only alias, and among other aliases.
        for (const QString& name : names) {
            EXPECT_TRUE(isSensitiveApplication(name, 15))
                << seen.application << ": " << qPrintable(name);
            EXPECT_TRUE(isSensitiveApplication(std::nullopt, {name}, 15))
                << seen.application << ": " << qPrintable(name);
            EXPECT_TRUE(isSensitiveApplication(QStringLiteral("xterm"),
                                               {QStringLiteral("mono-sgen"), name}, 15))
                << seen.application << ": " << qPrintable(name);
        }
    }
}

TEST(LinuxPasswordManagerTest, NamesMatchWholeIgnoringCase) {
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("KEEPASSXC"), 15));
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("PROTON PASS"), 15));
    EXPECT_TRUE(
        isSensitiveApplication(std::nullopt, {QStringLiteral("Org.Kde.KWalletManager5")}, 15));
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("COM.ONEPASSWORD.OnePassword"), 15));
    for (const char* near :
         {"keepassxc2", "bitwardenish", "secretsanta", "seahorse-nautilus", "pass", "kwallet",
          "1passwordcli", "enpassant", "qtpass2", "com.onepassword", "pw.buttercup"}) {
        EXPECT_FALSE(isSensitiveApplication(QString::fromUtf8(near), 15)) << near;
        EXPECT_FALSE(isSensitiveApplication(std::nullopt, {QString::fromUtf8(near)}, 15)) << near;
    }
}

TEST(LinuxPasswordManagerTest, SimilarApplicationsThatKeepNoPasswordsArePictured) {
    const std::vector<Seen> others{
        {"Proton Mail", "proton-mail", "me.proton.Mail", "Proton Mail", "proton mail",
         "Proton Mail"},
        {"Proton VPN", "protonvpn-app", "com.protonvpn.www", "Protonvpn-app", "protonvpn-app",
         "protonvpn-app"},
        {"Pika Backup", "org.gnome.World.PikaBackup", "org.gnome.World.PikaBackup", "Pika-backup",
         "pika-backup", "pika-backup"},
        {"KWrite", "org.kde.kwrite", "org.kde.kwrite", "kwrite", "kwrite", "kwrite"},
        {"GNOME Settings", "org.gnome.Settings", "", "Gnome-control-center", "gnome-control-center",
         "gnome-control-center"},
        {"Bitwig Studio", "com.bitwig.BitwigStudio", "com.bitwig.BitwigStudio", "Bitwig Studio",
         "bitwig studio", "BitwigStudio"},
        {"xterm", "", "", "XTerm", "xterm", "xterm"},
    };
    for (const Seen& seen : others) {
        const QStringList names = seen.names();
        EXPECT_FALSE(isSensitiveApplication(names.value(0), names.mid(1), 15)) << seen.application;
    }
    EXPECT_FALSE(isSensitiveApplication(std::nullopt, {}, 15));
}

TEST(LinuxPasswordManagerTest, AliasesAddToTheIdentifiersOwnRules) {
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("com.apple.systempreferences"),
                                       {QStringLiteral("xterm")}, 14));
    // The version rule is the identifier's alone.
    EXPECT_FALSE(
        isSensitiveApplication(std::nullopt, {QStringLiteral("com.apple.systempreferences")}, 14));
    // The macOS prefixes hold for aliases too (a Flatpak id below them).
    EXPECT_TRUE(isSensitiveApplication(QStringLiteral("Bitwarden"),
                                       {QStringLiteral("com.bitwarden.desktop")}, 15));
}

}  // namespace
}  // namespace pellucine

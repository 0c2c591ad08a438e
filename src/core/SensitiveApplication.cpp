#include "core/SensitiveApplication.h"

#include <algorithm>
#include <array>

namespace pellucine {

namespace {

constexpr std::array<const char*, 25> sensitivePrefixes{
    "com.1password.",
    "com.agilebits.",
    "com.lastpass.",
    "com.bitwarden.",
    "com.dashlane.",
    "com.callpod.keeper",
    "com.keepersecurity.",
    "com.apple.keychainaccess",
    "com.apple.Passwords",
    "com.nordpass.",
    "com.nordsec.nordpass",
    "com.roboform.",
    "com.siber.roboform",
    "org.keepassxc.",
    "com.hicknhacksoftware.macpass",
    "com.macpass.",
    "in.sinew.enpass",
    "com.enpass.",
    "com.strongbox.",
    "com.markmcguill.strongbox",
    "me.proton.pass",
    "com.proton.pass",
    "com.keepassium.",
    "com.outercorner.secrets",
    "com.authy.",
};

// Flatpak ids of Linux password managers that no prefix above covers.
constexpr std::array<const char*, 2> linuxPrefixes{
    "com.onepassword.",
    "pw.buttercup.",
};

// The names Linux password managers go by on X11, matched whole: desktop-entry ids (Debian,
// the vendors' own packages, Snap), window classes and instances, and executable names.
constexpr std::array<const char*, 23> linuxNames{
    // KeePassXC
    "keepassxc",
    // KeePass 2 (its executable is the Mono runtime)
    "keepass2",
    "keepass",
    // Bitwarden
    "bitwarden",
    "bitwarden_bitwarden",
    // 1Password
    "1password",
    // Proton Pass: the desktop-entry id, the window class and instance, the executable
    "proton-pass",
    "proton pass",
    // Enpass
    "enpass",
    // KWallet Manager, as KDE Frameworks 5 and 6 name it
    "org.kde.kwalletmanager5",
    "org.kde.kwalletmanager",
    "kwalletmanager5",
    "kwalletmanager",
    "kwalletmanager5-kwalletd",
    // Passwords and Keys
    "org.gnome.seahorse.Application",
    "seahorse",
    // Secrets, formerly Password Safe
    "org.gnome.World.Secrets",
    "secrets",
    "org.gnome.PasswordSafe",
    "gnome-passwordsafe",
    // QtPass
    "qtpass",
    // Buttercup
    "buttercup",
    "buttercup-desktop",
};

bool startsWithAny(const QString& name, const auto& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&](const char* prefix) {
        return name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
    });
}

bool namesPasswordManager(const QString& name) {
    return startsWithAny(name, sensitivePrefixes) || startsWithAny(name, linuxPrefixes) ||
           std::any_of(linuxNames.begin(), linuxNames.end(), [&](const char* known) {
               return name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0;
           });
}

}  // namespace

bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier, int osMajorVersion) {
    return isSensitiveApplication(bundleIdentifier, {}, osMajorVersion);
}

bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier,
                            const QStringList& aliases, int osMajorVersion) {
    if (std::any_of(aliases.begin(), aliases.end(), namesPasswordManager)) {
        return true;
    }
    if (!bundleIdentifier) {
        return false;
    }
    const QString& identifier = *bundleIdentifier;
    if (osMajorVersion < 15 && identifier.compare(QLatin1String("com.apple.systempreferences"),
                                                  Qt::CaseInsensitive) == 0) {
        return true;
    }
    return namesPasswordManager(identifier);
}

}  // namespace pellucine

#include "core/SensitiveApplication.h"

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

}  // namespace

bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier, int osMajorVersion) {
    if (!bundleIdentifier) {
        return false;
    }
    const QString identifier = bundleIdentifier->toLower();
    if (identifier == QLatin1String("com.apple.systempreferences") && osMajorVersion < 15) {
        return true;
    }
    for (const char* prefix : sensitivePrefixes) {
        if (identifier.startsWith(QString::fromLatin1(prefix).toLower())) {
            return true;
        }
    }
    return false;
}

}  // namespace pellucine

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

}  // namespace

bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier, int osMajorVersion) {
    if (!bundleIdentifier) {
        return false;
    }
    const QString& identifier = *bundleIdentifier;
    if (osMajorVersion < 15 && identifier.compare(QLatin1String("com.apple.systempreferences"),
                                                  Qt::CaseInsensitive) == 0) {
        return true;
    }
    return std::any_of(sensitivePrefixes.begin(), sensitivePrefixes.end(), [&](const char* prefix) {
        return identifier.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
    });
}

}  // namespace pellucine

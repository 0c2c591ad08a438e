#pragma once

#include <QString>
#include <optional>

namespace pellucine {

// Whether an application is a password manager or authenticator whose windows are never
// photographed: matched by bundle identifier prefix, ignoring letter case.
bool isSensitiveApplication(const std::optional<QString>& bundleIdentifier, int osMajorVersion);

}  // namespace pellucine

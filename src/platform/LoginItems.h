#pragma once

#include "base/Error.h"

namespace pellucine {

// The registration of this program as an item started at login. The numbers are the system's.
enum class LoginItemStatus {
    notRegistered = 0,
    enabled = 1,
    // Registered, but the user still has to allow it.
    requiresApproval = 2,
    // The program cannot be registered: the system does not know where it is.
    notFound = 3,
};

// The system refused to change the registration; the description is its reason.
class LoginItemError final : public Error {
  public:
    using Error::Error;
    QString typeName() const override { return QStringLiteral("pellucine.LoginItemError"); }
};

// Main thread; every call is synchronous.
class LoginItems {
  public:
    virtual ~LoginItems() = default;

    // Reading cannot fail.
    virtual LoginItemStatus status() const = 0;
    // Both throw LoginItemError when the system refuses.
    virtual void registerMainApplication() = 0;
    virtual void unregisterMainApplication() = 0;
};

}  // namespace pellucine

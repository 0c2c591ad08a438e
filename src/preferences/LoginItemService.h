#pragma once

#include "base/Observable.h"
#include "platform/LoginItems.h"

namespace pellucine {

// Whether the program starts at login, as the system's login-item registration says; the
// registration is the only record of the setting. Main thread; every call is synchronous.
class LoginItemService {
  public:
    explicit LoginItemService(LoginItems& loginItems);
    LoginItemService(const LoginItemService&) = delete;
    LoginItemService& operator=(const LoginItemService&) = delete;

    // The registration is enabled.
    Observable<bool>& isEnabled() { return isEnabled_; }
    // Registered, but the user still has to allow it.
    Observable<bool>& needsApproval() { return needsApproval_; }

    // Reads the status once and stores both fields.
    void refresh();
    // Registers or unregisters, then refreshes, also after a failure; throws the system's
    // error unchanged.
    void setEnabled(bool enabled);

  private:
    LoginItems& loginItems_;
    Observable<bool> isEnabled_{false};
    Observable<bool> needsApproval_{false};
};

}  // namespace pellucine

#include "preferences/LoginItemService.h"

#include <exception>

namespace pellucine {

LoginItemService::LoginItemService(LoginItems& loginItems) : loginItems_(loginItems) {
    refresh();
}

void LoginItemService::refresh() {
    const LoginItemStatus status = loginItems_.status();
    isEnabled_.set(status == LoginItemStatus::enabled);
    needsApproval_.set(status == LoginItemStatus::requiresApproval);
}

void LoginItemService::setEnabled(bool enabled) {
    std::exception_ptr failure;
    try {
        if (enabled) {
            loginItems_.registerMainApplication();
        } else {
            loginItems_.unregisterMainApplication();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    refresh();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace pellucine

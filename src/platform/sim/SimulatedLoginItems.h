#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/LoginItems.h"

namespace pellucine {

// The login-item registration of the simulated desktop.
class SimulatedLoginItems final : public LoginItems {
  public:
    LoginItemStatus status() const override;
    void registerMainApplication() override;
    void unregisterMainApplication() override;

    // Driver.
    void setStatus(LoginItemStatus status) { status_ = status; }
    // What a successful registration leaves; `enabled` unless set.
    void setStatusAfterRegistering(LoginItemStatus status) { afterRegistering_ = status; }
    // Every later request fails with this reason, changing nothing; none: requests succeed.
    void failRequests(std::optional<QString> reason) { failure_ = std::move(reason); }
    // "register", "unregister", in order, failed ones included.
    const QStringList& requests() const { return requests_; }
    int statusReads() const { return statusReads_; }

  private:
    void attempt(const QString& request);

    LoginItemStatus status_ = LoginItemStatus::notRegistered;
    LoginItemStatus afterRegistering_ = LoginItemStatus::enabled;
    std::optional<QString> failure_;
    QStringList requests_;
    mutable int statusReads_ = 0;
};

}  // namespace pellucine

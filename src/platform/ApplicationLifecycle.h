#pragma once

#include <qcoro/qcorotask.h>

#include "base/Error.h"

namespace pellucine {

// A new instance of the program could not be started; the description is the system's reason.
class ApplicationLaunchError final : public Error {
  public:
    using Error::Error;
    QString typeName() const override { return QStringLiteral("pellucine.ApplicationLaunchError"); }
};

// Starting and ending this program's own process. Main thread.
class ApplicationLifecycle {
  public:
    virtual ~ApplicationLifecycle() = default;

    // Starts a second instance of this program beside the running one and returns once it
    // was started; throws ApplicationLaunchError when it could not be.
    virtual QCoro::Task<void> openNewInstance() = 0;
    // Asks this program to quit through its ordinary termination steps.
    virtual void terminate() = 0;
};

}  // namespace pellucine

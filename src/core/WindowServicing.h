#pragma once

#include <QCoro/QCoroTask>
#include <QList>

#include "core/ApplicationDescriptor.h"
#include "core/WindowAction.h"

namespace pellucine {

// Lists the windows of the other running applications and operates on them.
class WindowServicing {
  public:
    virtual ~WindowServicing() = default;

    // The running applications with their windows, front-most first.
    virtual QCoro::Task<QList<ApplicationDescriptor>> enumerateWindows() = 0;
    // Throws WindowServiceError.
    virtual void performWindowAction(WindowAction action, const WindowDescriptor& window) = 0;
};

}  // namespace pellucine

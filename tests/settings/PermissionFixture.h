#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/sim/SimulatedDesktop.h"
#include "preferences/PermissionService.h"

namespace pellucine::testing {

// The permission service over the simulated desktop, on virtual time.
class PermissionFixture : public ::testing::Test {
  protected:
    // Both permissions as given; refused ones stay refused when asked for.
    void startService(SimulatedPermission accessibility, SimulatedPermission screenCapture) {
        permissions().setAccessibility(accessibility);
        permissions().setScreenCapture(screenCapture);
        service = std::make_unique<PermissionService>(desktop, scheduler, events);
    }
    void grantBoth() {
        permissions().setAccessibility(SimulatedPermission::granted);
        permissions().setScreenCapture(SimulatedPermission::granted);
    }
    SimulatedPermissions& permissions() { return desktop.simulatedPermissions(); }
    const QList<QUrl>& openedUrls() { return desktop.simulatedSession().openedUrls(); }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
    RecordingEventLog events;
    std::unique_ptr<PermissionService> service;
};

}  // namespace pellucine::testing

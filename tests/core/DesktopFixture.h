#pragma once

#include <gtest/gtest.h>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/sim/SimulatedDesktop.h"

namespace pellucine::testing {

// A simulated desktop on virtual time, with the program running as pid 1.
class DesktopFixture : public ::testing::Test {
  protected:
    static constexpr qint32 ownPID = 1;

    DesktopFixture() { desktop.setOwnProcessIdentifier(ownPID); }

    qint32 addApp(qint32 pid, const QString& name = QStringLiteral("App"),
                  ActivationPolicy policy = ActivationPolicy::regular) {
        RunningApplication app;
        app.processIdentifier = pid;
        app.bundleIdentifier = QStringLiteral("com.example.app%1").arg(pid);
        app.localizedName = name;
        app.activationPolicy = policy;
        desktop.addApplication(app);
        return pid;
    }

    quint32 addWindow(qint32 pid, GlobalRect frame, const QString& title = QStringLiteral("W")) {
        SimulatedWindow w;
        w.ownerPID = pid;
        w.frame = frame;
        w.title = title;
        return desktop.addWindow(w);
    }

    // A minimized window the window list does not report, so it gets a made-up number.
    quint32 addUnlistedMinimized(qint32 pid, GlobalRect frame,
                                 const QString& title = QStringLiteral("W")) {
        SimulatedWindow w;
        w.ownerPID = pid;
        w.frame = frame;
        w.title = title;
        w.isListed = false;
        w.isMinimized = true;
        return desktop.addWindow(w);
    }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
    RecordingEventLog events;
};

}  // namespace pellucine::testing

#pragma once

#include "base/EventRecording.h"
#include "base/ManualScheduler.h"
#include "platform/sim/SimulatedDesktop.h"

namespace pellucine {

class DiscardedEvents final : public EventRecording {
  public:
    using EventRecording::record;
    void record(const QString&, const EventFields&) override {}
};

// A desktop of `windowCount` windows, `perApplication` to an application, cascaded over a
// 1440 x 900 display so that many windows of one application lie close together. Every fifth
// window is minimized, every tenth of those is not in the window list.
struct LargeDesktop {
    LargeDesktop(int windowCount, int perApplication) {
        desktop.setOwnProcessIdentifier(1);
        const int applications = (windowCount + perApplication - 1) / perApplication;
        for (int a = 0; a < applications; ++a) {
            RunningApplication app;
            app.processIdentifier = 100 + a;
            app.bundleIdentifier = QStringLiteral("com.example.app%1").arg(a);
            app.localizedName = QStringLiteral("App %1").arg(a);
            desktop.addApplication(app);
        }
        for (int i = 0; i < windowCount; ++i) {
            SimulatedWindow w;
            w.ownerPID = 100 + i / perApplication;
            w.title = QStringLiteral("Document %1").arg(i);
            const int step = i % 40;
            w.frame = {40.0 + 22 * step, 30.0 + 14 * step, 800, 600};
            w.isMinimized = i % 5 == 4;
            w.isListed = i % 50 != 49;
            desktop.addWindow(w);
        }
    }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
    DiscardedEvents events;
};

}  // namespace pellucine

#pragma once

#include <functional>

#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "panels/ApplicationIconProviding.h"
#include "panels/PanelWindowSystem.h"
#include "panels/TextMeasuring.h"
#include "platform/ScreenLayout.h"
#include "platform/Workspace.h"

namespace pellucine {

class Appearance;

// What the glance and the peek read and use besides the model. Everything outlives them.
struct GlanceEnvironment {
    // Running applications: whether a window's owner is hidden.
    const Workspace& workspace;
    // The screens, in the screen space, the main one first.
    const ScreenLayout& screens;
    const ApplicationIconProviding& icons;
    // The peek's delay.
    Scheduler& scheduler;
    EventRecording& events;
    // Text widths for sizing the panel.
    const TextMeasuring& measurer;
    // Whether a compositing manager blends the panels with what lies under them; without one
    // they are drawn opaque. Asked at every showing.
    std::function<bool()> compositing;
    // The scheme the panels follow; light without one.
    const Appearance* appearance = nullptr;
    // The panels' hints beyond Qt; Qt's own calls without one.
    const PanelWindowSystem& windowSystem = PanelWindowSystem::qtOnly();
};

}  // namespace pellucine

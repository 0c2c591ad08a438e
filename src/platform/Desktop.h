#pragma once

#include "platform/Accessibility.h"
#include "platform/ProcessEnvironment.h"
#include "platform/ScreenLayout.h"
#include "platform/SystemWindowList.h"
#include "platform/Workspace.h"

namespace pellucine {

// The port: everything the program asks of the desktop it runs on, one interface per service.
// A backend (the simulated desktop, X11) implements every interface and hands them out here;
// services take the `Desktop` and use the parts they need. Later services (window capture,
// input, system services) are added as further accessors beside these, never folded into them.
class Desktop {
  public:
    virtual ~Desktop() = default;

    virtual Accessibility& accessibility() = 0;
    virtual SystemWindowList& windowList() = 0;
    virtual Workspace& workspace() = 0;
    virtual ScreenLayout& screenLayout() = 0;
    virtual ProcessEnvironment& process() = 0;
};

}  // namespace pellucine

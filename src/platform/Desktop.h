#pragma once

#include "platform/Accessibility.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/CloudAccount.h"
#include "platform/DesktopAppearance.h"
#include "platform/GlobalHotkeys.h"
#include "platform/ImageCoding.h"
#include "platform/KeyEventSource.h"
#include "platform/KeyboardShortcutSettings.h"
#include "platform/KeyboardState.h"
#include "platform/LoginItems.h"
#include "platform/MemoryPressure.h"
#include "platform/PointerEventSource.h"
#include "platform/PrivateCaptureLoading.h"
#include "platform/ProcessEnvironment.h"
#include "platform/ScreenCapture.h"
#include "platform/ScreenLayout.h"
#include "platform/SystemDock.h"
#include "platform/SystemPermissions.h"
#include "platform/SystemSwitcher.h"
#include "platform/SystemWindowList.h"
#include "platform/UrlOpener.h"
#include "platform/Workspace.h"

namespace pellucine {

// The port: everything the program asks of the desktop it runs on, one interface per service.
// A backend (the simulated desktop, X11) implements every interface and hands them out here;
// services take the `Desktop` and use the parts they need. Later services are added as further
// accessors beside these, never folded into them.
class Desktop {
  public:
    virtual ~Desktop() = default;

    virtual Accessibility& accessibility() = 0;
    virtual SystemWindowList& windowList() = 0;
    virtual Workspace& workspace() = 0;
    virtual ScreenLayout& screenLayout() = 0;
    virtual ProcessEnvironment& process() = 0;
    virtual ScreenCapture& screenCapture() = 0;
    virtual ImageCoding& imageCoding() = 0;
    virtual PrivateCaptureLoading& privateCapture() = 0;

    // System services.
    virtual SystemPermissions& permissions() = 0;
    virtual LoginItems& loginItems() = 0;
    virtual CloudAccount& cloudAccount() = 0;
    virtual UrlOpener& urlOpener() = 0;
    virtual ApplicationLifecycle& applicationLifecycle() = 0;
    virtual MemoryPressure& memoryPressure() = 0;
    virtual DesktopAppearance& appearance() = 0;

    // Input.
    virtual GlobalHotkeys& globalHotkeys() = 0;
    virtual KeyboardShortcutSettings& keyboardShortcuts() = 0;
    virtual KeyEventSource& keyEvents() = 0;
    virtual PointerEventSource& pointerEvents() = 0;
    virtual KeyboardState& keyboardState() = 0;
    virtual SystemSwitcher& systemSwitcher() = 0;
    virtual SystemDock& systemDock() = 0;
};

}  // namespace pellucine

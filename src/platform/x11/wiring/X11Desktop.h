#pragma once

#include <QByteArray>
#include <memory>

#include "base/AppPaths.h"
#include "base/QtScheduler.h"
#include "base/ThreadPoolExecutor.h"
#include "platform/Desktop.h"
#include "platform/linux/AutostartLoginItems.h"
#include "platform/linux/HostProcess.h"
#include "platform/linux/JpegImageCoding.h"
#include "platform/linux/LinuxSession.h"
#include "platform/linux/PressureStallMemoryPressure.h"
#include "platform/linux/SyncFolderCloudAccount.h"
#include "platform/linux/UnavailablePrivateCapture.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11DesktopAppearance.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "platform/x11/X11KeyEventSource.h"
#include "platform/x11/X11KeyboardShortcutSettings.h"
#include "platform/x11/X11PointerEventSource.h"
#include "platform/x11/X11RawInput.h"
#include "platform/x11/X11ScreenCapture.h"
#include "platform/x11/X11ScreenLayout.h"
#include "platform/x11/X11SystemPermissions.h"
#include "platform/x11/X11SystemWindowList.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/shell/X11ApplicationSwitcher.h"
#include "platform/x11/shell/X11DockBar.h"
#include "platform/x11/shell/X11SystemDock.h"

namespace pellucine {

// The port on an X server with an EWMH window manager. Main thread only.
class X11Desktop final : public Desktop {
  public:
    struct Options {
        // DISPLAY when empty.
        QByteArray displayName;
        // Pixels per point.
        double pointScale = 1.0;
        // The applications folders; the standard ones when empty.
        QStringList applicationFolders;
        QString procRoot = QStringLiteral("/proc");
        // The user's folders: launch at login writes to the autostart folder of `defaults`.
        AppPaths paths = AppPaths::fromEnvironment();
        // The program as its autostart entry names it; an empty executable is the running one.
        AutostartLoginItems::Program program{QStringLiteral("com.orrinvale.pellucine"),
                                             QStringLiteral("Pellucine"), QString()};
        // The folder the user keeps in sync between machines, asked at every sync operation;
        // none when they chose none.
        SyncFolderRecordStore::FolderSource syncFolder;
        PressureStallMemoryPressure::Options memoryPressure;
        // Where the desktop's light or dark preference is read besides XSETTINGS.
        X11DesktopAppearance::Sources appearance;
    };

    // Throws X11Error when the server cannot be reached.
    explicit X11Desktop(const Options& options);
    X11Desktop() : X11Desktop(Options{}) {}
    ~X11Desktop() override;
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    Accessibility& accessibility() override { return accessibility_; }
    SystemWindowList& windowList() override { return windowList_; }
    Workspace& workspace() override { return workspace_; }
    ScreenLayout& screenLayout() override { return screenLayout_; }
    ProcessEnvironment& process() override { return process_; }
    ScreenCapture& screenCapture() override { return screenCapture_; }
    ImageCoding& imageCoding() override { return imageCoding_; }
    // X11 has no private capture entry points.
    PrivateCaptureLoading& privateCapture() override { return privateCapture_; }
    SystemPermissions& permissions() override { return permissions_; }
    LoginItems& loginItems() override { return loginItems_; }
    CloudAccount& cloudAccount() override { return cloudAccount_; }
    UrlOpener& urlOpener() override { return session_; }
    ApplicationLifecycle& applicationLifecycle() override { return session_; }
    MemoryPressure& memoryPressure() override { return memoryPressure_; }
    DesktopAppearance& appearance() override { return appearance_; }
    GlobalHotkeys& globalHotkeys() override { return hotkeys_; }
    KeyboardShortcutSettings& keyboardShortcuts() override { return shortcuts_; }
    KeyEventSource& keyEvents() override { return keyEvents_; }
    PointerEventSource& pointerEvents() override { return pointerEvents_; }
    KeyboardState& keyboardState() override { return keyEvents_; }
    SystemSwitcher& systemSwitcher() override { return switcher_; }
    SystemDock& systemDock() override { return dock_; }

    X11DesktopState& state() { return *state_; }
    // The program's own application switcher; it runs once started.
    X11ApplicationSwitcher& applicationSwitcher() { return switcher_; }
    // The program's own Dock bar; it shows once wanted, where no taskbar shows the buttons.
    X11DockBar& dockBar() { return dock_.dockBar(); }

  private:
    std::shared_ptr<X11DesktopState> state_;
    X11Accessibility accessibility_;
    X11SystemWindowList windowList_;
    X11Workspace workspace_;
    X11ScreenLayout screenLayout_;
    HostProcess process_;
    X11ScreenCapture screenCapture_;
    JpegImageCoding imageCoding_;
    UnavailablePrivateCapture privateCapture_;
    X11SystemPermissions permissions_;
    AutostartLoginItems loginItems_;
    ThreadPoolExecutor executor_;
    SyncFolderCloudAccount cloudAccount_;
    LinuxSession session_;
    X11GlobalHotkeys hotkeys_;
    X11KeyboardShortcutSettings shortcuts_;
    QtScheduler scheduler_{systemContinuousClock()};
    PressureStallMemoryPressure memoryPressure_;
    X11DesktopAppearance appearance_;
    X11RawInput rawInput_;
    X11KeyEventSource keyEvents_;
    X11PointerEventSource pointerEvents_;
    X11ApplicationSwitcher switcher_;
    X11SystemDock dock_;
};

}  // namespace pellucine

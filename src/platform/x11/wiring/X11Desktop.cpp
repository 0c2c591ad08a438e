#include "platform/x11/wiring/X11Desktop.h"

#include "platform/linux/shortcuts/OpenboxKeyBindings.h"

namespace pellucine {

namespace {

std::shared_ptr<X11DesktopState> makeState(const X11Desktop::Options& options) {
    const QStringList folders = options.applicationFolders.isEmpty()
                                    ? DesktopEntries::standardFolders()
                                    : options.applicationFolders;
    return std::make_shared<X11DesktopState>(options.displayName, options.pointScale,
                                             DesktopEntries::load(folders),
                                             ProcessInfo(options.procRoot));
}

AutostartLoginItems::Program program(const X11Desktop::Options& options) {
    AutostartLoginItems::Program program = options.program;
    if (program.executable.isEmpty()) {
        program.executable = LinuxSession::executablePath();
    }
    return program;
}

}  // namespace

X11Desktop::X11Desktop(const Options& options)
    : state_(makeState(options)),
      accessibility_(state_),
      windowList_(state_),
      workspace_(state_),
      screenLayout_(state_),
      screenCapture_(state_, state_->connection().displayName()),
      loginItems_(AutostartLoginItems::userFolder(options.paths),
                  AutostartLoginItems::systemFolders(), program(options)),
      cloudAccount_(options.syncFolder, executor_),
      hotkeys_(state_->connection()),
      shortcuts_(state_->connection(), OpenboxKeyBindings::configFolders(options.paths.defaults),
                 DesktopKeyBindings::detectFromEnvironment(),
                 DesktopBindingFolders::fromEnvironment(options.paths.defaults)),
      memoryPressure_(scheduler_, options.memoryPressure),
      appearance_(state_->connection().displayName(), options.appearance),
      rawInput_(state_->connection()),
      keyEvents_(state_->connection(), rawInput_),
      pointerEvents_(state_, rawInput_),
      switcher_(state_, hotkeys_, keyEvents_, keyEvents_, workspace_),
      dock_(state_, workspace_) {
    pointerEvents_.setDock([this] { return dock_.pointerDock(); });
}

X11Desktop::~X11Desktop() {
    pointerEvents_.setDock({});
}

}  // namespace pellucine

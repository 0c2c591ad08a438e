#pragma once

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/EventRecording.h"
#include "preferences/SettingsFileSchema.h"
#include "preferences/SettingsFileStore.h"

namespace pellucine {

// The program's own settings file: what it may hold, and the store that reads it as such.
struct ProgramSettingsFile {
    static const SettingsFileSchema& schema();
    // The standard file; one that is not the program's own is kept aside in the program's
    // folder and the program starts from its defaults.
    static SettingsFileStore open(const AppPaths& paths, EventRecording& events,
                                  const WallClock& clock = systemWallClock());
};

}  // namespace pellucine

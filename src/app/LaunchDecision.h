#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/RunningApplication.h"
#include "preferences/MachinePreferences.h"

namespace pellucine {

// How the process starts.
enum class LaunchMode {
    // A test host: the application starts with nothing else.
    testHost,
    // The private-capture probe runs and the process exits; no application is started.
    privateCaptureProbe,
    // The menu-bar program.
    application,
};

struct LaunchDecision {
    LaunchMode mode = LaunchMode::application;
    // The policy the application starts with; none on the probe road.
    std::optional<ActivationPolicy> policy;

    friend bool operator==(const LaunchDecision&, const LaunchDecision&) = default;
};

inline const QString testHostVariable = QStringLiteral("XCTestConfigurationFilePath");
inline const QString probePrivateCaptureOption = QStringLiteral("--probe-private-capture");

// Present in the environment, whatever its value (an empty one included).
bool isTestHost(const QProcessEnvironment& environment);
// Whether this process runs under a test host; read from the process environment once.
bool isRunningTests();

// Regular when the program is to show in the taskbar and switcher, accessory otherwise.
ActivationPolicy initialActivationPolicy(const MachinePreferences& preferences);

// Decides the road from the environment and the command-line elements after the program name.
// `loadMachinePreferences` runs only on the application road: it is where the defaults are
// migrated and the stored machine preferences read.
LaunchDecision decide(const QProcessEnvironment& environment, const QStringList& arguments,
                      const std::function<MachinePreferences()>& loadMachinePreferences);

}  // namespace pellucine

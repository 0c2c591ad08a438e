#include "app/LaunchDecision.h"

namespace pellucine {

bool isTestHost(const QProcessEnvironment& environment) {
    return environment.contains(testHostVariable);
}

bool isRunningTests() {
    static const bool running = isTestHost(QProcessEnvironment::systemEnvironment());
    return running;
}

ActivationPolicy initialActivationPolicy(const MachinePreferences& preferences) {
    return preferences.showInDockAndAppSwitcher ? ActivationPolicy::regular
                                                : ActivationPolicy::accessory;
}

LaunchDecision decide(const QProcessEnvironment& environment, const QStringList& arguments,
                      const std::function<MachinePreferences()>& loadMachinePreferences) {
    if (isTestHost(environment)) {
        return {LaunchMode::testHost, ActivationPolicy::prohibited};
    }
    if (arguments.contains(probePrivateCaptureOption)) {
        return {LaunchMode::privateCaptureProbe, std::nullopt};
    }
    return {LaunchMode::application, initialActivationPolicy(loadMachinePreferences())};
}

}  // namespace pellucine

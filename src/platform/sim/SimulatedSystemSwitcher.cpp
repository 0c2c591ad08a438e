#include "platform/sim/SimulatedSystemSwitcher.h"

#include "platform/SystemDock.h"

namespace pellucine {

QString SimulatedSystemSwitcher::shellBundleIdentifier() const {
    return systemDock::bundleIdentifier.toString();
}

bool SimulatedSystemSwitcher::dismiss() {
    ++dismissals_;
    return onDismiss_ ? onDismiss_() : false;
}

}  // namespace pellucine

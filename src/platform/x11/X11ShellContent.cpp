#include "platform/x11/X11ShellContent.h"

namespace pellucine {

RunningApplication X11ShellContent::application() const {
    RunningApplication app;
    app.processIdentifier = processIdentifier;
    app.bundleIdentifier = bundleIdentifier;
    app.localizedName = QStringLiteral("Pellucine Shell");
    app.activationPolicy = ActivationPolicy::accessory;
    return app;
}

}  // namespace pellucine

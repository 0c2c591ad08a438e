#include "platform/x11/X11ShellContent.h"

namespace pellucine {

void X11ShellContent::List::show(const GlobalRect& listFrame, QList<Item> listItems) {
    ++showing;
    frame = listFrame;
    items = std::move(listItems);
}

void X11ShellContent::List::hide() {
    ++showing;
    frame.reset();
    items.clear();
    selected = -1;
}

RunningApplication X11ShellContent::application() const {
    RunningApplication app;
    app.processIdentifier = processIdentifier;
    app.bundleIdentifier = bundleIdentifier;
    app.localizedName = QStringLiteral("Pellucine Shell");
    app.activationPolicy = ActivationPolicy::accessory;
    return app;
}

}  // namespace pellucine

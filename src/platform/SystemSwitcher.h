#pragma once

#include <QString>
#include <optional>

#include "platform/SwitcherBinding.h"

namespace pellucine {

// The desktop's application switcher strip (Command-Tab), which the program reads through the
// element tree of the shell application that draws it and the Dock.
class SystemSwitcher {
  public:
    virtual ~SystemSwitcher() = default;

    // The bundle identifier of the shell application whose elements hold the Dock items and,
    // while it is up, the switcher strip.
    virtual QString shellBundleIdentifier() const = 0;
    // Closes the strip without switching applications; false when no strip was up.
    virtual bool dismiss() = 0;
    // The keys the strip opens on; none while it cannot open.
    virtual std::optional<SwitcherBinding> binding() const = 0;
};

}  // namespace pellucine

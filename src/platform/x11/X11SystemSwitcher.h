#pragma once

#include "platform/SystemSwitcher.h"

namespace pellucine {

// X11 has no switcher strip of its own; the program's stand-in is published under this shell.
class X11SystemSwitcher final : public SystemSwitcher {
  public:
    static constexpr QLatin1String shellIdentifier{"com.orrinvale.pellucine.shell"};

    QString shellBundleIdentifier() const override { return shellIdentifier; }
    bool dismiss() override { return false; }
};

}  // namespace pellucine

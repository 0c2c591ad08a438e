#pragma once

#include <functional>

#include "base/Subscription.h"

namespace pellucine {

// The scheme the user asked their desktop for: `none` when the desktop tells no preference.
enum class SchemePreference { none, light, dark };

// The desktop's light or dark preference, followed while the program runs. Main thread only.
class DesktopAppearance {
  public:
    using Handler = std::function<void(SchemePreference)>;

    virtual ~DesktopAppearance() = default;

    // The preference as last read.
    virtual SchemePreference preference() const = 0;
    // Calls handler on the main thread, on a turn of its own, whenever the preference changes.
    [[nodiscard]] virtual Subscription subscribe(Handler handler) = 0;
};

}  // namespace pellucine

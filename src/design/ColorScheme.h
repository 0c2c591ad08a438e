#pragma once

namespace pellucine {

// The appearance a window is drawn in. Everything that is not dark is drawn light.
enum class ColorScheme { light, dark };

}  // namespace pellucine

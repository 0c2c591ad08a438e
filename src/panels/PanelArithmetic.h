#pragma once

#include <algorithm>
#include <cmath>

namespace pellucine {

// min(upper, max(lower, value)), except that the lower bound wins when the bounds cross (a panel
// larger than its area goes to the area's minimum edge). std::clamp is undefined in that case.
inline double clampLowerWins(double value, double lower, double upper) {
    if (lower > upper) {
        return lower;
    }
    return std::min(upper, std::max(lower, value));
}

// Nearest integer, halves away from zero: 2.5 → 3, −1050.5 → −1051.
inline double roundHalfAwayFromZero(double value) {
    return std::round(value);
}

}  // namespace pellucine

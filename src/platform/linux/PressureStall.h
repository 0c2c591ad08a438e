#pragma once

#include <QByteArrayView>
#include <optional>

#include "base/Clock.h"
#include "platform/MemoryPressure.h"

namespace pellucine {

// The stall totals of one reading of a pressure-stall file: how long at least one task
// ("some") and all non-idle tasks at once ("full") waited for the resource since boot.
struct PressureStallTotals {
    Duration some{0};
    // Absent on kernels that report only "some".
    std::optional<Duration> full;

    friend bool operator==(const PressureStallTotals&, const PressureStallTotals&) = default;
};

// The totals of a file such as "some avg10=0.00 avg60=0.00 avg300=0.00 total=12\nfull …";
// none when the "some" line or its total is missing or not a number.
std::optional<PressureStallTotals> parsePressureStall(QByteArrayView text);

// The levels that the stall between two readings taken `elapsed` apart amounts to: a warning
// when some task stalled for at least `share` of the time, critical when all did. Totals
// that went backwards (a reset) count as no stall.
MemoryPressureEvents pressureBetween(const PressureStallTotals& earlier,
                                     const PressureStallTotals& later, Duration elapsed,
                                     double share);

}  // namespace pellucine

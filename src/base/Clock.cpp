#include "base/Clock.h"

#include <ctime>

namespace pellucine {

QDateTime SystemWallClock::now() const {
    return QDateTime::currentDateTimeUtc();
}

ContinuousInstant SystemContinuousClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return {std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec)};
}

SystemWallClock& systemWallClock() {
    static SystemWallClock clock;
    return clock;
}

SystemContinuousClock& systemContinuousClock() {
    static SystemContinuousClock clock;
    return clock;
}

}  // namespace pellucine

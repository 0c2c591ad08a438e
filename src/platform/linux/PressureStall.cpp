#include "platform/linux/PressureStall.h"

#include <QByteArray>
#include <QList>

namespace pellucine {

namespace {

// The total= value of one line, in microseconds.
std::optional<Duration> lineTotal(QByteArrayView line) {
    const QList<QByteArray> fields = line.toByteArray().split(' ');
    for (const QByteArray& field : fields) {
        if (field.startsWith("total=")) {
            bool ok = false;
            const qulonglong micros = field.mid(6).toULongLong(&ok);
            if (!ok) {
                return std::nullopt;
            }
            return std::chrono::microseconds(micros);
        }
    }
    return std::nullopt;
}

bool stalledFor(Duration stalled, Duration elapsed, double share) {
    return stalled > Duration::zero() && toSeconds(stalled) >= share * toSeconds(elapsed);
}

}  // namespace

std::optional<PressureStallTotals> parsePressureStall(QByteArrayView text) {
    std::optional<Duration> some;
    std::optional<Duration> full;
    for (const QByteArray& line : text.toByteArray().split('\n')) {
        if (line.startsWith("some ")) {
            some = lineTotal(line);
        } else if (line.startsWith("full ")) {
            full = lineTotal(line);
        }
    }
    if (!some) {
        return std::nullopt;
    }
    return PressureStallTotals{*some, full};
}

MemoryPressureEvents pressureBetween(const PressureStallTotals& earlier,
                                     const PressureStallTotals& later, Duration elapsed,
                                     double share) {
    if (elapsed <= Duration::zero()) {
        return {};
    }
    MemoryPressureEvents events;
    events.warning = stalledFor(later.some - earlier.some, elapsed, share);
    if (earlier.full && later.full) {
        events.critical = stalledFor(*later.full - *earlier.full, elapsed, share);
    }
    return events;
}

}  // namespace pellucine

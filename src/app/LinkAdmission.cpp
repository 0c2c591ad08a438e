#include "app/LinkAdmission.h"

#include <algorithm>

namespace pellucine {

LinkAdmission::Outcome LinkAdmission::admit(const Rule& rule, ContinuousInstant now,
                                            const QString& link) const {
    LinkAdmission next = *this;
    const Duration full = rule.refill * std::max(rule.burst, 0);
    if (!next.refilledAt) {
        next.refilledAt = now;
        next.credit = full;
    }
    now = std::max(now, *next.refilledAt);
    next.credit = std::min(full, next.credit + (now - *next.refilledAt));
    next.refilledAt = now;

    const bool repeat = lastArrival && link == lastLink && now - *lastArrival <= rule.repeatWindow;
    next.lastLink = link;
    next.lastArrival = now;
    if (repeat) {
        return {Verdict::repeat, next};
    }
    if (next.credit >= rule.refill && next.credit > Duration::zero()) {
        next.credit -= rule.refill;
        next.dropping = false;
        return {Verdict::handle, next};
    }
    const Verdict verdict = dropping ? Verdict::dropped : Verdict::firstDropped;
    next.dropping = true;
    return {verdict, next};
}

}  // namespace pellucine

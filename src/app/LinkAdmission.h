#pragma once

#include <QString>
#include <optional>

#include "base/Clock.h"

namespace pellucine {

// Which arriving links are acted on and recorded, so that a flood of links cannot push the rest
// of the event log out. A link identical to the previous one that came within `repeatWindow`
// of it is a repeat: the window it opens is already showing. Other links spend a token of a
// bucket of `burst` tokens that refills one token per `refill`; without a token the link is
// dropped.
struct LinkAdmission {
    struct Rule {
        int burst = 16;
        Duration refill = std::chrono::seconds(30);
        Duration repeatWindow = std::chrono::seconds(2);
    };

    enum class Verdict {
        handle,
        repeat,
        // Dropped, the first since the last handled link: worth one note in the log.
        firstDropped,
        dropped,
    };

    // Before any link the bucket is full. Tokens are counted in refill time, so that sums are
    // exact: a token is `refill` of credit.
    std::optional<ContinuousInstant> refilledAt;
    Duration credit{0};
    QString lastLink;
    std::optional<ContinuousInstant> lastArrival;
    bool dropping = false;

    struct Outcome;
    // The verdict on `link` arriving at `now`, and the state after it. Links arrive in order of
    // time; an earlier `now` than the last counts as the last.
    Outcome admit(const Rule& rule, ContinuousInstant now, const QString& link) const;
};

struct LinkAdmission::Outcome {
    Verdict verdict;
    LinkAdmission next;
};

}  // namespace pellucine

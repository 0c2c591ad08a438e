#pragma once

#include <optional>

#include "base/Clock.h"

namespace pellucine {

// When a window that has just come on screen (mapped, restored) has drawn its content: after its
// first drawing and a quiet spell without more, or at the latest a limit after it came on screen,
// so that a window that draws without reporting it, or never stops drawing, is still pictured.
struct DrawSettling {
    static constexpr Duration quietSpell = std::chrono::milliseconds(100);
    static constexpr Duration limit = std::chrono::milliseconds(1500);
    // A drawing brings the time nearer: one waiting looks again at least this often.
    static constexpr Duration lookInterval = std::chrono::milliseconds(20);

    // When it came on screen.
    ContinuousInstant shownAt;
    // Its latest drawing since then; none before the first.
    std::optional<ContinuousInstant> lastDrawnAt;

    // A drawing at `at`; one from before the window came on screen does not count.
    void drawn(ContinuousInstant at);
    // From when a picture shows what it drew.
    ContinuousInstant settledAt() const;
    bool isSettled(ContinuousInstant now) const { return now >= settledAt(); }
    // How long one waiting at `now` sleeps before it looks again: at most lookInterval.
    Duration wait(ContinuousInstant now) const;
};

}  // namespace pellucine

#pragma once

#include <QDateTime>
#include <chrono>
#include <compare>

namespace pellucine {

using Duration = std::chrono::nanoseconds;

// A reading of the continuous clock: time since boot, counting time asleep.
struct ContinuousInstant {
    Duration sinceBoot{0};

    friend auto operator<=>(const ContinuousInstant&, const ContinuousInstant&) = default;
    friend ContinuousInstant operator+(ContinuousInstant t, Duration d) {
        return {t.sinceBoot + d};
    }
    friend Duration operator-(ContinuousInstant a, ContinuousInstant b) {
        return a.sinceBoot - b.sinceBoot;
    }
};

// Seconds as a floating-point duration, for rules written in seconds.
inline Duration seconds(double s) {
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(s));
}
inline double toSeconds(Duration d) {
    return std::chrono::duration<double>(d).count();
}

class WallClock {
  public:
    virtual ~WallClock() = default;
    // The current date in UTC, millisecond precision.
    virtual QDateTime now() const = 0;
};

class ContinuousClock {
  public:
    virtual ~ContinuousClock() = default;
    virtual ContinuousInstant now() const = 0;
};

class SystemWallClock final : public WallClock {
  public:
    QDateTime now() const override;
};

// CLOCK_BOOTTIME.
class SystemContinuousClock final : public ContinuousClock {
  public:
    ContinuousInstant now() const override;
};

// The process's system clocks, for the program's composition root.
SystemWallClock& systemWallClock();
SystemContinuousClock& systemContinuousClock();

// Clocks that move only when told: advance() moves both together; the wall clock can also be
// set on its own (a user changing the date).
class FakeWallClock final : public WallClock {
  public:
    explicit FakeWallClock(QDateTime start = QDateTime::fromSecsSinceEpoch(1'767'225'600, Qt::UTC))
        : current_(std::move(start)) {}
    QDateTime now() const override { return current_; }
    void set(QDateTime t) { current_ = std::move(t); }
    void advance(Duration d) {
        current_ =
            current_.addMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    }

  private:
    QDateTime current_;
};

class FakeContinuousClock final : public ContinuousClock {
  public:
    ContinuousInstant now() const override { return current_; }
    void set(ContinuousInstant t) { current_ = t; }
    void advance(Duration d) { current_ = current_ + d; }

  private:
    ContinuousInstant current_{std::chrono::hours(1)};
};

struct FakeClock {
    FakeWallClock wall;
    FakeContinuousClock continuous;

    void advance(Duration d) {
        wall.advance(d);
        continuous.advance(d);
    }
};

}  // namespace pellucine

#pragma once

#include <QDateTime>
#include <chrono>
#include <optional>

namespace pellucine {

// The dates synced records are ordered by. A record may claim a date far ahead of this
// computer's clock (another computer's clock is wrong, or the record is hostile); taken at its
// word it would outrank every real change for as long as that date lies ahead. Such a date counts
// as the moment this copy first read it instead, so a change made after that wins. Main thread.
class RecordDating {
  public:
    // How far ahead of now a date may lie and still count as itself: clocks a little apart.
    static constexpr std::chrono::minutes tolerance{5};

    // `claimed` as the sync order counts it when read at `now`: itself when it lies at most the
    // tolerance ahead (or is not a date), else when it was first read. A different date far
    // ahead starts again from `now`.
    QDateTime counted(const QDateTime& claimed, const QDateTime& now);

    // Whether `claimed` lies more than the tolerance ahead of `now`.
    static bool isFarAhead(const QDateTime& claimed, const QDateTime& now);

  private:
    struct Ahead {
        QDateTime claimed;
        QDateTime firstRead;
    };
    std::optional<Ahead> ahead_;
};

}  // namespace pellucine

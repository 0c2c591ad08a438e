#include "preferences/RecordDating.h"

namespace pellucine {

bool RecordDating::isFarAhead(const QDateTime& claimed, const QDateTime& now) {
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(tolerance);
    return claimed.isValid() && now.isValid() && claimed > now.addMSecs(limit.count());
}

QDateTime RecordDating::counted(const QDateTime& claimed, const QDateTime& now) {
    if (!isFarAhead(claimed, now)) {
        return claimed;
    }
    if (!ahead_ || ahead_->claimed != claimed) {
        ahead_ = Ahead{claimed, now.toUTC()};
    }
    return ahead_->firstRead;
}

}  // namespace pellucine

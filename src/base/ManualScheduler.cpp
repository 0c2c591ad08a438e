#include "base/ManualScheduler.h"

namespace pellucine {

Scheduler::WorkId ManualScheduler::postAfter(Duration delay, std::function<void()> work) {
    const WorkId id = nextId_++;
    const ContinuousInstant deadline = now() + std::max(delay, Duration::zero());
    const Key key{deadline.sinceBoot.count(), id};
    queue_.emplace(key, std::move(work));
    keys_.emplace(id, key);
    return id;
}

void ManualScheduler::cancel(WorkId id) {
    const auto it = keys_.find(id);
    if (it == keys_.end()) {
        return;
    }
    queue_.erase(it->second);
    keys_.erase(it);
}

std::optional<ContinuousInstant> ManualScheduler::nextDeadline() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    return ContinuousInstant{Duration(queue_.begin()->first.first)};
}

bool ManualScheduler::runNextDueBy(ContinuousInstant limit) {
    if (queue_.empty()) {
        return false;
    }
    const auto first = queue_.begin();
    const ContinuousInstant deadline{Duration(first->first.first)};
    if (deadline > limit) {
        return false;
    }
    if (deadline > now()) {
        clock_.advance(deadline - now());
    }
    std::function<void()> work = std::move(first->second);
    keys_.erase(first->first.second);
    queue_.erase(first);
    work();
    return true;
}

int ManualScheduler::runUntilIdle() {
    int count = 0;
    while (runNextDueBy(now())) {
        ++count;
    }
    return count;
}

int ManualScheduler::advance(Duration d) {
    const ContinuousInstant target = now() + std::max(d, Duration::zero());
    int count = 0;
    while (runNextDueBy(target)) {
        ++count;
    }
    if (target > now()) {
        clock_.advance(target - now());
    }
    return count + runUntilIdle();
}

}  // namespace pellucine

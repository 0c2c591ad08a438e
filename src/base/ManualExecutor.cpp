#include "base/ManualExecutor.h"

namespace pellucine {

void ManualExecutor::execute(std::function<void()> job, std::function<void()> done) {
    jobs_.push_back({std::move(job), std::move(done)});
}

bool ManualExecutor::runJob(std::size_t index) {
    if (index >= jobs_.size()) {
        return false;
    }
    Job job = std::move(jobs_[index]);
    jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(index));
    job.work();
    scheduler_.post(std::move(job.done));
    return true;
}

int ManualExecutor::runAll() {
    int count = 0;
    while (runJob(0)) {
        ++count;
    }
    return count;
}

}  // namespace pellucine

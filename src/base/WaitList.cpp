#include "base/WaitList.h"

#include <algorithm>
#include <utility>

namespace pellucine::detail {

ParkedCoroutine::ParkedCoroutine(ParkedCoroutine&& other) noexcept
    : list_(std::exchange(other.list_, nullptr)),
      scheduler_(other.scheduler_),
      handle_(other.handle_),
      resume_(std::move(other.resume_)) {
    if (list_ != nullptr) {
        std::replace(list_->parked_.begin(), list_->parked_.end(), &other, this);
    }
}

void ParkedCoroutine::park(WaitList& list, Scheduler& scheduler, std::coroutine_handle<> handle) {
    leave();
    list_ = &list;
    scheduler_ = &scheduler;
    handle_ = handle;
    list.parked_.push_back(this);
}

void ParkedCoroutine::leave() {
    if (list_ != nullptr) {
        auto& parked = list_->parked_;
        parked.erase(std::remove(parked.begin(), parked.end(), this), parked.end());
        list_ = nullptr;
    }
}

void ParkedCoroutine::wake() {
    list_ = nullptr;
    resume_ = ScopedWork(*scheduler_, scheduler_->post([handle = handle_] { handle.resume(); }));
}

WaitList::~WaitList() {
    for (ParkedCoroutine* p : parked_) {
        p->list_ = nullptr;
    }
}

void WaitList::wakeAll() {
    std::vector<ParkedCoroutine*> woken;
    woken.swap(parked_);
    for (ParkedCoroutine* p : woken) {
        p->wake();
    }
}

}  // namespace pellucine::detail

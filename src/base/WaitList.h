#pragma once

#include <coroutine>
#include <vector>

#include "base/Scheduler.h"

namespace pellucine::detail {

class WaitList;

// One suspended coroutine waiting in a WaitList. It lives in the waiting coroutine's frame
// (inside an awaiter): destroying it leaves the list and cancels a resume already posted, so a
// destroyed frame is never resumed. Moving it carries its place in the list along.
class ParkedCoroutine {
  public:
    ParkedCoroutine() = default;
    ParkedCoroutine(ParkedCoroutine&& other) noexcept;
    ParkedCoroutine& operator=(ParkedCoroutine&&) = delete;
    ~ParkedCoroutine() { leave(); }

    // Waits in list until it is woken; the resume is then posted on scheduler.
    void park(WaitList& list, Scheduler& scheduler, std::coroutine_handle<> handle);

  private:
    friend class WaitList;
    void leave();
    void wake();

    WaitList* list_ = nullptr;
    Scheduler* scheduler_ = nullptr;
    std::coroutine_handle<> handle_;
    ScopedWork resume_;
};

// Coroutines waiting for one event on the main thread, woken in the order they parked.
class WaitList {
  public:
    WaitList() = default;
    WaitList(const WaitList&) = delete;
    WaitList& operator=(const WaitList&) = delete;
    // Parked coroutines are left waiting: owners keep their list alive while anyone waits.
    ~WaitList();

    // Posts the resume of every parked coroutine, in parking order, and empties the list.
    void wakeAll();
    bool isEmpty() const { return parked_.empty(); }

  private:
    friend class ParkedCoroutine;
    std::vector<ParkedCoroutine*> parked_;
};

}  // namespace pellucine::detail

#include "base/Sleep.h"

namespace pellucine {

void Sleep::await_suspend(std::coroutine_handle<> handle) {
    handle_ = handle;
    pending_ = ScopedWork(scheduler_, scheduler_.postAfter(duration_, [this] {
        onCancel_.reset();
        handle_.resume();
    }));
    onCancel_ = token_.onCancel([this] {
        wokenEarly_ = true;
        pending_ = ScopedWork(scheduler_, scheduler_.post([this] { handle_.resume(); }));
    });
}

}  // namespace pellucine

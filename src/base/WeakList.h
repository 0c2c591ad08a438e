#pragma once

#include <algorithm>
#include <memory>
#include <vector>

namespace pellucine {

// Entries owned elsewhere (a subscription, a tap) that a publisher reaches while they live.
template <class T>
class WeakList {
  public:
    void add(const std::shared_ptr<T>& entry) {
        prune();
        entries_.push_back(entry);
    }

    // Calls fn(T&) for each entry of the list as it stood when the call began, passing over
    // those dropped meanwhile (by an earlier call of fn among them).
    template <class F>
    void forEach(F fn) const {
        const std::vector<std::weak_ptr<T>> snapshot = entries_;
        for (const auto& weak : snapshot) {
            if (const std::shared_ptr<T> entry = weak.lock()) {
                fn(*entry);
            }
        }
    }

    int size() const {
        return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                              [](const auto& e) { return !e.expired(); }));
    }
    bool isEmpty() const { return size() == 0; }

    void prune() {
        std::erase_if(entries_, [](const auto& e) { return e.expired(); });
    }

  private:
    std::vector<std::weak_ptr<T>> entries_;
};

}  // namespace pellucine

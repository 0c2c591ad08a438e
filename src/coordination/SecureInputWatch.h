#pragma once

#include <functional>
#include <memory>

#include "base/EventRecording.h"
#include "base/RepeatingTimer.h"
#include "base/Scheduler.h"
#include "platform/KeyboardState.h"

namespace pellucine {

// Stands in for the key tap while secure keyboard entry hides every key from it. Reads whether
// the entry is on at the start and, on a desktop that has the entry, every `checkInterval`
// seconds after, recording "secure-input-on" or "secure-input-off" at each change; while it is
// on, reads the Command key every `pollInterval` seconds and reports each press and each release
// the reads see. Reports run inside the reads, on the main thread. Once stopped or destroyed it
// reads and reports nothing. Main thread only.
class SecureInputWatch {
  public:
    static constexpr double checkInterval = 2.0;
    static constexpr double pollInterval = 0.08;

    SecureInputWatch(const KeyboardState& keyboard, Scheduler& scheduler, EventRecording& events);
    SecureInputWatch(const SecureInputWatch&) = delete;
    SecureInputWatch& operator=(const SecureInputWatch&) = delete;

    void setOnCommandPressed(std::function<void()> callback) {
        onCommandPressed_ = std::move(callback);
    }
    void setOnCommandReleased(std::function<void()> callback) {
        onCommandReleased_ = std::move(callback);
    }

    // Reads the entry's state at once, then every `checkInterval`; called again, starts over.
    void start();
    // Ends the check and the poll.
    void stop();

  private:
    void check();
    void poll();

    const KeyboardState& keyboard_;
    Scheduler& scheduler_;
    EventRecording& events_;
    std::function<void()> onCommandPressed_;
    std::function<void()> onCommandReleased_;
    bool wasOn_ = false;
    // Command was seen down by the poll and not yet seen up.
    bool commandSeen_ = false;
    std::unique_ptr<RepeatingTimer> check_;
    std::unique_ptr<RepeatingTimer> poll_;
};

}  // namespace pellucine

#include "coordination/SecureInputWatch.h"

#include "platform/KeyModifiers.h"

namespace pellucine {

SecureInputWatch::SecureInputWatch(const KeyboardState& keyboard, Scheduler& scheduler,
                                   EventRecording& events)
    : keyboard_(keyboard), scheduler_(scheduler), events_(events) {}

void SecureInputWatch::start() {
    if (check_) {
        check_->invalidate();
    }
    check_ = keyboard_.hasSecureEventInput()
                 ? std::make_unique<RepeatingTimer>(scheduler_, seconds(checkInterval),
                                                    [this] { check(); })
                 : nullptr;
    check();
}

void SecureInputWatch::stop() {
    if (check_) {
        check_->invalidate();
    }
    if (poll_) {
        poll_->invalidate();
    }
}

void SecureInputWatch::check() {
    const bool on = keyboard_.isSecureEventInputEnabled();
    if (on != wasOn_) {
        wasOn_ = on;
        events_.record(on ? QStringLiteral("secure-input-on") : QStringLiteral("secure-input-off"));
    }
    if (!on && poll_) {
        poll_->invalidate();
        poll_.reset();
        commandSeen_ = false;
    }
    if (on && !poll_) {
        poll_ =
            std::make_unique<RepeatingTimer>(scheduler_, seconds(pollInterval), [this] { poll(); });
    }
}

void SecureInputWatch::poll() {
    const bool held = (keyboard_.modifierFlags() & KeyModifiers::command) != 0;
    if (held && !commandSeen_) {
        commandSeen_ = true;
        if (const auto callback = onCommandPressed_) {
            callback();
        }
    } else if (!held && commandSeen_) {
        commandSeen_ = false;
        if (const auto callback = onCommandReleased_) {
            callback();
        }
    }
}

}  // namespace pellucine

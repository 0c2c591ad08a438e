#include <QPointer>

#include "coordination/AppCoordinator.h"

namespace pellucine {

void AppCoordinator::secureInputTick() {
    const bool on = desktop_.keyboardState().isSecureEventInputEnabled();
    if (on != secureInputWasOn_) {
        secureInputWasOn_ = on;
        events_.record(on ? QStringLiteral("secure-input-on") : QStringLiteral("secure-input-off"));
    }
    if (!on && commandPoll_) {
        commandPoll_->invalidate();
        commandPoll_.reset();
        commandSeenByPoll_ = false;
    }
    if (on && !commandPoll_) {
        const QPointer<AppCoordinator> self(this);
        commandPoll_ =
            std::make_unique<RepeatingTimer>(scheduler_, seconds(commandPollInterval), [self] {
                if (self) {
                    self->commandPollTick();
                }
            });
    }
}

void AppCoordinator::commandPollTick() {
    const bool held = isCommandHeld();
    if (held && !commandSeenByPoll_) {
        commandSeenByPoll_ = true;
        startKeystrokeFreeWatch();
    } else if (!held && commandSeenByPoll_) {
        commandSeenByPoll_ = false;
        // A Command-Tab glance can outlive its cycle (the switcher named an application outside
        // the order); letting go of Command ends it too.
        if (nativeSwitcherState_.selectedIndex || glanceSource_ == GlanceSource::commandTab) {
            commandReleased();
        }
    }
}

}  // namespace pellucine

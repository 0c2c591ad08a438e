#include "coordination/GlobalShortcutMonitor.h"

namespace pellucine {

namespace {

QString flag(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Whether the event can lead to anything, whatever has been reported of Command by then.
bool mayAct(const KeyEvent& event, quint64 hold) {
    return ShortcutDecision::decide(event, false, hold).action != ShortcutDecision::Action::none ||
           ShortcutDecision::decide(event, true, hold).action != ShortcutDecision::Action::none;
}

}  // namespace

GlobalShortcutMonitor::GlobalShortcutMonitor(Desktop& desktop, Scheduler& scheduler,
                                             EventRecording& events)
    : desktop_(desktop), scheduler_(scheduler), events_(events) {}

GlobalShortcutMonitor::~GlobalShortcutMonitor() {
    stop();
}

void GlobalShortcutMonitor::start(bool tapWanted) {
    stop();
    const bool running = tapWanted && installTap();
    events_.record(QStringLiteral("shortcut-monitor-started"),
                   {{QStringLiteral("commandTabTap"), flag(running)},
                    {QStringLiteral("commandTabMode"),
                     running ? QStringLiteral("native-glance") : QStringLiteral("native")}});
}

void GlobalShortcutMonitor::stop() {
    if (tap_) {
        tap_->setEnabled(false);
    }
    tap_.reset();
}

bool GlobalShortcutMonitor::installTap() {
    std::weak_ptr<const bool> alive = alive_;
    tap_ = desktop_.keyEvents().createTap([this, alive](const KeyEvent& event) {
        if (!alive.expired()) {
            handle(event);
        }
    });
    if (!tap_) {
        events_.record(
            QStringLiteral("shortcut-event-tap-failed"),
            {{QStringLiteral("accessibility"), flag(desktop_.accessibility().isProcessTrusted())}});
        return false;
    }
    return true;
}

quint64 GlobalShortcutMonitor::switcherHold() const {
    return desktop_.systemSwitcher().binding().value_or(SwitcherBinding{}).hold;
}

void GlobalShortcutMonitor::handle(const KeyEvent& event) {
    if (!mayAct(event, switcherHold())) {
        return;
    }
    std::weak_ptr<const bool> alive = alive_;
    scheduler_.post([this, alive, event] {
        if (!alive.expired()) {
            perform(event);
        }
    });
}

void GlobalShortcutMonitor::perform(const KeyEvent& event) {
    using Action = ShortcutDecision::Action;
    const ShortcutDecision decision =
        ShortcutDecision::decide(event, commandIsDown_, switcherHold());
    // Callbacks are copied before they run: one may replace itself or end the monitor.
    switch (decision.action) {
        case Action::none:
            return;
        case Action::reenableTap:
            if (tap_) {
                tap_->setEnabled(true);
                events_.record(QStringLiteral("shortcut-event-tap-reenabled"));
            }
            return;
        case Action::advance:
            if (const auto callback = onAdvance_) {
                callback(decision.backward);
            }
            return;
        case Action::search:
            if (const auto callback = onSearch_) {
                callback();
            }
            return;
        case Action::dismiss:
            if (const auto callback = onDismiss_) {
                callback();
            }
            return;
        case Action::release:
            commandIsDown_ = false;
            if (const auto callback = onRelease_) {
                callback();
            }
            return;
        case Action::commandDown:
            commandIsDown_ = true;
            if (const auto callback = onCommandDown_) {
                callback();
            }
            return;
    }
}

}  // namespace pellucine

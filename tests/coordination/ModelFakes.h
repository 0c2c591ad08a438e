#pragma once

#include <QCoro/QCoroTask>
#include <QStringList>
#include <deque>
#include <optional>

#include "base/Sleep.h"
#include "core/WindowServiceError.h"
#include "core/WindowServicing.h"
#include "platform/CloudStoreError.h"
#include "preferences/PreferenceStoring.h"
#include "preferences/PreferenceSyncing.h"

namespace pellucine::testing {

// Both preference records in memory; every save is logged as "portable" or "machine".
class MemoryPreferenceStore final : public PreferenceStoring {
  public:
    PortablePreferences loadPortablePreferences() override { return portable; }
    MachinePreferences loadMachinePreferences() override { return machine; }
    bool savePortablePreferences(const PortablePreferences& p) override {
        portable = p;
        saves << QStringLiteral("portable");
        return true;
    }
    bool saveMachinePreferences(const MachinePreferences& m) override {
        machine = m;
        saves << QStringLiteral("machine");
        return true;
    }
    PortablePreferences importSettings(const QString&) override { return portable; }

    PortablePreferences portable;
    MachinePreferences machine;
    QStringList saves;
};

// One scripted answer: how long it takes on virtual time and whether it fails.
struct ScriptedStep {
    double seconds = 0;
    std::optional<CloudStoreError> failure;
};

// Pushes and pulls that take the time and fail as scripted, in call order.
class ScriptedPreferenceSync final : public PreferenceSyncing {
  public:
    explicit ScriptedPreferenceSync(Scheduler& scheduler) : scheduler_(scheduler) {}

    bool isConfigured() const override { return true; }
    // Compares with `remote` as the store would, and writes there.
    QCoro::Task<std::optional<PortablePreferences>> push(PortablePreferences preferences,
                                                         StoredWins storedWins) override {
        const ScriptedStep step = take(pushSteps);
        started.append(preferences);
        co_await Sleep(scheduler_, seconds(step.seconds));
        if (step.failure) {
            throw *step.failure;
        }
        if (remote && storedWins && *remote != preferences && storedWins(*remote)) {
            std::optional<PortablePreferences> kept = remote;
            co_return kept;
        }
        pushed.append(preferences);
        if (writesRemote) {
            remote = preferences;
        }
        co_return std::nullopt;
    }
    QCoro::Task<std::optional<PortablePreferences>> pull() override {
        const ScriptedStep step = take(pullSteps);
        ++pullCount;
        co_await Sleep(scheduler_, seconds(step.seconds));
        if (step.failure) {
            throw *step.failure;
        }
        std::optional<PortablePreferences> answer = remote;
        co_return answer;
    }

    std::deque<ScriptedStep> pushSteps;
    std::deque<ScriptedStep> pullSteps;
    std::optional<PortablePreferences> remote;
    // Whether a push replaces `remote`.
    bool writesRemote = false;
    // Records as pushes began, and as they succeeded.
    QList<PortablePreferences> started;
    QList<PortablePreferences> pushed;
    int pullCount = 0;

  private:
    static ScriptedStep take(std::deque<ScriptedStep>& steps) {
        if (steps.empty()) {
            return {};
        }
        ScriptedStep step = steps.front();
        steps.pop_front();
        return step;
    }

    Scheduler& scheduler_;
};

// Snapshots and window actions as scripted: each snapshot takes its time on virtual time.
class ScriptedWindowService final : public WindowServicing {
  public:
    struct Snapshot {
        QList<ApplicationDescriptor> applications;
        double seconds = 0;
        bool fails = false;
    };

    explicit ScriptedWindowService(Scheduler& scheduler) : scheduler_(scheduler) {}

    QCoro::Task<QList<ApplicationDescriptor>> enumerateWindows() override {
        Snapshot next;
        if (!snapshots.empty()) {
            next = snapshots.front();
            snapshots.pop_front();
        }
        co_await Sleep(scheduler_, seconds(next.seconds));
        if (next.fails) {
            throw WindowServiceError::permissionRequired();
        }
        QList<ApplicationDescriptor> applications = next.applications;
        co_return applications;
    }
    void performWindowAction(WindowAction action, const WindowDescriptor& window) override {
        actions << QStringLiteral("%1 %2").arg(action.textForm()).arg(window.id);
        if (failActions) {
            throw WindowServiceError::windowUnavailable();
        }
    }

    std::deque<Snapshot> snapshots;
    bool failActions = false;
    QStringList actions;

  private:
    Scheduler& scheduler_;
};

}  // namespace pellucine::testing

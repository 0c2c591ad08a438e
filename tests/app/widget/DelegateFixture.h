#pragma once

#include <functional>
#include <memory>

#include "ShellFakes.h"
#include "app/AppDelegate.h"
#include "app/OnboardingStore.h"
#include "app/ProgramActivationPolicy.h"
#include "app/ShellNotifications.h"
#include "coordination/ModelFixture.h"
#include "core/Bundle.h"
#include "design/Appearance.h"
#include "preferences/InMemoryKeyValueStore.h"

namespace pellucine::testing {

// The delegate over the model on the simulated desktop, with recording windows and coordinator
// sharing `log`, the program as pid 1 and a bundle of version 1.4 (140).
class DelegateFixture : public ModelFixture {
  protected:
    // Makes the model (unless made) and the delegate; `adjust` changes the launch services first.
    AppDelegate& makeDelegate(const std::function<void(AppDelegate::Lifecycle&)>& adjust = {}) {
        if (!model) {
            makeModel();
        }
        AppDelegate::Lifecycle lifecycle{
            onboarding,
            notifications,
            policy,
            bundle,
            [this] { return std::make_unique<RecordingCoordinator>(log); },
            {},
            {},
            {},
            QStringLiteral("/home/u/Desktop"),
            [this] { log << "wait for log"; },
            false};
        if (adjust) {
            adjust(lifecycle);
        }
        delegate = std::make_unique<AppDelegate>(
            AppDelegate::Services{*model, desktop, events, scheduler, appearance, windows,
                                  [this] { log << "terminate"; }, QUrl("https://example.com")},
            std::move(lifecycle));
        return *delegate;
    }

    InMemoryKeyValueStore defaults;
    OnboardingStore onboarding{defaults};
    ShellNotifications notifications;
    ProgramActivationPolicy policy{ActivationPolicy::regular, nullptr};
    Bundle bundle{{{"CFBundleShortVersionString", "1.4"}, {"CFBundleVersion", "140"}}, {}};
    Appearance appearance;
    RecordingProgramWindows windows;
    QStringList log;
    std::unique_ptr<AppDelegate> delegate;
};

}  // namespace pellucine::testing

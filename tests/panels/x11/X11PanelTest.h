#pragma once

#include <QGuiApplication>
#include <memory>

#include "X11ModelTest.h"
#include "app/X11PanelWindowSystem.h"
#include "coordination/AppCoordinator.h"
#include "coordination/RecordingWindowSearch.h"
#include "panels/DesktopEntryIcons.h"
#include "panels/FontTextMeasurer.h"
#include "panels/GlanceEnvironment.h"
#include "panels/SwitcherPanelController.h"

namespace pellucine::testing {

// The model on the X11 port with what the program's panels need on the X11 platform, the
// program's own window hints included; the peek is off. Skips without an X server or without
// the xcb platform.
class X11PanelTest : public X11ModelTest {
  protected:
    void SetUp() override {
        X11ModelTest::SetUp();
        if (!port) {
            return;
        }
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "The panel needs the X11 platform";
        }
        store.portable.enableFullSizeHoverPeek = false;
        makeModel();
        icons = std::make_unique<DesktopEntryIcons>(port->workspace());
    }

    GlanceEnvironment environment() {
        return {port->workspace(),
                port->screenLayout(),
                *icons,
                scheduler,
                events,
                measurer,
                [this] { return windowSystem.compositingManagerRunning(); },
                nullptr,
                windowSystem};
    }

    // The coordinator over the port with the program's preview panel, the permissions read.
    std::unique_ptr<AppCoordinator> makeCoordinator() {
        model->permissions().refresh(QStringLiteral("test"));
        return std::make_unique<AppCoordinator>(
            *model, AppCoordinator::Platform{*port, scheduler, events},
            AppCoordinator::Panels{SwitcherPanelController::factory(*model, environment()),
                                   [](WindowSearchControlling::Recency recency) {
                                       return std::make_unique<RecordingWindowSearch>(
                                           std::move(recency));
                                   }});
    }

    std::unique_ptr<DesktopEntryIcons> icons;
    FontTextMeasurer measurer;
    X11PanelWindowSystem windowSystem;
};

}  // namespace pellucine::testing

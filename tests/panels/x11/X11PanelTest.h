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

    // The coordinator over the port with the program's preview panel, the permissions read. The
    // panel is `glancePanel` once the coordinator has made it.
    std::unique_ptr<AppCoordinator> makeCoordinator() {
        model->permissions().refresh(QStringLiteral("test"));
        glancePanel = nullptr;
        const SwitcherPanelFactory makePanel =
            SwitcherPanelController::factory(*model, environment());
        return std::make_unique<AppCoordinator>(
            *model, AppCoordinator::Platform{*port, scheduler, events},
            AppCoordinator::Panels{
                [this, makePanel](SwitcherPanelCallbacks callbacks) {
                    std::unique_ptr<SwitcherPanelControlling> made =
                        makePanel(std::move(callbacks));
                    glancePanel = dynamic_cast<SwitcherPanelController*>(made.get());
                    return made;
                },
                [](WindowSearchControlling::Recency recency) {
                    return std::make_unique<RecordingWindowSearch>(std::move(recency));
                }});
    }

    bool isGlancePanelVisible() const {
        return glancePanel != nullptr && glancePanel->isPanelVisible();
    }
    // The source ("command-tab", "dock-hover", "menu") of the last glance shown.
    QString lastShownGlanceSource() const {
        const auto shown = events.last(QStringLiteral("glance-shown"));
        return shown ? shown->fields.value(QStringLiteral("source")) : QString();
    }

    std::unique_ptr<DesktopEntryIcons> icons;
    SwitcherPanelController* glancePanel = nullptr;
    FontTextMeasurer measurer;
    X11PanelWindowSystem windowSystem;
};

}  // namespace pellucine::testing

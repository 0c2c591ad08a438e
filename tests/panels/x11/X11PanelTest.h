#pragma once

#include <QGuiApplication>
#include <memory>

#include "X11ModelTest.h"
#include "panels/DesktopEntryIcons.h"
#include "panels/FloatingPanel.h"
#include "panels/FontTextMeasurer.h"
#include "panels/GlanceEnvironment.h"

namespace pellucine::testing {

// The model on the X11 port with what the program's panels need on the X11 platform; the peek
// is off. Skips without an X server or without the xcb platform.
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
                &FloatingPanel::compositingManagerRunning};
    }

    std::unique_ptr<DesktopEntryIcons> icons;
    FontTextMeasurer measurer;
};

}  // namespace pellucine::testing

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "EndToEndSession.h"
#include "EndToEndTest.h"
#include "TestSettingsManager.h"
#include "X11TestDesktop.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::ShownWindow;
using testing::TestSettingsManager;
using testing::X11TestDesktop;

constexpr xcb_keysym_t space = 0x20;
constexpr xcb_keysym_t escape = 0xff1b;
constexpr const char* searchPanel = "Search Windows";

// The program on a desktop whose settings daemon publishes a theme over XSETTINGS, as Xfce's
// and MATE's do.
class AppearanceEndToEndTest : public testing::EndToEndTest {
  protected:
    // The lightness of most of the search panel as it is on the screen now (0 black, 255
    // white): its ground, whatever its rows and text.
    std::optional<int> groundLightness(const QRect& rect) const {
        const QString path = scratch.filePath(QStringLiteral("screen.png"));
        QImage screen;
        if (!session.screenshot(path) || !screen.load(path)) {
            return std::nullopt;
        }
        const QImage panel = screen.copy(rect);
        std::vector<int> lightness;
        for (int y = 0; y < panel.height(); ++y) {
            for (int x = 0; x < panel.width(); ++x) {
                lightness.push_back(panel.pixelColor(x, y).lightness());
            }
        }
        if (lightness.empty()) {
            return std::nullopt;
        }
        const auto middle = lightness.begin() + static_cast<std::ptrdiff_t>(lightness.size() / 2);
        std::nth_element(lightness.begin(), middle, lightness.end());
        return *middle;
    }
    // Opens the search panel and waits until it is drawn dark, or light.
    bool searchPanelIsDrawn(bool dark) {
        keyboard().type(keyboard().keycodesOf({testing::superL, testing::shiftL, space}));
        std::optional<ShownWindow> panel;
        if (!session.waitUntilShown(QString::fromLatin1(searchPanel), panel)) {
            return false;
        }
        // Read where the panel is at each look: it may still be placed after it is first seen.
        const bool drawn = X11TestDesktop::waitUntil([&] {
            const std::optional<ShownWindow> now = session.shown(QString::fromLatin1(searchPanel));
            const std::optional<int> lightness = now ? groundLightness(now->rect) : std::nullopt;
            return lightness && (dark ? *lightness < 80 : *lightness > 170);
        });
        tap(escape);
        return drawn && session.waitUntilGone(QString::fromLatin1(searchPanel));
    }

    QTemporaryDir scratch;
};

TEST_F(AppearanceEndToEndTest, TheDesktopsDarkThemeIsTakenAtStartAndItsChangeFollowed) {
    QString error;
    ASSERT_TRUE(session.start(error)) << error.toStdString();
    TestSettingsManager manager(desktop().get(), desktop().root());
    manager.start("Greybird-dark");
    ASSERT_TRUE(startFocusedXterm()) << "xterm did not appear or take the focus";
    ASSERT_TRUE(session.startProgram(1, error)) << error.toStdString();

    EXPECT_TRUE(searchPanelIsDrawn(true));
    manager.setTheme("Greybird");
    EXPECT_TRUE(searchPanelIsDrawn(false));
}

}  // namespace
}  // namespace pellucine

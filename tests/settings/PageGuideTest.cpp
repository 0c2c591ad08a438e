#include <gtest/gtest.h>

#include <QScreen>
#include <QScrollBar>

#include "SettingsFixture.h"
#include "design/FadingScrollView.h"
#include "design/KeyHint.h"
#include "design/YardButton.h"
#include "settings/PageGuideGeometry.h"
#include "settings/PellucinePageGuide.h"

namespace pellucine {
namespace {

using Bay = SettingsView::Bay;
namespace Geometry = PageGuideGeometry;

TEST(PageGuideGeometryTest, TheSheetIsAsTallAsItsWordsUpToTheScreenLessItsMargins) {
    EXPECT_EQ(Geometry::height(400, 1080), 400);
    EXPECT_EQ(Geometry::height(1080 - 48, 1080), 1032);
    EXPECT_EQ(Geometry::height(1080 - 47, 1080), 1032);
    EXPECT_EQ(Geometry::height(1594, 1080), 1032);
    // A screen with no room left still gets a sheet, never a negative one.
    EXPECT_EQ(Geometry::height(300, 40), 1);
    EXPECT_EQ(Geometry::height(0, 800), 1);
}

TEST(PageGuideGeometryTest, TheSheetHangsFromTheWindowsTopInsideTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    // Centred across the window, on its top edge.
    EXPECT_EQ(Geometry::frame({510, 200, 900, 680}, {560, 400}, screen), QRect(680, 200, 560, 400));
    // A window partly off the right edge, or too low for the sheet, moves the sheet in.
    EXPECT_EQ(Geometry::frame({1500, 900, 900, 680}, {560, 400}, screen),
              QRect(1360, 680, 560, 400));
    EXPECT_EQ(Geometry::frame({-600, -50, 900, 680}, {560, 400}, screen), QRect(0, 0, 560, 400));
    // A second screen to the left, at negative coordinates.
    EXPECT_EQ(Geometry::frame({-1800, 100, 900, 680}, {560, 400}, {-1920, 0, 1920, 1080}),
              QRect(-1630, 100, 560, 400));
    // Larger than the screen: the top-left corner stays on it.
    EXPECT_EQ(Geometry::frame({100, 100, 900, 680}, {560, 1200}, screen).topLeft(), QPoint(270, 0));
}

class PageGuideTest : public testing::SettingsFixture {};

TEST_F(PageGuideTest, EveryGuideIsASheetOverTheWindowShowingAllItsWords) {
    shown();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (Bay bay : SettingsView::bays()) {
        SCOPED_TRACE(SettingsView::rawValue(bay).toStdString());
        view().setBay(bay);
        view().setShowingHelp(true);
        PellucinePageGuide* guide = view().guide();
        ASSERT_NE(guide, nullptr);
        EXPECT_EQ(guide->geometry().width(), PellucinePageGuide::width);
        EXPECT_LE(guide->geometry().height(), available.height() - 2 * Geometry::screenMargin);
        EXPECT_TRUE(available.contains(guide->geometry()));
        EXPECT_EQ(guide->geometry(),
                  Geometry::frame(settingsWindow().geometry(), guide->size(), available));
        // Nothing to scroll: every paragraph has the lines it needs and Done is in the sheet.
        EXPECT_EQ(guide->scrollView()->verticalScrollBar()->maximum(), 0);
        for (const KeyHint* paragraph : guide->findChildren<KeyHint*>()) {
            EXPECT_GE(paragraph->height(), paragraph->heightForWidth(paragraph->width()));
        }
        const QRect done(guide->doneButton()->mapTo(guide, QPoint()), guide->doneButton()->size());
        EXPECT_TRUE(guide->rect().contains(done));
        view().setShowingHelp(false);
    }
}

TEST_F(PageGuideTest, AGuideTallerThanTheScreenScrollsAboveDone) {
    settingsWindow().show();
    // A hotkey of many keys makes the switcher guide far taller than the screen.
    GuideFacts facts;
    facts.searchKeys = QStringList(400, QStringLiteral("Space"));
    PellucinePageGuide guide(Bay::switcher, facts, QStringLiteral("example.org"), {},
                             &settingsWindow());
    guide.show();
    const QRect available = guide.screen()->availableGeometry();
    EXPECT_EQ(guide.geometry().width(), PellucinePageGuide::width);
    EXPECT_EQ(guide.geometry().height(), available.height() - 2 * Geometry::screenMargin);
    EXPECT_GT(guide.scrollView()->verticalScrollBar()->maximum(), 0);
    const QRect done(guide.doneButton()->mapTo(&guide, QPoint()), guide.doneButton()->size());
    EXPECT_TRUE(guide.rect().contains(done));
    EXPECT_TRUE(guide.doneButton()->isVisible());
}

}  // namespace
}  // namespace pellucine

#include <gtest/gtest.h>

#include "base/ManualScheduler.h"
#include "platform/AccessibilityNames.h"
#include "platform/sim/SimulatedDesktop.h"
#include "platform/sim/SimulatedSystemDock.h"
#include "support/TaskOutcome.h"

namespace pellucine {
namespace {

using testing::follow;

class SimulatedCaptureTest : public ::testing::Test {
  protected:
    SimulatedCaptureTest() {
        RunningApplication app;
        app.processIdentifier = 20;
        desktop.addApplication(app);
    }

    quint32 addWindow(GlobalRect frame, bool minimized = false) {
        SimulatedWindow w;
        w.ownerPID = 20;
        w.frame = frame;
        w.isMinimized = minimized;
        return desktop.addWindow(w);
    }
    std::shared_ptr<testing::TaskOutcome<QImage>> picture(quint32 number, QSize size,
                                                          bool scalesToFit = true) {
        const ShareableWindow window{number, desktop.window(number)->frame, 20, true};
        return follow(
            desktop.screenCapture().captureWindowImage(window, {size, false, scalesToFit}));
    }
    SimulatedScreenCapture& capture() { return desktop.simulatedCapture(); }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
};

TEST_F(SimulatedCaptureTest, ContentListsEveryShareableWindowAsItWasWhenAskedFor) {
    const quint32 back = addWindow({0, 0, 400, 300}, /*minimized=*/true);
    const quint32 front = addWindow({50, 50, 400, 300});
    const quint32 hidden = addWindow({90, 90, 400, 300});
    capture().setShareable(hidden, false);
    desktop.setWindowListBounds(front, GlobalRect{48, 20, 404, 332});
    capture().setContentDelay(seconds(1));
    const auto content = follow(desktop.screenCapture().shareableContent());
    addWindow({0, 0, 100, 100});
    scheduler.advance(1.0);
    ASSERT_TRUE(content->value.has_value());
    EXPECT_EQ(content->value->windows,
              (QList<ShareableWindow>{{front, {48, 20, 404, 332}, 20, true},
                                      {back, {0, 0, 400, 300}, 20, false}}));
}

TEST_F(SimulatedCaptureTest, RequestsFailAsThePlatformWould) {
    const quint32 n = addWindow({0, 0, 400, 300});
    const quint32 minimized = addWindow({0, 0, 400, 300}, true);
    const auto caseOf = [](const auto& outcome) {
        const auto e = outcome->template errorAs<ScreenCaptureError>();
        return e ? std::optional(e->errorCase()) : std::nullopt;
    };

    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    const auto content = follow(desktop.screenCapture().shareableContent());
    const auto refused = picture(n, {10, 10});
    scheduler.runUntilIdle();
    EXPECT_EQ(caseOf(content), ScreenCaptureError::Case::permissionDenied);
    EXPECT_EQ(caseOf(refused), ScreenCaptureError::Case::permissionDenied);
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::granted);

    capture().setMinimizedWindowsHavePictures(false);
    const auto offScreen = picture(minimized, {10, 10});
    // The window closes while its picture is being taken.
    capture().setCaptureDelay(n, seconds(1));
    const auto gone = picture(n, {10, 10});
    scheduler.runUntilIdle();
    desktop.removeWindow(n);
    scheduler.advance(1.0);
    EXPECT_EQ(caseOf(offScreen), ScreenCaptureError::Case::windowNotViewable);
    EXPECT_EQ(caseOf(gone), ScreenCaptureError::Case::windowGone);
    capture().setMinimizedWindowsHavePictures(true);
    const auto empty = picture(minimized, {0, 10});
    scheduler.runUntilIdle();
    EXPECT_EQ(caseOf(empty), ScreenCaptureError::Case::failed);
    EXPECT_EQ(capture().captureRequests().size(), 4);
}

TEST_F(SimulatedCaptureTest, APictureIsFittedAndCentredOnATransparentBackground) {
    const quint32 n = addWindow({0, 0, 400, 100});
    const auto fitted = picture(n, {200, 100});
    const auto ownSize = picture(n, {200, 100}, /*scalesToFit=*/false);
    scheduler.runUntilIdle();
    ASSERT_TRUE(fitted->value && ownSize->value);
    const QImage& image = *fitted->value;
    EXPECT_EQ(image.size(), QSize(200, 100));
    // 400 x 100 fits as 200 x 50, with 25 rows above and below.
    EXPECT_EQ(qAlpha(image.pixel(100, 24)), 0);
    EXPECT_EQ(image.pixel(100, 25), SimulatedScreenCapture::colourOf(n).rgba());
    EXPECT_EQ(image.pixel(100, 74), SimulatedScreenCapture::colourOf(n).rgba());
    EXPECT_EQ(qAlpha(image.pixel(100, 75)), 0);
    EXPECT_EQ(ownSize->value->pixel(199, 99), SimulatedScreenCapture::colourOf(n).rgba());
    EXPECT_EQ(capture().captureRequests().last(),
              QStringLiteral("window %1: 200 x 100, cursor hidden, at its own size").arg(n));
}

TEST_F(SimulatedCaptureTest, AWindowJustShownIsPicturedOnceItHasDrawn) {
    const quint32 drawing = addWindow({0, 0, 40, 30});
    const quint32 silent = addWindow({0, 0, 40, 30});
    capture().showUndrawn(drawing);
    capture().showUndrawn(silent);
    const auto drawn = picture(drawing, {40, 30});
    const auto blank = picture(silent, {40, 30});
    scheduler.advance(0.2);
    capture().draw(drawing);
    scheduler.advance(0.05);
    // Within the quiet spell after its drawing: still waiting.
    EXPECT_FALSE(drawn->done);
    scheduler.advance(DrawSettling::quietSpell);
    ASSERT_TRUE(drawn->value);
    EXPECT_EQ(drawn->value->pixel(20, 15), SimulatedScreenCapture::colourOf(drawing).rgba());
    // One that never draws is taken at the limit, as it shows: blank.
    EXPECT_FALSE(blank->done);
    scheduler.advance(DrawSettling::limit);
    ASSERT_TRUE(blank->value);
    EXPECT_EQ(blank->value->pixel(20, 15), QColor(Qt::white).rgba());
}

TEST_F(SimulatedCaptureTest, PublishedTreesAnswerLikeOtherElements) {
    SimulatedSystemDock dock(desktop);
    const QList<quint64> items =
        dock.setItems({{"Mail", QUrl("file:///Applications/Mail.app"), {100, 850, 50, 50}},
                       {"Notes", std::nullopt, {150, 850, 50, 50}}},
                      {0, 840, 1440, 60});
    const ElementRef app = desktop.applicationElement(dock.processIdentifier());
    const ElementRef list = app->attribute(ax::children).value()->toElements()->first();
    EXPECT_TRUE(list->isSameElement(*desktop.treeElement(*dock.dockList())));
    EXPECT_TRUE(list->attribute(ax::parent).value()->toElement()->isSameElement(*app));
    const ElementRef mail = list->attribute(ax::children).value()->toElements()->first();
    EXPECT_EQ(mail->attribute(ax::position).value()->toPoint(), (GlobalPoint{100, 850}));
    EXPECT_EQ(mail->attribute(ax::url).value()->toUrl(), QUrl("file:///Applications/Mail.app"));
    EXPECT_EQ(mail->processIdentifier(), dock.processIdentifier());
    // Without a URL the attribute is unsupported; a nulled one reads "no value".
    const ElementRef notes = desktop.treeElement(items[1]);
    EXPECT_EQ(notes->attribute(ax::url).status(), AccessibilityStatus::failure);
    desktop.setTreeElementAttribute(items[1], ax::url.toString(), std::nullopt);
    EXPECT_EQ(notes->attribute(ax::url).status(), AccessibilityStatus::noValue);
    desktop.failTreeElementAttribute(items[1], ax::title.toString(),
                                     AccessibilityStatus::cannotComplete);
    EXPECT_EQ(notes->attribute(ax::title).status(), AccessibilityStatus::cannotComplete);

    // Hit testing finds the deepest element, from the application or from an element.
    const auto hit = [](const ElementRef& from, GlobalPoint p) {
        const AttributeResult r =
            from->elementAtPosition(static_cast<float>(p.x), static_cast<float>(p.y));
        return r.ok() ? r.value()->toElement() : nullptr;
    };
    EXPECT_TRUE(hit(app, {160, 860})->isSameElement(*notes));
    EXPECT_TRUE(hit(app, {600, 860})->isSameElement(*list));
    EXPECT_TRUE(hit(list, {120, 860})->isSameElement(*mail));
    EXPECT_EQ(hit(mail, {160, 860}), nullptr);

    // Removal takes the children; a quit takes everything.
    desktop.removeTreeElement(*dock.dockList());
    EXPECT_FALSE(desktop.hasTreeElement(items[0]));
    EXPECT_EQ(mail->attribute(ax::title).status(), AccessibilityStatus::failure);
    dock.showSwitcher({{"Mail", std::nullopt, {100, 400, 100, 100}}}, 0, {90, 390, 640, 140});
    const quint64 strip = *dock.switcherList();
    dock.quit();
    EXPECT_FALSE(desktop.hasTreeElement(strip));
}

}  // namespace
}  // namespace pellucine

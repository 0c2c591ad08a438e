#include <cmath>
#include <limits>

#include "DesktopFixture.h"
#include "core/PreviewWidthError.h"
#include "core/ScreenCapturePreviewService.h"
#include "core/WindowServiceError.h"
#include "support/TaskOutcome.h"

namespace pellucine {
namespace {

using testing::follow;

class ScreenCapturePreviewServiceTest : public testing::DesktopFixture {
  protected:
    ScreenCapturePreviewServiceTest() { addApp(10); }

    WindowDescriptor descriptor(quint32 number) const {
        WindowDescriptor w;
        w.id = number;
        w.ownerPID = 10;
        return w;
    }
    auto capture(quint32 number, double width = 300) {
        return follow(service->capture(descriptor(number), width));
    }
    int fetches() { return desktop.simulatedCapture().contentFetchCount(); }

    std::unique_ptr<ScreenCapturePreviewService> service =
        std::make_unique<ScreenCapturePreviewService>(desktop.screenCapture(), scheduler);
};

TEST(ScreenCapturePreviewServicePixelSize, TwiceTheWidthAtMostTheWindowsOwnByTheClampedRatio) {
    struct Case {
        Size frame;
        double width;
        QSize pixels;
        double scale = 1;
    };
    const Case cases[] = {
        {{800, 600}, 300, {600, 450}},
        // Ratio 10 clamps to 3, ratio 0.05 to 0.2.
        {{400, 4000}, 200, {400, 1200}},
        {{1000, 50}, 200, {400, 80}},
        // Never more pixels across than the window has: 100 of 400 asked.
        {{100, 1000}, 200, {100, 300}},
        {{250, 150}, 240, {250, 150}},
        {{250, 150}, 125, {250, 150}},
        {{250, 150}, 124.9, {249, 149}},
        // On a screen of two pixels per point the window has twice as many.
        {{250, 150}, 240, {480, 288}, 2},
        {{250, 150}, 300, {500, 300}, 2},
        // A scale that is no scale counts as 1.
        {{250, 150}, 240, {250, 150}, 0},
        {{250, 150}, 240, {250, 150}, -2},
        // At most 1 point wide: at least 1 pixel each way.
        {{0.5, 0.4}, 100, {1, 1}},
        {{1, 2.5}, 100, {1, 2}},
        {{0, 0}, 100, {1, 1}},
        // 0.6 pixels truncate to 0, then become 1.
        {{800, 600}, 0.3, {1, 1}},
        {{800, 600}, 0, {1, 1}},
        // Truncation, not rounding: 2 x 100.9 = 201.8 and 2 x 0.75 x 100.9 = 151.35.
        {{800, 600}, 100.9, {201, 151}},
        {{800, 600}, ScreenCapturePreviewService::maximumDisplayWidth, {800, 600}},
        {{8000, 6000}, ScreenCapturePreviewService::maximumDisplayWidth, {8000, 6000}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScreenCapturePreviewService::pixelSize(c.frame, c.width, c.scale), c.pixels)
            << c.frame.width << " x " << c.frame.height << " at " << c.width << ", scale "
            << c.scale;
    }
}

TEST_F(ScreenCapturePreviewServiceTest, PicturesAreTakenAtThePixelSizeWithoutThePointer) {
    const quint32 n = addWindow(10, {100, 100, 800, 600});
    const auto outcome = capture(n, 300);
    scheduler.runUntilIdle();
    ASSERT_TRUE(outcome->value.has_value());
    EXPECT_EQ(outcome->value->size(), QSize(600, 450));
    EXPECT_EQ(
        desktop.simulatedCapture().captureRequests(),
        QStringList{QStringLiteral("window %1: 600 x 450, cursor hidden, scaled to fit").arg(n)});
}

TEST_F(ScreenCapturePreviewServiceTest, TheRatioComesFromTheCaptureSourcesFrame) {
    const quint32 n = addWindow(10, {100, 100, 800, 600});
    desktop.setWindowListBounds(n, GlobalRect{100, 100, 400, 400});
    const auto outcome = capture(n, 300);
    scheduler.runUntilIdle();
    ASSERT_TRUE(outcome->value.has_value());
    // Its width too: 400 points have 400 pixels, fewer than the 600 asked.
    EXPECT_EQ(outcome->value->size(), QSize(400, 400));
}

TEST_F(ScreenCapturePreviewServiceTest, ContentIsReusedBelowTwoSecondsAndFetchedAgainFromThen) {
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    capture(n);
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 1);
    scheduler.advance(1.9);
    capture(n);
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 1);
    scheduler.advance(0.1);
    capture(n);
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 2);
}

TEST_F(ScreenCapturePreviewServiceTest, HeldContentSurvivesEveryReuse) {
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    for (int i = 0; i < 4; ++i) {
        const auto outcome = capture(n);
        scheduler.runUntilIdle();
        EXPECT_TRUE(outcome->succeeded()) << "capture " << i;
        EXPECT_EQ(fetches(), 1) << "capture " << i;
        scheduler.advance(0.5);
    }
}

TEST_F(ScreenCapturePreviewServiceTest, TheHeldListServesEveryCaptureWhileItLasts) {
    const quint32 a = addWindow(10, {0, 0, 400, 300});
    const quint32 b = addWindow(10, {0, 0, 400, 300});
    capture(a);
    scheduler.runUntilIdle();
    const auto first = capture(a);
    const auto second = capture(b);
    scheduler.runUntilIdle();
    EXPECT_TRUE(first->succeeded());
    EXPECT_TRUE(second->succeeded());
    EXPECT_EQ(fetches(), 1);
}

TEST_F(ScreenCapturePreviewServiceTest, TheFirstCaptureAfterInvalidationFetches) {
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    capture(n);
    scheduler.runUntilIdle();
    service->invalidateContent();
    capture(n);
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 2);
}

TEST_F(ScreenCapturePreviewServiceTest, CapturesStartedTogetherShareOneFetch) {
    desktop.simulatedCapture().setContentDelay(seconds(0.5));
    std::vector<std::shared_ptr<testing::TaskOutcome<QImage>>> outcomes;
    for (int i = 0; i < 10; ++i) {
        outcomes.push_back(capture(addWindow(10, {0, 0, 400, 300})));
    }
    scheduler.runUntilIdle();
    scheduler.advance(0.5);
    EXPECT_EQ(fetches(), 1);
    for (const auto& o : outcomes) {
        EXPECT_TRUE(o->value.has_value());
    }
    // The answer is held afterwards.
    capture(desktop.stackingOrder().first());
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 1);
}

TEST_F(ScreenCapturePreviewServiceTest, AMissingWindowIsUnavailableAndTheContentStaysHeld) {
    addWindow(10, {0, 0, 400, 300});
    const auto missing = capture(4242);
    scheduler.runUntilIdle();
    const auto error = missing->errorAs<WindowServiceError>();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->localizedDescription(), QStringLiteral("The window is no longer available."));
    capture(desktop.stackingOrder().first());
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 1);
}

TEST_F(ScreenCapturePreviewServiceTest, AFetchFailureReachesEveryWaiterAndNothingIsHeld) {
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    const auto a = capture(n);
    const auto b = capture(n);
    scheduler.runUntilIdle();
    for (const auto& o : {a, b}) {
        const auto error = o->errorAs<ScreenCaptureError>();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->errorCase(), ScreenCaptureError::Case::permissionDenied);
    }
    EXPECT_EQ(fetches(), 1);
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::granted);
    const auto c = capture(n);
    scheduler.runUntilIdle();
    EXPECT_TRUE(c->value.has_value());
    EXPECT_EQ(fetches(), 2);
}

TEST_F(ScreenCapturePreviewServiceTest, PictureErrorsPassUnchangedAndKeepTheContent) {
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    desktop.simulatedCapture().failCapture(n, ScreenCaptureError::Case::windowNotViewable);
    const auto failed = capture(n);
    scheduler.runUntilIdle();
    const auto error = failed->errorAs<ScreenCaptureError>();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->errorCase(), ScreenCaptureError::Case::windowNotViewable);
    desktop.simulatedCapture().failCapture(n, std::nullopt);
    EXPECT_TRUE([&] {
        const auto again = capture(n);
        scheduler.runUntilIdle();
        return again->value.has_value();
    }());
    EXPECT_EQ(fetches(), 1);
}

TEST_F(ScreenCapturePreviewServiceTest, AFetchStartedBeforeAnInvalidationIsNotKept) {
    desktop.simulatedCapture().setContentDelay(seconds(1));
    const quint32 old = addWindow(10, {0, 0, 400, 300});
    const auto first = capture(old);
    scheduler.runUntilIdle();
    // An application action opens a window and invalidates while the first fetch runs.
    scheduler.advance(0.5);
    const quint32 opened = addWindow(10, {0, 0, 400, 300});
    service->invalidateContent();
    const auto second = capture(opened);
    scheduler.runUntilIdle();
    EXPECT_EQ(fetches(), 2);

    // The first fetch arrives: its caller is served, but its list, which lacks the new window,
    // is not kept and does not end the second fetch.
    scheduler.advance(0.6);
    EXPECT_TRUE(first->value.has_value());
    const auto third = capture(opened);
    scheduler.advance(0.5);
    EXPECT_TRUE(second->value.has_value());
    EXPECT_TRUE(third->value.has_value()) << "the new window was reported unavailable";
    EXPECT_EQ(fetches(), 2);
}

TEST_F(ScreenCapturePreviewServiceTest, WidthsThatAreNotSensibleAreRefusedBeforeAnyFetch) {
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    for (const double width :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), -1.0,
          std::nextafter(ScreenCapturePreviewService::maximumDisplayWidth, 1e9), 1e12}) {
        const auto outcome = capture(n, width);
        scheduler.runUntilIdle();
        EXPECT_TRUE(outcome->errorAs<PreviewWidthError>().has_value()) << width;
    }
    EXPECT_EQ(fetches(), 0);
    EXPECT_TRUE(desktop.simulatedCapture().captureRequests().isEmpty());
}

TEST_F(ScreenCapturePreviewServiceTest, AServiceDestroyedDuringAFetchLetsItsCallersFinish) {
    desktop.simulatedCapture().setContentDelay(seconds(1));
    const quint32 n = addWindow(10, {0, 0, 400, 300});
    const auto outcome = capture(n);
    scheduler.runUntilIdle();
    service.reset();
    scheduler.advance(1.0);
    EXPECT_TRUE(outcome->done);
}

}  // namespace
}  // namespace pellucine

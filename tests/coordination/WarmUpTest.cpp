#include <gtest/gtest.h>

#include "PreviewTest.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::follow;

class WarmUpTest : public testing::PreviewTest {
  protected:
    QCoro::Task<void> warm(QList<WindowDescriptor> list, double maxAge,
                           CancellationToken token = {}) {
        return model->warmPreviews(std::move(token), std::move(list), maxAge);
    }
    QCoro::Task<void> preload(QList<WindowDescriptor> list) {
        return model->preloadPreviews({}, std::move(list));
    }
};

TEST_F(WarmUpTest, NothingIsWarmedWhilePreviewsAreNotKeptReadyButThePreloadRuns) {
    const WindowDescriptor w = window();
    ApplicationDescriptor application;
    application.windows = {w};
    model->applications().set({application});
    model->portablePreferences().modify([](auto& p) { p.keepPreviewsReady = false; });
    run(warm({w}, 60));
    run(model->warmAllPreviews({}));
    EXPECT_TRUE(captured().isEmpty());
    EXPECT_EQ(events.count(QStringLiteral("previews-warmed")), 0);
    run(preload({w}));
    EXPECT_EQ(captured(), QList<quint32>{w.id});
    EXPECT_EQ(last("previews-preloaded").value("warmedCount"), QStringLiteral("1"));
}

TEST_F(WarmUpTest, APictureYoungerThanTheMaximumAgeIsNotTakenAgain) {
    const WindowDescriptor w = window();
    const WindowDescriptor copyOnly = window();
    cacheCopyOnly(copyOnly, 30);
    cacheAged(w, 30);
    run(warm({w, copyOnly}, 60));
    EXPECT_TRUE(captured().isEmpty());
    run(warm({w, copyOnly}, 20));
    EXPECT_EQ(captured(), (QList<quint32>{w.id, copyOnly.id}));
    EXPECT_EQ(last("previews-warmed"),
              (EventFields{
                  {"requestedCount", "2"}, {"warmedCount", "2"}, {"durationMilliseconds", "0"}}));
    EXPECT_EQ(events.count(QStringLiteral("previews-warmed")), 1);
}

TEST_F(WarmUpTest, AListWithNothingToCaptureRecordsNothing) {
    const WindowDescriptor recent = window();
    cacheAged(recent, 1);
    run(warm({window(false), recent, window(true, passwordManager)}, 60));
    EXPECT_TRUE(captured().isEmpty());
    EXPECT_TRUE(events.names().filter(QStringLiteral("previews")).isEmpty());
}

TEST_F(WarmUpTest, AWarmUpKeepsAndCountsItsPicturesAcrossSessionsTwoAtATime) {
    const QList<WindowDescriptor> three = windows(3);
    for (const WindowDescriptor& w : three) {
        setDelay(w, 1);
    }
    auto warming = follow(warm(three, 60));
    scheduler.runUntilIdle();
    EXPECT_EQ(model->runningCaptureCount(), 2);
    model->advancePreviewSessionGeneration();
    model->resetPreviews();
    settle();
    ASSERT_TRUE(warming->succeeded());
    EXPECT_EQ(last("previews-warmed").value("warmedCount"), QStringLiteral("3"));
    EXPECT_EQ(model->previewCache().entries().size(), 3u);
    EXPECT_TRUE(model->previewImages().value().isEmpty());
}

TEST_F(WarmUpTest, ACancelledWarmUpStillRecordsWhatItWarmed) {
    const QList<WindowDescriptor> four = windows(4);
    const double delays[] = {1, 3, 1, 1};
    for (int i = 0; i < 4; ++i) {
        setDelay(four[i], delays[i]);
    }
    CancellationToken token;
    auto warming = follow(warm(four, 60, token));
    scheduler.advance(1.0);
    token.cancel();
    settle();
    ASSERT_TRUE(warming->succeeded());
    // The first result started the third capture before the cancellation; no fourth.
    EXPECT_EQ(captured(), (QList<quint32>{four[0].id, four[1].id, four[2].id}));
    EXPECT_EQ(last("previews-warmed").value("requestedCount"), QStringLiteral("4"));
    EXPECT_EQ(last("previews-warmed").value("warmedCount"), QStringLiteral("3"));
}

TEST_F(WarmUpTest, WarmingEverythingTakesTheFirstWindowsUpToTheCacheCapacity) {
    ApplicationDescriptor application;
    for (quint32 id = 1; id <= 200; ++id) {
        WindowDescriptor w;
        w.id = id;
        w.isOnScreen = id != 1;
        application.windows.append(w);
    }
    model->applications().set({application});
    run(model->warmAllPreviews({}));
    // Windows the desktop does not have fail to capture, so none is warmed.
    EXPECT_EQ(last("previews-warmed").value("requestedCount"), QStringLiteral("150"));
    EXPECT_EQ(last("previews-warmed").value("warmedCount"), QStringLiteral("0"));
}

TEST_F(WarmUpTest, APreloadDecodesNoMoreCopiesThanTheHotTierHoldsNearestFirst) {
    const int hot = model->previewCache().hotCapacity();
    QList<WindowDescriptor> neighbours;
    for (int i = 0; i < hot + 4; ++i) {
        neighbours.append(window());
        cacheCopyOnly(neighbours.last());
    }
    run(preload(neighbours));
    for (int i = 0; i < neighbours.size(); ++i) {
        EXPECT_EQ(model->previewCache().entry(neighbours[i].id)->isHot(), i < hot) << i;
    }
    EXPECT_EQ(model->previewCache().hotImageCount(), hot);

    // A second preload of the same neighbours finds them decoded and decodes nothing more.
    run(preload(neighbours));
    for (int i = 0; i < neighbours.size(); ++i) {
        EXPECT_EQ(model->previewCache().entry(neighbours[i].id)->isHot(), i < hot) << i;
    }
}

TEST_F(WarmUpTest, APreloadDecodesCopiesAndCountsFreshPicturesWithoutCapturing) {
    const WindowDescriptor minimized = window(false);
    const WindowDescriptor older = window();
    const WindowDescriptor failing = window();
    const WindowDescriptor secret = window(true, passwordManager);
    cacheCopyOnly(minimized);
    cacheAged(older, 90);
    desktop.simulatedCapture().failCapture(failing.id, ScreenCaptureError::Case::windowGone);
    run(preload({minimized, older, failing, secret}));
    EXPECT_TRUE(model->previewCache().entry(minimized.id)->isHot());
    EXPECT_EQ(captured(), QList<quint32>{failing.id});
    EXPECT_TRUE(model->previewImages().value().isEmpty());
    EXPECT_EQ(last("previews-preloaded").value("requestedCount"), QStringLiteral("4"));
    EXPECT_EQ(last("previews-preloaded").value("warmedCount"), QStringLiteral("1"));
    EXPECT_EQ(last("preview-preload-failed").value("errorType"),
              QStringLiteral("pellucine.ScreenCaptureError"));

    // After the session changed, failures go unrecorded and nothing is counted.
    setDelay(failing, 1);
    events.clear();
    auto preloading = follow(preload({failing}));
    scheduler.runUntilIdle();
    model->advancePreviewSessionGeneration();
    settle();
    ASSERT_TRUE(preloading->succeeded());
    EXPECT_EQ(events.count(QStringLiteral("preview-preload-failed")), 0);
    EXPECT_EQ(last("previews-preloaded").value("warmedCount"), QStringLiteral("0"));
}

}  // namespace
}  // namespace pellucine

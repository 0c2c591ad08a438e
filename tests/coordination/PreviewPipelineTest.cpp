#include <gtest/gtest.h>

#include <algorithm>

#include "PreviewTest.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::follow;

class PreviewPipelineTest : public testing::PreviewTest {};

TEST_F(PreviewPipelineTest, AnEmptyListTakesDownEveryPictureAndCountsNothing) {
    model->previewImages().set({{7, QImage(2, 2, QImage::Format_RGB32)}});
    run(load({}));
    EXPECT_TRUE(model->previewImages().value().isEmpty());
    EXPECT_TRUE(captured().isEmpty());
    EXPECT_EQ(last("previews-loaded"), (EventFields{{"requestedCount", "0"},
                                                    {"loadedCount", "0"},
                                                    {"cachedCount", "0"},
                                                    {"lastSeenCount", "0"},
                                                    {"offscreenCount", "0"},
                                                    {"durationMilliseconds", "0"}}));
}

TEST_F(PreviewPipelineTest, CachedPicturesShowAtOnceAndOnlyThoseOlderThanTwoSecondsAreTakenAgain) {
    const WindowDescriptor published = window();
    const WindowDescriptor recent = window();
    const WindowDescriptor older = window();
    const WindowDescriptor atLifetime = window();
    const WindowDescriptor expired = window();
    model->previewImages().set({{published.id, QImage(2, 2, QImage::Format_RGB32)}});
    cacheAged(recent, 1);
    cacheAged(older, 3);
    cacheAged(atLifetime, 1200);
    cacheAged(expired, 1201);

    auto loading = follow(load({published, recent, older, atLifetime, expired}));
    // Everything is published before any capture is under way.
    EXPECT_EQ(model->previewImages().value().size(), 5);
    EXPECT_TRUE(captured().isEmpty());
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_EQ(captured(), (QList<quint32>{older.id, atLifetime.id, expired.id}));
    // The refreshed pictures replace what the cache gave.
    EXPECT_EQ(model->previewImages().value().value(older.id).width(), 40);
    EXPECT_EQ(last("previews-loaded").value("loadedCount"), QStringLiteral("5"));
    EXPECT_EQ(last("previews-loaded").value("cachedCount"), QStringLiteral("4"));
    EXPECT_EQ(last("previews-loaded").value("lastSeenCount"), QStringLiteral("1"));
}

TEST_F(PreviewPipelineTest, FreshCachedPicturesArePublishedInOneChangeAndALoadCountsThemCached) {
    const WindowDescriptor recent = window();
    const WindowDescriptor atLifetime = window();
    const WindowDescriptor expired = window();
    const WindowDescriptor minimized = window(false);
    const WindowDescriptor copyOnly = window();
    const WindowDescriptor uncached = window();
    const WindowDescriptor privateWindow = window(true, passwordManager);
    cacheCopyOnly(copyOnly);
    cacheAged(recent, 1);
    cacheAged(atLifetime, 1200);
    cacheAged(expired, 1201);
    cacheAged(minimized, 1);
    cacheAged(privateWindow, 1);
    int changes = 0;
    const Subscription counting =
        model->previewImages().subscribe([&](const PreviewImages&) { ++changes; });
    changes = 0;

    const QList<WindowDescriptor> all{recent,   atLifetime, expired,      minimized,
                                      copyOnly, uncached,   privateWindow};
    model->publishFreshPictures(all);
    EXPECT_EQ(changes, 1);
    QList<quint32> published = model->previewImages().value().keys();
    std::sort(published.begin(), published.end());
    EXPECT_EQ(published, (QList<quint32>{recent.id, atLifetime.id}));
    // Nothing new to publish: no change is announced.
    model->publishFreshPictures(all);
    EXPECT_EQ(changes, 1);

    auto loading = follow(load(all));
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_EQ(last("previews-loaded").value("cachedCount"), QStringLiteral("2"));
    EXPECT_FALSE(isPublished(privateWindow));
    // The one at its lifetime is still taken again, as when the load publishes it itself.
    EXPECT_TRUE(captured().contains(atLifetime.id));
    EXPECT_FALSE(captured().contains(recent.id));
}

TEST_F(PreviewPipelineTest, JpegCopiesAreDecodedOffTheMainThreadAndAFailedDecodeIsCaptured) {
    const WindowDescriptor minimized = window(false);
    const WindowDescriptor onScreen = window();
    cacheCopyOnly(minimized);
    cacheCopyOnly(onScreen);

    auto loading = follow(load({minimized, onScreen}));
    scheduler.runUntilIdle();
    EXPECT_FALSE(isPublished(minimized));
    ASSERT_EQ(executor.pendingCount(), 2u);
    executor.runJob(0);
    desktop.simulatedImageCoding().setDecodingFails(true);
    executor.runJob(0);
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_TRUE(isPublished(minimized));
    EXPECT_TRUE(model->previewCache().entry(minimized.id)->isHot());
    EXPECT_TRUE(isPublished(onScreen));
    // Only the on-screen window is taken again; the minimized one never.
    EXPECT_EQ(captured(), QList<quint32>{onScreen.id});
    EXPECT_EQ(last("previews-loaded").value("lastSeenCount"), QStringLiteral("1"));
    EXPECT_EQ(last("previews-loaded").value("offscreenCount"), QStringLiteral("1"));
}

TEST_F(PreviewPipelineTest, PasswordManagersAreNeitherPicturedNorCountedExceptOffScreen) {
    const WindowDescriptor onScreen = window(true, passwordManager);
    const WindowDescriptor minimized = window(false, passwordManager);
    const WindowDescriptor unnamed = window(true, std::nullopt);
    cacheAged(onScreen, 5);
    model->previewImages().set({{onScreen.id, QImage(2, 2, QImage::Format_RGB32)}});
    run(load({onScreen, minimized, unnamed}));
    EXPECT_FALSE(isPublished(onScreen));
    EXPECT_TRUE(isPublished(unnamed));
    EXPECT_EQ(captured(), QList<quint32>{unnamed.id});
    EXPECT_EQ(last("previews-loaded").value("loadedCount"), QStringLiteral("1"));
    EXPECT_EQ(last("previews-loaded").value("offscreenCount"), QStringLiteral("1"));

    model->portablePreferences().modify([](auto& p) { p.keepPasswordManagersPrivate = false; });
    run(load({onScreen, minimized}));
    EXPECT_TRUE(isPublished(onScreen));
}

TEST_F(PreviewPipelineTest, KeepingPasswordManagersPrivateTakesDownTheirPicturesAtOnce) {
    model->portablePreferences().modify([](auto& p) { p.keepPasswordManagersPrivate = false; });
    const WindowDescriptor shown = window(true, passwordManager);
    const WindowDescriptor capturing = window(true, passwordManager);
    const WindowDescriptor other = window();
    ApplicationDescriptor application;
    application.processIdentifier = pid;
    application.windows = {shown, capturing, other};
    model->applications().set({application});
    run(load({shown, other}));
    ASSERT_TRUE(isPublished(shown));
    ASSERT_TRUE(model->previewCache().entry(shown.id));

    setDelay(capturing, 1);
    auto late = follow(load({shown, capturing, other}));
    scheduler.runUntilIdle();
    model->portablePreferences().modify([](auto& p) { p.keepPasswordManagersPrivate = true; });
    EXPECT_FALSE(isPublished(shown));
    EXPECT_TRUE(isPublished(other));
    EXPECT_FALSE(model->previewCache().entry(shown.id));
    // The capture under way finishes but its picture is neither kept nor shown.
    settle();
    ASSERT_TRUE(late->succeeded());
    EXPECT_FALSE(isPublished(capturing));
    EXPECT_FALSE(model->previewCache().entry(capturing.id));
}

TEST_F(PreviewPipelineTest, AtMostFourCapturesRunAndEachFinishedOneStartsTheNextInListOrder) {
    const QList<WindowDescriptor> seven = windows(7);
    const double delays[] = {4, 1, 3, 2, 1, 1, 1};
    for (int i = 0; i < 7; ++i) {
        setDelay(seven[i], delays[i]);
    }
    auto loading = follow(load(seven));
    scheduler.runUntilIdle();
    EXPECT_EQ(captured(), (QList<quint32>{seven[0].id, seven[1].id, seven[2].id, seven[3].id}));
    EXPECT_EQ(model->runningCaptureCount(), 4);
    scheduler.advance(1.0);
    EXPECT_EQ(captured().size(), 5);
    EXPECT_EQ(captured().last(), seven[4].id);
    EXPECT_EQ(model->runningCaptureCount(), 4);
    scheduler.advance(1.0);
    EXPECT_EQ(captured().mid(5), (QList<quint32>{seven[5].id, seven[6].id}));
    EXPECT_LE(model->runningCaptureCount(), 4);
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_EQ(model->previewImages().value().size(), 7);
    EXPECT_EQ(model->runningCaptureCount(), 0);
}

TEST_F(PreviewPipelineTest, TwoLoadsOfOneWindowShareItsCaptureAtTheWidthItStartedWith) {
    const WindowDescriptor w = window();
    setDelay(w, 1);
    auto first = follow(load({w}));
    scheduler.runUntilIdle();
    model->portablePreferences().modify([](auto& p) { p.previewWidth = 30; });
    auto second = follow(load({w}));
    settle();
    ASSERT_TRUE(first->succeeded() && second->succeeded());
    EXPECT_EQ(captured(), QList<quint32>{w.id});
    EXPECT_EQ(model->previewImages().value().value(w.id).width(), 40);
    EXPECT_EQ(events.count(QStringLiteral("previews-loaded")), 2);
    EXPECT_EQ(last("previews-loaded").value("loadedCount"), QStringLiteral("1"));
}

TEST_F(PreviewPipelineTest, APictureOfAnEndedSessionIsCachedButNotShown) {
    const WindowDescriptor w = window();
    setDelay(w, 1);
    auto loading = follow(load({w}));
    scheduler.runUntilIdle();
    model->advancePreviewSessionGeneration();
    model->resetPreviews();
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_FALSE(isPublished(w));
    EXPECT_TRUE(model->previewCache().entry(w.id));
    EXPECT_EQ(events.count(QStringLiteral("preview-capture-failed")), 0);
    EXPECT_EQ(last("previews-loaded").value("loadedCount"), QStringLiteral("0"));
}

TEST_F(PreviewPipelineTest, AFailedCaptureIsRecordedInTheFirstPassOnly) {
    const WindowDescriptor failing = window();
    const WindowDescriptor vanishing = window();
    const WindowDescriptor stale = window();
    desktop.simulatedCapture().failCapture(failing.id, ScreenCaptureError::Case::failed);
    setDelay(vanishing, 1);
    cacheAged(stale, 10);
    desktop.simulatedCapture().failCapture(stale.id, ScreenCaptureError::Case::failed);
    auto loading = follow(load({failing, vanishing, stale}));
    scheduler.runUntilIdle();
    desktop.removeWindow(vanishing.id);
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_EQ(events.count(QStringLiteral("preview-capture-failed")), 2);
    EXPECT_EQ(last("preview-capture-failed").value("errorType"),
              QStringLiteral("pellucine.ScreenCaptureError"));
    EXPECT_TRUE(isPublished(stale));
    EXPECT_EQ(model->previewImages().value().size(), 1);
}

TEST_F(PreviewPipelineTest, TheRefreshPassWaitsForTheFirstPass) {
    const WindowDescriptor stale = window();
    const WindowDescriptor missing = window();
    cacheAged(stale, 10);
    setDelay(missing, 2);
    auto loading = follow(load({stale, missing}));
    scheduler.advance(1.0);
    EXPECT_EQ(captured(), QList<quint32>{missing.id});
    settle();
    EXPECT_EQ(captured(), (QList<quint32>{missing.id, stale.id}));
}

TEST_F(PreviewPipelineTest, ACancelledLoadStartsNoFurtherCapturesAndPublishesNothing) {
    const QList<WindowDescriptor> five = windows(5);
    for (const WindowDescriptor& w : five) {
        setDelay(w, 1);
    }
    const WindowDescriptor stale = window();
    const WindowDescriptor copyOnly = window(false);
    cacheCopyOnly(copyOnly);
    cacheAged(stale, 10);
    CancellationToken token;
    auto loading = follow(load(QList<WindowDescriptor>{stale} + five, token));
    scheduler.runUntilIdle();
    token.cancel();
    settle();
    ASSERT_TRUE(loading->succeeded());
    // The four running captures finish into the cache; the fifth and the refresh never start.
    EXPECT_EQ(captured(), (QList<quint32>{five[0].id, five[1].id, five[2].id, five[3].id}));
    EXPECT_TRUE(model->previewCache().entry(five[0].id)->isHot());
    EXPECT_EQ(model->previewImages().value().keys(), QList<quint32>{stale.id});
    EXPECT_EQ(last("previews-loaded").value("loadedCount"), QStringLiteral("1"));

    // Cancelled before it starts: nothing is decoded or captured at all.
    CancellationToken cancelled;
    cancelled.cancel();
    run(load({copyOnly, five[4]}, cancelled));
    EXPECT_EQ(captured().size(), 4);
    EXPECT_FALSE(isPublished(copyOnly));
    EXPECT_EQ(desktop.simulatedImageCoding().decodeCount(), 0);
}

TEST_F(PreviewPipelineTest, ALoadAfterACancelledOneRetakesTheOldPicturesItLeftShown) {
    const WindowDescriptor stale = window();
    const WindowDescriptor current = window();
    const WindowDescriptor missing = window();
    cacheAged(stale, 3);
    cacheAged(current, 1);
    setDelay(missing, 1);
    CancellationToken first;
    auto cancelled = follow(load({stale, current, missing}, first));
    scheduler.runUntilIdle();
    ASSERT_TRUE(isPublished(stale));
    EXPECT_TRUE(model->needsPictures({stale, current}));
    first.cancel();

    auto replacement = follow(load({stale, current, missing}));
    settle();
    ASSERT_TRUE(cancelled->succeeded() && replacement->succeeded());
    // The running capture is shared, and the old picture is taken again; the young one not.
    EXPECT_EQ(captured(), (QList<quint32>{missing.id, stale.id}));
    EXPECT_EQ(model->previewImages().value().value(stale.id).width(), 40);
    EXPECT_FALSE(model->needsPictures({stale, current, missing}));

    // Two seconds on, every picture shown is due again.
    scheduler.advance(2.5);
    EXPECT_TRUE(model->needsPictures({missing}));
}

TEST_F(PreviewPipelineTest, APictureTakenSinceTheShownOneReplacesItWithoutACapture) {
    const WindowDescriptor w = window();
    const WindowDescriptor minimized = window(false);
    model->previewImages().set({{w.id, QImage(2, 2, QImage::Format_RGB32)}});
    cacheAged(w, 1);
    EXPECT_TRUE(model->needsPictures({w}));
    run(load({w}));
    EXPECT_TRUE(captured().isEmpty());
    EXPECT_EQ(model->previewImages().value().value(w.id).width(), 8);
    EXPECT_FALSE(model->needsPictures({w}));

    // Off screen: only a cached picture is worth a load.
    EXPECT_FALSE(model->needsPictures({minimized}));
    cacheAged(minimized, 600);
    EXPECT_TRUE(model->needsPictures({minimized}));
    run(load({minimized}));
    EXPECT_FALSE(model->needsPictures({minimized}));
}

TEST_F(PreviewPipelineTest, AWindowActionKeepsEveryPictureAndRetakesOnlyTheActedOnWindows) {
    const WindowDescriptor other = window();
    WindowDescriptor acted = window();
    run(load({other, acted}));
    ASSERT_EQ(captured().size(), 2);
    const qint64 generation = model->previewSessionGeneration();

    // Minimized: it keeps its last picture, and nothing is taken again.
    model->windowActedOn(WindowAction::minimize(), acted);
    EXPECT_EQ(model->previewSessionGeneration(), generation + 1);
    EXPECT_EQ(model->previewImages().value().size(), 2);
    acted.isOnScreen = false;
    acted.isMinimized = true;
    EXPECT_FALSE(model->needsPictures({other, acted}));
    run(load({other, acted}));
    EXPECT_EQ(captured().size(), 2);
    EXPECT_TRUE(isPublished(acted));

    // Restored: its picture is taken again at once, young as it is; the other's is not.
    model->windowActedOn(WindowAction::restore(), acted);
    acted.isOnScreen = true;
    acted.isMinimized = false;
    EXPECT_TRUE(model->needsPictures({other, acted}));
    run(load({other, acted}));
    EXPECT_EQ(captured(), (QList<quint32>{other.id, acted.id, acted.id}));
    EXPECT_FALSE(model->needsPictures({other, acted}));

    // Closed: only its picture goes.
    model->windowActedOn(WindowAction::close(), acted);
    EXPECT_EQ(model->previewImages().value().keys(), QList<quint32>{other.id});
}

TEST_F(PreviewPipelineTest, APictureTakenWhileTheWindowHadAnotherSizeIsTakenAgainWhateverItsAge) {
    WindowDescriptor w = window();
    w.frame = {0, 0, 400, 300};
    run(load({w}));
    ASSERT_EQ(captured().size(), 1);

    // Moved, it keeps its picture.
    w.frame.x = 50;
    EXPECT_FALSE(model->needsPictures({w}));
    // Resized by anyone, its young picture is taken again in the glance showing it.
    w.frame.width = 640;
    EXPECT_TRUE(model->needsPictures({w}));
    run(load({w}));
    EXPECT_EQ(captured().size(), 2);
    EXPECT_FALSE(model->needsPictures({w}));

    // A glance that starts from the cache shows the picture at once, then takes it again.
    model->previewImages().set({});
    w.frame.height = 700;
    auto loading = follow(load({w}));
    EXPECT_TRUE(isPublished(w));
    settle();
    ASSERT_TRUE(loading->succeeded());
    EXPECT_EQ(captured().size(), 3);
}

TEST_F(PreviewPipelineTest, ARestoredWindowKeepsItsLastPictureUntilItHasDrawn) {
    WindowDescriptor restored = window();
    run(load({restored}));
    const qint64 shownKey = model->previewImages().value().value(restored.id).cacheKey();
    model->windowActedOn(WindowAction::restore(), restored);
    // Back on screen, blank until it draws a moment later.
    desktop.simulatedCapture().showUndrawn(restored.id);
    auto loading = follow(load({restored}));
    scheduler.advance(0.3);
    EXPECT_FALSE(loading->done);
    EXPECT_EQ(model->previewImages().value().value(restored.id).cacheKey(), shownKey);
    desktop.simulatedCapture().draw(restored.id);
    scheduler.advance(DrawSettling::quietSpell);
    settle();
    ASSERT_TRUE(loading->succeeded());
    const QImage picture = model->previewImages().value().value(restored.id);
    EXPECT_NE(picture.cacheKey(), shownKey);
    EXPECT_EQ(picture.pixel(picture.width() / 2, picture.height() / 2),
              SimulatedScreenCapture::colourOf(restored.id).rgba());
}

TEST_F(PreviewPipelineTest, ALateJoinerNeverDropsANewerCaptureOfItsWindow) {
    const WindowDescriptor w = window();
    setDelay(w, 1);
    const qint64 generation = model->previewSessionGeneration();
    auto first = follow(model->previewImage({}, w, generation, true, true));
    auto joiner = follow(model->previewImage({}, w, generation, true, true));
    scheduler.runUntilIdle();
    // Right when the first capture finishes, before its callers resume, a forced capture of the
    // window starts again.
    std::shared_ptr<testing::TaskOutcome<QImage>> second;
    scheduler.postAfter(
        seconds(1), [&] { second = follow(model->previewImage({}, w, generation, true, true)); });
    scheduler.advance(1.0);
    ASSERT_TRUE(first->succeeded() && joiner->succeeded());
    ASSERT_TRUE(second);
    EXPECT_TRUE(model->isCapturing(w.id));
    auto third = follow(model->previewImage({}, w, generation, true, true));
    settle();
    ASSERT_TRUE(second->succeeded() && third->succeeded());
    EXPECT_EQ(captured(), (QList<quint32>{w.id, w.id}));
}

TEST_F(PreviewPipelineTest, ResettingKeepsTheCacheOnlyWhilePreviewsAreKeptReady) {
    const WindowDescriptor w = window();
    run(load({w}));
    const int fetches = desktop.simulatedCapture().contentFetchCount();
    model->resetPreviews();
    EXPECT_TRUE(model->previewImages().value().isEmpty());
    EXPECT_TRUE(model->previewCache().entry(w.id));

    model->portablePreferences().modify([](auto& p) { p.keepPreviewsReady = false; });
    model->resetPreviews();
    EXPECT_TRUE(model->previewCache().entries().empty());
    // The capture service fetches a new list of windows for the next picture.
    run(model->previewImage({}, w, model->previewSessionGeneration(), false, false));
    EXPECT_EQ(desktop.simulatedCapture().contentFetchCount(), fetches + 1);
}

}  // namespace
}  // namespace pellucine

#include <gtest/gtest.h>

#include <QColor>

#include "base/ManualExecutor.h"
#include "base/ManualScheduler.h"
#include "core/PreviewCache.h"
#include "platform/sim/SimulatedImageCoding.h"

namespace pellucine {
namespace {

class PreviewCacheTest : public ::testing::Test {
  protected:
    static QImage picture(QColor colour = Qt::darkCyan, QSize size = {64, 48}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    ContinuousInstant now() const { return scheduler.now(); }
    // Stores a picture at the current instant, then moves on a second so that uses differ.
    void storeNow(quint32 window) {
        cache.store(picture(), window, now());
        scheduler.clocks().advance(seconds(1));
    }
    // Makes every pending JPEG copy and attaches it.
    void finishCopies() {
        executor.runAll();
        scheduler.runUntilIdle();
    }
    bool isHot(quint32 window) const { return cache.entry(window)->isHot(); }

    ManualScheduler scheduler;
    ManualExecutor executor{scheduler};
    SimulatedImageCoding coding;
    PreviewCache cache{coding, executor, scheduler.clock()};
};

TEST_F(PreviewCacheTest, APictureIsFreshUpToItsTimeToLiveInclusiveAndCachedAfterwards) {
    const ContinuousInstant taken = now();
    cache.store(picture(), 1, taken);
    EXPECT_TRUE(cache.freshImage(1, taken + seconds(1200)).has_value());
    EXPECT_FALSE(cache.freshImage(1, taken + seconds(1200) + std::chrono::milliseconds(1)));
    EXPECT_TRUE(cache.cachedImage(1).has_value());
    EXPECT_TRUE(cache.entries().contains(1)) << "an old entry is not removed by a lookup";
}

TEST_F(PreviewCacheTest, SettingTheDateBackNeverMakesAnOldPictureFresh) {
    const ContinuousInstant taken = now();
    cache.store(picture(), 1, taken);
    scheduler.clocks().advance(seconds(1201));
    scheduler.clocks().wall.set(scheduler.clocks().wall.now().addDays(-1));
    EXPECT_FALSE(cache.freshImage(1, now()).has_value());
}

TEST_F(PreviewCacheTest, HitsMarkUseAndMissesChangeNothing) {
    storeNow(1);
    const ContinuousInstant before = cache.entry(1)->lastUsed;
    EXPECT_FALSE(cache.freshImage(2, now()).has_value());
    EXPECT_FALSE(cache.cachedImage(2).has_value());
    // A stale lookup is a miss too.
    EXPECT_FALSE(cache.freshImage(1, now() + seconds(5000)).has_value());
    EXPECT_EQ(cache.entry(1)->lastUsed, before);

    const ContinuousInstant asked = now() + seconds(3);
    ASSERT_TRUE(cache.freshImage(1, asked).has_value());
    EXPECT_EQ(cache.entry(1)->lastUsed, asked) << "the given instant, not the clock's";
    scheduler.clocks().advance(seconds(7));
    ASSERT_TRUE(cache.cachedImage(1).has_value());
    EXPECT_EQ(cache.entry(1)->lastUsed, now());
}

TEST_F(PreviewCacheTest, TheHundredFiftyFirstStoreEvictsTheLeastRecentlyUsed) {
    for (quint32 w = 1; w <= 150; ++w) {
        storeNow(w);
    }
    // A recent hit protects the oldest entry; the second oldest goes instead.
    ASSERT_TRUE(cache.cachedImage(1).has_value());
    storeNow(151);
    EXPECT_EQ(cache.entries().size(), 150u);
    EXPECT_TRUE(cache.entries().contains(1));
    EXPECT_FALSE(cache.entries().contains(2));
    EXPECT_TRUE(cache.entries().contains(151));
    // Replacing an entry adds none.
    storeNow(151);
    EXPECT_EQ(cache.entries().size(), 150u);
    EXPECT_TRUE(cache.entries().contains(3));
}

TEST_F(PreviewCacheTest, OnlyEntriesWithACopyLoseTheirPictureToTheHotTier) {
    for (quint32 w = 1; w <= 17; ++w) {
        storeNow(w);
    }
    // Every copy but the oldest entry's arrives.
    EXPECT_EQ(executor.pendingCount(), 17u);
    while (executor.pendingCount() > 1) {
        executor.runJob(1);
    }
    EXPECT_EQ(cache.hotImageCount(), 17);
    scheduler.runUntilIdle();
    EXPECT_EQ(cache.hotImageCount(), 16);
    EXPECT_TRUE(isHot(1));
    EXPECT_FALSE(isHot(2));
}

TEST_F(PreviewCacheTest, TheHotTierOverflowsWhileCopiesAreMissing) {
    for (quint32 w = 1; w <= 20; ++w) {
        storeNow(w);
    }
    executor.runJob(5);
    executor.runJob(9);
    scheduler.runUntilIdle();
    EXPECT_EQ(cache.hotImageCount(), 18);
    EXPECT_FALSE(isHot(6));
    EXPECT_FALSE(isHot(11));
}

TEST_F(PreviewCacheTest, ACopyOfAnEarlierCaptureIsDroppedOnArrival) {
    cache.store(picture(Qt::red), 1, now());
    scheduler.clocks().advance(seconds(1));
    cache.store(picture(Qt::blue), 1, now());
    executor.runJob(0);
    scheduler.runUntilIdle();
    EXPECT_FALSE(cache.entry(1)->compressed.has_value());
    finishCopies();
    const auto decoded = cache.decodeImage(*cache.entry(1)->compressed);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_GT(QColor(decoded->pixel(10, 10)).blue(), 200);
}

TEST_F(PreviewCacheTest, CapturesAtTheSameInstantAreStillToldApart) {
    const ContinuousInstant t = now();
    cache.store(picture(Qt::red), 1, t);
    cache.store(picture(Qt::blue), 1, t);
    executor.runJob(0);
    scheduler.runUntilIdle();
    EXPECT_FALSE(cache.entry(1)->compressed.has_value());
}

TEST_F(PreviewCacheTest, StoringAgainStartsWithoutACopy) {
    storeNow(1);
    finishCopies();
    ASSERT_TRUE(cache.entry(1)->compressed.has_value());
    storeNow(1);
    EXPECT_FALSE(cache.entry(1)->compressed.has_value());
    EXPECT_TRUE(isHot(1));
}

TEST_F(PreviewCacheTest, APictureThatCannotBeCompressedStaysDecoded) {
    coding.setEncodingFails(true);
    for (quint32 w = 1; w <= 20; ++w) {
        storeNow(w);
    }
    finishCopies();
    EXPECT_EQ(cache.hotImageCount(), 20);
    cache.dropHotImages();
    EXPECT_EQ(cache.hotImageCount(), 20);
}

TEST_F(PreviewCacheTest, AMemoryWarningDropsOnlyWhatACopyCanRebuild) {
    storeNow(1);
    storeNow(2);
    executor.runJob(0);
    scheduler.runUntilIdle();
    cache.dropHotImages();
    EXPECT_FALSE(isHot(1));
    EXPECT_TRUE(isHot(2));
    EXPECT_FALSE(cache.cachedImage(1).has_value());
}

TEST_F(PreviewCacheTest, PruningKeepsOnlyTheNamedWindows) {
    storeNow(1);
    storeNow(2);
    storeNow(3);
    cache.prune({2, 9});
    EXPECT_EQ(cache.entries().size(), 1u);
    EXPECT_TRUE(cache.entries().contains(2));
    cache.prune({});
    EXPECT_TRUE(cache.entries().empty());
    // A copy that arrives for a pruned window is dropped.
    finishCopies();
    EXPECT_TRUE(cache.entries().empty());
}

TEST_F(PreviewCacheTest, ADecodedCopyGoesBackOnlyToTheCaptureItCameFrom) {
    for (quint32 w = 1; w <= 17; ++w) {
        storeNow(w);
    }
    finishCopies();
    ASSERT_FALSE(isHot(1));
    const PreviewCache::Entry first = *cache.entry(1);
    const auto decoded = cache.decodeImage(*first.compressed);
    ASSERT_TRUE(decoded.has_value());
    cache.restoreDecodedImage(1, first.capture + 1, *decoded);
    EXPECT_FALSE(isHot(1));
    cache.restoreDecodedImage(1, first.capture, *decoded);
    // Now the most recently used: it stays and the next least recently used gives way.
    EXPECT_TRUE(isHot(1));
    EXPECT_EQ(cache.entry(1)->lastUsed, now());
    EXPECT_EQ(cache.hotImageCount(), 16);
    EXPECT_FALSE(isHot(2));
    EXPECT_TRUE(isHot(3));
}

TEST_F(PreviewCacheTest, JpegCopiesRoundTripAndBadDataDecodesToNothing) {
    const QImage original = picture(QColor(200, 40, 90), {300, 200});
    const auto copy = cache.compressImage(original);
    ASSERT_TRUE(copy.has_value());
    EXPECT_TRUE(copy->startsWith("\xFF\xD8")) << "a JPEG stream";
    EXPECT_LT(copy->size(), original.sizeInBytes() / 10);
    const auto decoded = cache.decodeImage(*copy);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->size(), original.size());
    const QColor centre = decoded->pixelColor(150, 100);
    EXPECT_NEAR(centre.red(), 200, 6);
    EXPECT_NEAR(centre.green(), 40, 6);
    EXPECT_NEAR(centre.blue(), 90, 6);

    EXPECT_FALSE(cache.decodeImage(QByteArray()).has_value());
    EXPECT_FALSE(cache.decodeImage(QByteArray("not a picture")).has_value());
    EXPECT_FALSE(cache.decodeImage(copy->left(copy->size() / 3)).has_value());
    EXPECT_FALSE(cache.compressImage(QImage()).has_value());
}

TEST_F(PreviewCacheTest, ACopyFinishingAfterTheCacheIsGoneIsDropped) {
    auto owned = std::make_unique<PreviewCache>(coding, executor, scheduler.clock());
    owned->store(picture(), 1, now());
    owned.reset();
    finishCopies();
    EXPECT_EQ(coding.encodeCount(), 1);
}

}  // namespace
}  // namespace pellucine

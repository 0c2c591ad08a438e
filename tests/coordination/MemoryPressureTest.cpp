#include <gtest/gtest.h>

#include "ModelFixture.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

class MemoryPressureTest : public testing::ModelFixture {
  protected:
    // Stores pictures for windows 1…count; the first `withCopy` get their JPEG copies.
    void fillCache(int count, int withCopy) {
        for (int i = 1; i <= count; ++i) {
            QImage image(16, 12, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 10, 200, 200));
            model->previewCache().store(image, static_cast<quint32>(i), scheduler.now());
        }
        for (int i = 0; i < withCopy; ++i) {
            executor.runJob(0);
        }
        scheduler.runUntilIdle();
    }

    EventFields lastDrop() {
        const auto event = events.last(QStringLiteral("preview-cache-dropped"));
        return event ? event->fields : EventFields{};
    }
};

TEST_F(MemoryPressureTest, AWarningDropsOnlyThePicturesACopyCanRebuild) {
    makeModel();
    fillCache(14, 10);
    ASSERT_EQ(model->previewCache().hotImageCount(), 14);
    model->previewImages().set({{1, QImage(2, 2, QImage::Format_RGB32)}});
    desktop.simulatedMemoryPressure().fire({.warning = true});
    scheduler.runUntilIdle();
    EXPECT_EQ(model->previewCache().hotImageCount(), 4);
    EXPECT_EQ(model->previewCache().entries().size(), 14u);
    EXPECT_EQ(model->previewImages().value().size(), 1);
    EXPECT_EQ(lastDrop(),
              (EventFields{
                  {"reason", "memory-warning"}, {"requestedCount", "14"}, {"cachedCount", "14"}}));
}

TEST_F(MemoryPressureTest, ACriticalEventEmptiesTheCacheButNotThePublishedPictures) {
    makeModel();
    fillCache(5, 2);
    model->previewImages().set({{1, QImage(2, 2, QImage::Format_RGB32)}});
    // Both levels in one event count as critical.
    desktop.simulatedMemoryPressure().fire({.warning = true, .critical = true});
    scheduler.runUntilIdle();
    EXPECT_TRUE(model->previewCache().entries().empty());
    EXPECT_EQ(model->previewImages().value().size(), 1);
    EXPECT_EQ(lastDrop(),
              (EventFields{
                  {"reason", "memory-critical"}, {"requestedCount", "5"}, {"cachedCount", "0"}}));
}

TEST_F(MemoryPressureTest, AWarningOnAnEmptyCacheIsStillRecorded) {
    makeModel();
    model->handleMemoryPressure(false);
    EXPECT_EQ(
        lastDrop(),
        (EventFields{{"reason", "memory-warning"}, {"requestedCount", "0"}, {"cachedCount", "0"}}));
    EXPECT_EQ(events.count(QStringLiteral("memory-pressure-unavailable")), 0);
}

TEST_F(MemoryPressureTest, NoEventReachesAModelThatIsGone) {
    makeModel();
    desktop.simulatedMemoryPressure().fire({.critical = true});
    model.reset();
    scheduler.runUntilIdle();
    EXPECT_EQ(events.count(QStringLiteral("preview-cache-dropped")), 0);
}

}  // namespace
}  // namespace pellucine

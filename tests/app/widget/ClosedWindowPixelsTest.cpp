#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QPainter>
#include <QTest>

#include "app/ClosedWindowPixels.h"

namespace pellucine {
namespace {

// Paints itself in one colour, so that a repaint after showing again can be seen.
class PaintedWindow : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::darkCyan);
    }
};

class ClosedWindowPixelsTest : public ::testing::Test {
  protected:
    ClosedWindowPixelsTest() {
        window.resize(300, 200);
        ClosedWindowPixels::install(window);
        ClosedWindowPixels::install(window);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QApplication::processEvents();
    }

    QSize storeSize() const { return window.backingStore()->size(); }

    PaintedWindow window;
};

TEST_F(ClosedWindowPixelsTest, ABufferShrinksOnceTheWindowIsClosedAndComesBackWholeWhenShown) {
    ASSERT_EQ(storeSize(), QSize(300, 200));
    window.close();
    // Still whole until control is back in the loop: a close answered by showing again keeps it.
    EXPECT_EQ(storeSize(), QSize(300, 200));
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    EXPECT_EQ(storeSize(), QSize(1, 1));

    const int paints = window.paints;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.repaint();
    EXPECT_EQ(storeSize(), QSize(300, 200));
    EXPECT_GT(window.paints, paints);
}

TEST_F(ClosedWindowPixelsTest, AWindowHiddenAndShownAgainBeforeTheLoopRunsKeepsItsBuffer) {
    window.hide();
    window.show();
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    EXPECT_EQ(storeSize(), QSize(300, 200));
    // Releasing a shown window does nothing either.
    ClosedWindowPixels::release(window);
    EXPECT_EQ(storeSize(), QSize(300, 200));
}

}  // namespace
}  // namespace pellucine

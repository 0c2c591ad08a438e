#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "app/BackgroundMove.h"

namespace pellucine {
namespace {

TEST(BackgroundMoveTest, OnlyADragPastTheDistanceWithTheButtonDownMoves) {
    EXPECT_FALSE(BackgroundMove::movesWindow({10, 10}, {10, 10}, true, 10));
    EXPECT_FALSE(BackgroundMove::movesWindow({10, 10}, {16, 13}, true, 10));
    EXPECT_TRUE(BackgroundMove::movesWindow({10, 10}, {16, 14}, true, 10));
    EXPECT_TRUE(BackgroundMove::movesWindow({10, 10}, {0, 10}, true, 10));
    EXPECT_FALSE(BackgroundMove::movesWindow({10, 10}, {200, 10}, false, 10));
}

class BackgroundMoveWindow : public ::testing::Test {
  protected:
    BackgroundMoveWindow() {
        window.resize(400, 300);
        BackgroundMove::install(window, [this](QWindow&, QPoint pointer) {
            movedFrom = pointer;
            return ++moves, true;
        });
        // A second install keeps the first.
        BackgroundMove::install(window, [](QWindow&, QPoint) { return false; });
        button = new QPushButton(QStringLiteral("Press"), &window);
        button->setGeometry(200, 150, 100, 40);
        window.show();
        QApplication::sendPostedEvents();
    }

    void press(QPoint at) { QTest::mousePress(&window, Qt::LeftButton, {}, at); }
    void release(QPoint at) { QTest::mouseRelease(&window, Qt::LeftButton, {}, at); }
    void drag(QPoint to, Qt::MouseButtons held = Qt::LeftButton) {
        QMouseEvent move(QEvent::MouseMove, to, window.mapToGlobal(to), Qt::NoButton, held, {});
        QApplication::sendEvent(&window, &move);
    }

    QWidget window;
    QPushButton* button = nullptr;
    int moves = 0;
    // Where the pointer was when the window manager took the move over.
    QPoint movedFrom;
    const int distance = QApplication::startDragDistance();
};

TEST_F(BackgroundMoveWindow, AQuickClickOrAShortWobbleNeverStartsAMove) {
    // Press and release arriving together, as a tap sends them.
    press({40, 60});
    release({40, 60});
    drag({40 + 3 * distance, 60}, Qt::RightButton);
    EXPECT_EQ(moves, 0);
    press({40, 60});
    drag({40 + distance - 1, 60});
    release({40 + distance - 1, 60});
    EXPECT_EQ(moves, 0);
    // A right-button drag is not a move either.
    QTest::mousePress(&window, Qt::RightButton, {}, {40, 60});
    drag({40 + 3 * distance, 60}, Qt::RightButton);
    QTest::mouseRelease(&window, Qt::RightButton, {}, {40 + 3 * distance, 60});
    EXPECT_EQ(moves, 0);
}

TEST_F(BackgroundMoveWindow, ADragStartsOneMoveAndAButtonKeepsItsPress) {
    const QPoint from = window.windowHandle()->framePosition();
    press({40, 60});
    const QPoint pointer = window.mapToGlobal(QPoint(40 + distance, 63));
    drag({40 + distance, 63});
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(movedFrom, pointer);
    // The window has caught up with the pointer before the window manager takes over.
    EXPECT_EQ(window.windowHandle()->framePosition(), from + QPoint(distance, 3));
    drag({40 + 5 * distance, 60});
    EXPECT_EQ(moves, 1);
    release({40 + 5 * distance, 60});

    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    QTest::mousePress(button, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(button, {10 + 3 * distance, 10});
    QTest::mouseRelease(button, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(moves, 1);
}

}  // namespace
}  // namespace pellucine

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include "Sampling.h"
#include "design/FadingScrollView.h"
#include "design/Yard.h"

namespace pellucine {
namespace {

TEST(ScrollEdges, IgnoreALittleOverscrollAndLessThanAPointHidden) {
    // Short content.
    EXPECT_EQ(ScrollEdges::of(0, 100, 200), (ScrollEdges{false, false}));
    // Tall content at the top, then scrolled by 6 and by a little more.
    EXPECT_EQ(ScrollEdges::of(0, 500, 200), (ScrollEdges{false, true}));
    EXPECT_EQ(ScrollEdges::of(-6, 494, 200), (ScrollEdges{false, true}));
    EXPECT_EQ(ScrollEdges::of(-6.01, 493.99, 200), (ScrollEdges{true, true}));
    // At the end: one point or less still hidden shows no bottom fade.
    EXPECT_EQ(ScrollEdges::of(-299, 201, 200), (ScrollEdges{true, false}));
    EXPECT_EQ(ScrollEdges::of(-299.5, 201.01, 200), (ScrollEdges{true, true}));
    // Before anything is measured.
    EXPECT_EQ(ScrollEdges::of(0, 0, 0), (ScrollEdges{false, false}));
}

TEST(FadingScrollView, TheTopFadeMirrorsTheBottomFade) {
    const QGradientStops bottom = FadingScrollView::bottomFadeStops();
    const QGradientStops top = FadingScrollView::topFadeStops();
    const QList<std::pair<qreal, qreal>> expectedTop{
        {0.0, 1.0}, {0.14, 1.0}, {0.55, 0.6}, {1.0, 0.0}};
    ASSERT_EQ(top.size(), expectedTop.size());
    for (qsizetype i = 0; i < top.size(); ++i) {
        EXPECT_NEAR(top.at(i).first, expectedTop.at(i).first, 1e-9);
        EXPECT_NEAR(top.at(i).second.alphaF(), expectedTop.at(i).second, 1e-3);
    }
    EXPECT_NEAR(bottom.at(1).first, 0.45, 1e-9);
    EXPECT_NEAR(bottom.at(1).second.alphaF(), 0.6, 1e-3);
}

// A column of `lines` fixed-height lines that counts the clicks it receives.
class Column : public QWidget {
  public:
    explicit Column(int height) { setFixedHeight(height); }
    int clicks = 0;
    QColor fill = Qt::blue;

  protected:
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), fill);
    }
};

struct Shown {
    QWidget window;
    FadingScrollView* view;
    Column* content;

    explicit Shown(int contentHeight, ColorScheme scheme = ColorScheme::dark) {
        Yard::setScheme(&window, scheme);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        view = new FadingScrollView;
        content = new Column(contentHeight);
        view->setWidget(content);
        layout->addWidget(view);
        window.resize(300, 200);
        window.show();
        QCoreApplication::sendPostedEvents();
        view->finishTransitions();
    }
    void scrollTo(int value) {
        view->verticalScrollBar()->setValue(value);
        view->finishTransitions();
    }
};

TEST(FadingScrollView, ShowsTheFadesWhereContentIsCutOff) {
    Shown fits(150);
    EXPECT_EQ(fits.view->edges(), (ScrollEdges{false, false}));
    EXPECT_FALSE(fits.view->verticalScrollBar()->isVisible());
    EXPECT_DOUBLE_EQ(fits.view->bottomFadeOpacity(), 0);

    Shown tall(600);
    std::fprintf(stderr, "bar %d geom %d,%d %dx%d viewport %d,%d %dx%d\n",
                 tall.view->verticalScrollBar()->isVisible(),
                 tall.view->verticalScrollBar()->mapTo(tall.view, QPoint()).x(), 0,
                 tall.view->verticalScrollBar()->width(), tall.view->verticalScrollBar()->height(),
                 tall.view->viewport()->x(), tall.view->viewport()->y(),
                 tall.view->viewport()->width(), tall.view->viewport()->height());
    EXPECT_EQ(tall.view->edges(), (ScrollEdges{false, true}));
    EXPECT_DOUBLE_EQ(tall.view->bottomFadeOpacity(), 1);
    EXPECT_DOUBLE_EQ(tall.view->topFadeOpacity(), 0);
    tall.scrollTo(6);
    EXPECT_FALSE(tall.view->edges().above);
    tall.scrollTo(7);
    EXPECT_TRUE(tall.view->edges().above);
    EXPECT_DOUBLE_EQ(tall.view->topFadeOpacity(), 1);
    tall.scrollTo(tall.view->verticalScrollBar()->maximum());
    EXPECT_EQ(tall.view->edges(), (ScrollEdges{true, false}));
    EXPECT_DOUBLE_EQ(tall.view->bottomFadeOpacity(), 0);
    tall.scrollTo(tall.view->verticalScrollBar()->maximum() - 2);
    EXPECT_TRUE(tall.view->edges().below);

    // Content that grows past the viewport without a scroll brings the bottom fade.
    fits.content->setFixedHeight(800);
    QCoreApplication::sendPostedEvents();
    fits.view->finishTransitions();
    EXPECT_EQ(fits.view->edges(), (ScrollEdges{false, true}));
}

TEST(FadingScrollView, TheFadesLetThePointerThroughAndStayOffTheScrollBar) {
    Shown tall(600);
    FadingScrollView* view = tall.view;
    const QRect bottom = view->bottomOverlayRect();
    EXPECT_LE(bottom.right() + 1, view->width() - FadingScrollView::trailingInset);
    EXPECT_LE(bottom.right() + 1, view->viewport()->geometry().right() + 1);
    EXPECT_EQ(bottom.bottom(), view->viewport()->geometry().bottom());
    EXPECT_EQ(bottom.height(), 84);
    EXPECT_EQ(view->topOverlayRect().height(), 51);

    // Clicks and wheel turns go to the widget under the point, which is the content.
    const QPoint inFade = bottom.center();
    EXPECT_EQ(view->childAt(inFade), tall.content);
    EXPECT_EQ(view->childAt(view->topOverlayRect().center()), tall.content);
    const QPoint inWindow = view->mapTo(view->window(), inFade);
    QTest::mouseClick(view->window()->windowHandle(), Qt::LeftButton, {}, inWindow);
    EXPECT_EQ(tall.content->clicks, 1);
}

TEST(FadingScrollView, FadesIntoTheGroundAndHidesItsOverlaysFromScreenReaders) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        Shown tall(600, scheme);
        const Yard::Palette& p = Yard::palette(scheme);
        tall.scrollTo(100);
        const QImage image = tall.window.grab().toImage();
        const QRect top = tall.view->topOverlayRect();
        const QRect bottom = tall.view->bottomOverlayRect();
        // Solid ground at the very top and bottom, content showing at the far end of each band.
        EXPECT_TRUE(testing::matches(image.pixelColor(10, top.top()), p.ground));
        EXPECT_TRUE(testing::matches(image.pixelColor(10, bottom.bottom()), p.ground));
        EXPECT_TRUE(testing::matches(image.pixelColor(10, bottom.top()), Qt::blue, 8));
        EXPECT_TRUE(testing::matches(image.pixelColor(10, top.bottom()), Qt::blue, 8));

        int overlays = 0;
        for (QWidget* child : tall.view->findChildren<QWidget*>()) {
            if (QByteArray(child->metaObject()->className()).endsWith("Overlay")) {
                ++overlays;
                EXPECT_TRUE(QAccessible::queryAccessibleInterface(child)->state().invisible);
            }
        }
        EXPECT_EQ(overlays, 2);
    }
}

}  // namespace
}  // namespace pellucine

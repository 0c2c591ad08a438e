#include <gmock/gmock.h>

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "GlanceFixture.h"
#include "design/Yard.h"
#include "panels/ControlButton.h"
#include "panels/GlanceContentView.h"
#include "panels/GlanceGeometry.h"
#include "panels/GlanceHeader.h"
#include "panels/GlanceMenu.h"
#include "panels/GlanceStyle.h"
#include "panels/PreviewGrid.h"
#include "panels/PreviewTile.h"
#include "panels/SearchHint.h"

namespace pellucine {
namespace {

class GlanceContentViewTest : public testing::GlanceFixture {
  protected:
    std::unique_ptr<GlanceContentView> makeView(GlanceContentView::Options options) {
        auto view = std::make_unique<GlanceContentView>(*model, environment, callbacks(), options);
        view->resize(900, 400);
        view->show();
        QCoreApplication::sendPostedEvents();
        return view;
    }
    static GlanceContentView::Options options(bool controls = false, bool hint = false,
                                              std::function<void()> onClose = {}) {
        return {PreviewGridLayout::compute(3, 1400, 600, 1.6, 260),
                controls,
                false,
                hint,
                std::move(onClose),
                true};
    }
};

TEST_F(GlanceContentViewTest, HeaderCountsTheWindowsOfTheFirstWindowsApplication) {
    auto view = makeView(options());
    // No windows: no header, an empty grid.
    EXPECT_EQ(view->header(), nullptr);
    EXPECT_TRUE(view->items().isEmpty());

    selectWindows({window(1)});
    ASSERT_NE(view->header(), nullptr);
    EXPECT_EQ(view->header()->countText(), "1 window");
    EXPECT_FALSE(view->header()->hasIcon());
    EXPECT_EQ(view->header()->menuButton(), nullptr);
    EXPECT_EQ(view->header()->closeButton(), nullptr);

    icons.icons.insert(mailPID, picture(32, 32));
    selectWindows({window(1), window(2), window(3)});
    EXPECT_EQ(view->header()->countText(), "3 windows");
    EXPECT_TRUE(view->header()->hasIcon());
    selectWindows({});
    EXPECT_EQ(view->header(), nullptr);
}

TEST_F(GlanceContentViewTest, ALongNameIsCutButTheCountIsNot) {
    const QString name(300, u'W');
    WindowDescriptor w = window(1);
    w.applicationName = name;
    selectWindows({w});
    auto view = makeView(options(true));
    const GlanceHeader* header = view->header();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->name(), name);
    EXPECT_LT(header->nameRect().width(),
              QFontMetricsF(GlanceStyle::headlineFont()).horizontalAdvance(name));
    EXPECT_LE(header->countRect().right() + GlanceHeader::minimumSpacer,
              header->menuButton()->x() + 0.5);
    EXPECT_GT(header->countRect().width(), 0);
}

TEST_F(GlanceContentViewTest, ApplicationMenuAndCloseButton) {
    bool closed = false;
    selectWindows({window(1), window(2), window(3, QStringLiteral("x"), 77)});
    auto view = makeView(options(true, false, [&closed] { closed = true; }));
    GlanceHeader* header = view->header();
    ASSERT_NE(header->menuButton(), nullptr);
    EXPECT_EQ(header->menuButton()->toolTip(), "App actions");
    EXPECT_EQ(header->menuButton()->accessibleName(), "App actions for Mail");
    QTest::mouseClick(header->menuButton(), Qt::LeftButton);
    const auto menus = header->findChildren<GlanceMenu*>();
    ASSERT_EQ(menus.size(), 1);
    QStringList titles;
    for (const QAction* action : menus[0]->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, QStringList({"Minimize All Windows", "Restore All Windows",
                                   "Close All 3 Windows", "", "Hide App", "", "Quit App"}));
    // The open menu follows the count.
    selectWindows({window(1)});
    EXPECT_EQ(menus[0]->actions()[2]->text(), "Close the Window");
    selectWindows({window(1), window(2), window(3, QStringLiteral("x"), 77)});
    EXPECT_EQ(menus[0]->actions()[2]->text(), "Close All 3 Windows");
    menus[0]->actions()[6]->trigger();
    // Sent for the first window's application.
    EXPECT_EQ(applicationActions,
              (QList<std::pair<ApplicationAction, qint32>>{{ApplicationAction::quit, mailPID}}));

    ASSERT_NE(header->closeButton(), nullptr);
    EXPECT_EQ(header->closeButton()->accessibleName(), "Close");
    QTest::mouseClick(header->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(closed);
}

TEST_F(GlanceContentViewTest, ItemsFollowTheSelectionInOrderAndKeepTheirIdentity) {
    selectWindows({window(1), window(2), window(3)});
    auto view = makeView(options());
    const QList<WindowItem*> before = view->items();
    QPointer<WindowItem> gone = before[1];
    selectWindows({window(3), window(1), window(4)});
    ASSERT_EQ(view->items().size(), 3);
    EXPECT_EQ(view->items()[0], before[2]);
    EXPECT_EQ(view->items()[1], before[0]);
    EXPECT_EQ(view->items()[2]->state().window.id, 4u);
    // The removed item goes on the next turn, not while a callback may still run in it.
    EXPECT_TRUE(gone);
    EXPECT_FALSE(gone->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(gone);
    // The same window twice gets two items, neither lost.
    selectWindows({window(3), window(3)});
    EXPECT_EQ(view->items().size(), 2);
    EXPECT_NE(view->items()[0], view->items()[1]);
    EXPECT_EQ(view->grid()->items(), view->items());
}

TEST_F(GlanceContentViewTest, AWindowThatGoesLeavesItsPlaceEmptyAndANewOneComesLast) {
    selectWindows({window(1), window(2), window(3)});
    auto view = makeView(options());
    // Room for a second row without a scroll bar.
    view->resize(900, 700);
    QCoreApplication::sendPostedEvents();
    QList<QRect> frames;
    for (const WindowItem* item : view->items()) {
        frames.append(item->geometry());
    }
    selectWindows({window(1), window(3)});
    ASSERT_EQ(view->items().size(), 2);
    EXPECT_EQ(view->items()[0]->geometry(), frames[0]);
    EXPECT_EQ(view->items()[1]->geometry(), frames[2]);
    EXPECT_EQ(view->placeCount(), 3);
    // A window that comes takes the place after the last, not the empty one.
    selectWindows({window(1), window(3), window(4)});
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(view->grid()->places(), (QList<int>{0, 2, 3}));
    EXPECT_EQ(view->items()[1]->geometry(), frames[2]);
    EXPECT_GT(view->items()[2]->geometry().y(), frames[2].y());
    EXPECT_LE(view->items()[2]->geometry().bottom(), view->grid()->height());

    // A new order, or no window kept, closes the places up.
    selectWindows({window(4), window(1)});
    EXPECT_EQ(view->grid()->places(), (QList<int>{0, 1}));
    selectWindows({window(5), window(6), window(7)});
    EXPECT_EQ(view->grid()->places(), (QList<int>{0, 1, 2}));
    // So does a new layout, which the tiles take.
    selectWindows({window(5), window(7)});
    GlanceContentView::Options wider = options();
    wider.layout = PreviewGridLayout::compute(2, 1400, 600, 1.6, 300);
    ASSERT_TRUE(view->accepts(wider));
    view->adopt(wider);
    EXPECT_EQ(view->grid()->places(), (QList<int>{0, 1}));
    EXPECT_EQ(view->items()[1]->size(), PreviewTile::tileSize(wider.layout));
    EXPECT_EQ(view->placeCount(), 2);
    // Other items, another header or hint need another view.
    for (auto change : {+[](GlanceContentView::Options& o) { o.usesCompactList = true; },
                        +[](GlanceContentView::Options& o) { o.showsDockControls = true; },
                        +[](GlanceContentView::Options& o) { o.showsSearchHint = true; },
                        +[](GlanceContentView::Options& o) { o.onClose = [] {}; },
                        +[](GlanceContentView::Options& o) { o.translucent = false; }}) {
        GlanceContentView::Options other = options();
        change(other);
        EXPECT_FALSE(view->accepts(other));
    }
}

TEST_F(GlanceContentViewTest, PicturesArrivingUpdateTheirTilesInPlaceAndOnlyThose) {
    selectWindows({window(1), window(2), window(2)});
    auto view = makeView(options());
    const QList<WindowItem*> before = view->items();
    QList<QRect> frames;
    for (const WindowItem* item : before) {
        frames.append(item->geometry());
    }

    publish(2, picture());
    ASSERT_EQ(view->items(), before);
    EXPECT_TRUE(before[0]->state().picture.isNull());
    // The same window shown twice gets its picture in both tiles.
    EXPECT_FALSE(before[1]->state().picture.isNull());
    EXPECT_FALSE(before[2]->state().picture.isNull());
    // A picture of a window the glance does not show changes nothing.
    publish(9, picture());
    EXPECT_EQ(view->items(), before);
    for (qsizetype i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i]->geometry(), frames[i]);
    }

    // A picture taken down goes from its tile; a picture with the selection changed under
    // it lays the tiles out for the new selection.
    model->previewImages().set({});
    EXPECT_TRUE(before[1]->state().picture.isNull());
    selectWindows({window(3)});
    publish(3, picture());
    ASSERT_EQ(view->items().size(), 1);
    EXPECT_FALSE(view->items()[0]->state().picture.isNull());
}

TEST_F(GlanceContentViewTest, TheGroundHidesWhatLiesBehindEvenAroundANarrowPicture) {
    for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        selectWindows({window(1), window(2)});
        auto view = makeView(options());
        Yard::setScheme(view.get(), scheme);
        publish(1, picture(24, 300));
        QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const qreal edge = GlanceContentView::outerPadding + GlanceContentView::cornerRadius;
        const QRect inside = view->rect().adjusted(edge, edge, -edge, -edge);
        int seeThrough = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                seeThrough += qAlpha(image.pixel(x, y)) < 255 ? 1 : 0;
            }
        }
        EXPECT_EQ(seeThrough, 0) << (scheme == ColorScheme::dark ? "dark" : "light");
    }
}

TEST_F(GlanceContentViewTest, GridColumnsAreCentredCardWidthsTwelveApart) {
    PreviewGridLayout layout;
    layout.columns = 3;
    layout.cardWidth = 200;
    layout.previewHeight = 125;
    const QSize tile(210, 170);
    const QList<QRect> frames = PreviewGrid::tileFrames(5, layout, 800, tile);
    ASSERT_EQ(frames.size(), 5);
    // Columns 212 apart; the grid of 624 is centred in 800; tiles reach 5 beyond their column.
    EXPECT_EQ(frames[0].x(), 88 - 5);
    EXPECT_EQ(frames[1].x() - frames[0].x(), 212);
    EXPECT_EQ(frames[2].x() - frames[1].x(), 212);
    EXPECT_EQ(frames[3].x(), frames[0].x());
    EXPECT_EQ(frames[3].y(), 170 + 12);
    EXPECT_EQ(frames[2].right() + 1 - 5, 800 - 88);

    const QList<QRect> rows = PreviewGrid::rowFrames(2, 460, 54);
    EXPECT_EQ(rows[0], QRect(12, 0, 436, 54));
    EXPECT_EQ(rows[1].y(), 60);
}

TEST_F(GlanceContentViewTest, SearchHintOnlyWhenAsked) {
    selectWindows({window(1)});
    auto plain = makeView(options());
    EXPECT_EQ(plain->searchHint(), nullptr);
    auto hinted = makeView(options(false, true));
    ASSERT_NE(hinted->searchHint(), nullptr);
    EXPECT_EQ(hinted->searchHint()->accessibleName(), "Press F to search every window");
    EXPECT_GE(hinted->searchHint()->height(), SearchHint::bottomPadding);
    // The windows scroll; the hint stays under them.
    EXPECT_GT(hinted->searchHint()->y(), hinted->scrollArea()->geometry().bottom());
}

TEST_F(GlanceContentViewTest, RowsThatDoNotFitScrollInsteadOfBeingCut) {
    QList<WindowDescriptor> windows;
    for (quint32 id = 1; id <= 18; ++id) {
        windows << window(id);
    }
    selectWindows(windows);
    for (const bool compact : {true, false}) {
        GlanceContentView::Options list = options();
        list.usesCompactList = compact;
        auto view = makeView(list);
        view->resize(compact ? 460 : 900, 400);
        QCoreApplication::sendPostedEvents();
        QScrollArea* scroll = view->scrollArea();
        PreviewGrid* grid = view->grid();
        const int width = scroll->viewport()->width();
        EXPECT_EQ(grid->height(), grid->heightForWidth(width)) << compact;
        EXPECT_GT(grid->height(), scroll->viewport()->height()) << compact;
        ASSERT_GT(scroll->verticalScrollBar()->maximum(), 0) << compact;
        // Every item lies inside the grid, and scrolling to the end brings the last one in.
        const WindowItem* last = view->items().back();
        EXPECT_LE(last->geometry().bottom(), grid->height()) << compact;
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        const QRect shown(last->mapTo(scroll->viewport(), QPoint(0, 0)), last->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(shown)) << compact;
    }
    // A list that fits does not scroll.
    selectWindows({window(1)});
    auto fitting = makeView(options());
    EXPECT_EQ(fitting->scrollArea()->verticalScrollBar()->maximum(), 0);
}

TEST_F(GlanceContentViewTest, AGridGivenItsOwnHeightNeedsNoScrollBar) {
    for (const int count : {1, 3, 4, 9}) {
        QList<WindowDescriptor> windows;
        for (quint32 id = 1; id <= static_cast<quint32>(count); ++id) {
            windows << window(id);
        }
        selectWindows(windows);
        for (const bool hint : {false, true}) {
            GlanceContentView::Options grid = options(false, hint);
            grid.layout = PreviewGridLayout::compute(count, 1200, 2000, 1.6, 260);
            auto view = makeView(grid);
            const Size panel = grid.layout.panelSize;
            view->resize(
                static_cast<int>(panel.width),
                static_cast<int>(panel.height + (hint ? GlanceGeometry::searchHintHeight : 0)));
            QCoreApplication::sendPostedEvents();
            QScrollArea* scroll = view->scrollArea();
            EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0)
                << count << " windows, hint " << hint << ": grid needs "
                << view->grid()->heightForWidth(scroll->viewport()->width()) << ", viewport "
                << scroll->viewport()->height();
        }
    }
}

}  // namespace
}  // namespace pellucine

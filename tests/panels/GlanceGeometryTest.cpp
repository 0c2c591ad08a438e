#include <gtest/gtest.h>

#include <QHash>

#include "panels/GlanceGeometry.h"
#include "panels/PreviewPanelPlacement.h"

namespace pellucine {
namespace {

// Widths from a table, else 7.5 points a character (so rounding up shows).
class TableMeasurer : public TextMeasuring {
  public:
    QHash<QString, double> widths;
    mutable QList<std::pair<QString, MeasuredFont>> measured;

    double textWidth(const QString& text, MeasuredFont font) const override {
        measured.append({text, font});
        return widths.value(text, 7.5 * static_cast<double>(text.size()));
    }
};

const ScreenRect laptop{0, 0, 1440, 875};

QList<WindowDescriptor> windows(int count, double width = 1600, double height = 1000,
                                const QString& application = QStringLiteral("Mail")) {
    QList<WindowDescriptor> list;
    for (int i = 0; i < count; ++i) {
        WindowDescriptor w;
        w.id = static_cast<quint32>(i + 1);
        w.applicationName = application;
        w.frame = {0, 0, width, height};
        list.append(w);
    }
    return list;
}

GlanceGeometry::Input commandTab(int windowCount) {
    GlanceGeometry::Input in;
    in.screenFrame = laptop;
    in.switcherFrame = ScreenRect{300, 400, 840, 120};
    in.windows = windows(windowCount);
    in.previewWidth = 260;
    in.showsSearchHint = true;
    return in;
}

GlanceGeometry::Input dockHover(int windowCount) {
    GlanceGeometry::Input in;
    in.screenFrame = laptop;
    in.anchor = ScreenPoint{700, -20};
    in.dockMode = true;
    in.compactListPreferred = true;
    in.windows = windows(windowCount);
    in.previewWidth = 260;
    return in;
}

TEST(GlanceGeometryTest, CommandTabGlanceAboveTheStrip) {
    const TableMeasurer measurer;
    const GlanceGeometry g = GlanceGeometry::compute(commandTab(4), measurer);
    EXPECT_DOUBLE_EQ(g.aspectRatio, 1.6);
    EXPECT_EQ(g.layout.columns, 4);
    EXPECT_EQ(g.layout.rows, 1);
    EXPECT_DOUBLE_EQ(g.layout.cardWidth, 260);
    EXPECT_FALSE(g.usesCompactList);
    EXPECT_EQ(g.panelSize, (Size{1112, 282.5}));
    EXPECT_EQ(g.origin, (ScreenPoint{164, 530}));
}

TEST(GlanceGeometryTest, DockGlanceWithManyWindowsUsesTheCompactList) {
    const TableMeasurer measurer;
    const GlanceGeometry g = GlanceGeometry::compute(dockHover(9), measurer);
    EXPECT_TRUE(g.usesCompactList);
    EXPECT_EQ(g.panelSize, (Size{460, 586}));
    // Above the bottom Dock, centred on the anchor.
    EXPECT_EQ(g.origin, (ScreenPoint{470, 34}));
    // The grid is still computed for the view.
    EXPECT_GE(g.layout.rows * g.layout.columns, 9);
}

TEST(GlanceGeometryTest, CompactListOnlyInDockMode) {
    const TableMeasurer measurer;
    GlanceGeometry::Input in = dockHover(9);
    in.dockMode = false;
    EXPECT_FALSE(GlanceGeometry::compute(in, measurer).usesCompactList);
    in = dockHover(9);
    in.compactListPreferred = false;
    EXPECT_FALSE(GlanceGeometry::compute(in, measurer).usesCompactList);
    // Twenty rows are cut to the screen height less 72; a wide screen keeps 460.
    in = dockHover(20);
    in.screenFrame = ScreenRect{0, 0, 1920, 900};
    EXPECT_EQ(GlanceGeometry::compute(in, measurer).panelSize, (Size{460, 828}));
    // A screen too small for either floor: at least 300 wide and 180 high.
    in.screenFrame = ScreenRect{0, 0, 200, 150};
    EXPECT_EQ(GlanceGeometry::compute(in, measurer).panelSize, (Size{300, 180}));
}

TEST(GlanceGeometryTest, AvailableSizeWithAndWithoutTheStrip) {
    EXPECT_EQ(GlanceGeometry::availableSize(laptop, ScreenRect{300, 400, 840, 120}),
              (Size{1400, 325}));
    EXPECT_EQ(GlanceGeometry::availableSize(laptop, std::nullopt), (Size{1400, 803}));
    // A strip near the top leaves the floor of 245.
    EXPECT_EQ(GlanceGeometry::availableSize({0, 0, 1000, 1000}, ScreenRect{0, 700, 100, 100}),
              (Size{960, 245}));
    // A narrow, short screen gets the floors.
    EXPECT_EQ(GlanceGeometry::availableSize({0, 0, 200, 100}, std::nullopt), (Size{300, 245}));
}

TEST(GlanceGeometryTest, StripNearTheTopOfTheScreenShrinksTheGridInsteadOfCoveringIt) {
    const TableMeasurer measurer;
    GlanceGeometry::Input in = commandTab(2);
    in.screenFrame = ScreenRect{0, 0, 1000, 1000};
    in.switcherFrame = ScreenRect{200, 700, 600, 100};
    EXPECT_DOUBLE_EQ(GlanceGeometry::roomAboveStrip(*in.screenFrame, *in.switcherFrame), 170);
    for (const bool hinted : {false, true}) {
        in.showsSearchHint = hinted;
        const GlanceGeometry g = GlanceGeometry::compute(in, measurer);
        // 10 above the strip, 20 below the top: the grid gives up the rest and scrolls.
        EXPECT_DOUBLE_EQ(g.panelSize.height, 170) << hinted;
        EXPECT_DOUBLE_EQ(g.origin.y, 810) << hinted;
        EXPECT_DOUBLE_EQ(g.layout.cardWidth, PreviewGridLayout::minimumCardWidth) << hinted;
    }
}

TEST(GlanceGeometryTest, AGlanceAboveTheStripKeepsTheGapWhateverItsWindows) {
    const TableMeasurer measurer;
    const ScreenRect strip{300, 400, 840, 120};
    for (const double stripTop : {520.0, 600.0, 650.0, 700.0}) {
        for (const int count : {1, 2, 5, 12}) {
            for (const bool hinted : {false, true}) {
                GlanceGeometry::Input in = commandTab(count);
                in.switcherFrame =
                    ScreenRect{strip.x, stripTop - strip.height, strip.width, strip.height};
                in.showsSearchHint = hinted;
                const GlanceGeometry g = GlanceGeometry::compute(in, measurer);
                EXPECT_GE(g.origin.y, stripTop + PreviewPanelPlacement::stripGap - 1e-9)
                    << stripTop << " " << count << " " << hinted;
                EXPECT_LE(g.origin.y + g.panelSize.height,
                          laptop.maxY() - PreviewPanelPlacement::topMarginAboveStrip + 1e-9)
                    << stripTop << " " << count << " " << hinted;
            }
        }
    }
    // With room to spare nothing shrinks: the worked example keeps its 260 cards.
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(commandTab(4), measurer).layout.cardWidth, 260);
    // A strip so high that not even a small grid fits above it: placed by the plain rule.
    GlanceGeometry::Input high = commandTab(1);
    high.switcherFrame = ScreenRect{300, 700, 840, 120};
    EXPECT_LT(GlanceGeometry::roomAboveStrip(laptop, *high.switcherFrame), 100);
    const GlanceGeometry g = GlanceGeometry::compute(high, measurer);
    EXPECT_DOUBLE_EQ(g.origin.y + g.panelSize.height,
                     laptop.maxY() - PreviewPanelPlacement::topMarginAboveStrip);
}

TEST(GlanceGeometryTest, TallCommandTabGlanceWithoutStripStaysBelowTheTop) {
    const TableMeasurer measurer;
    GlanceGeometry::Input in = commandTab(40);
    in.switcherFrame.reset();
    const GlanceGeometry g = GlanceGeometry::compute(in, measurer);
    // 803 of grid and the hint, cut to stay clear of the screen's top and bottom.
    EXPECT_DOUBLE_EQ(g.panelSize.height, 835);
    EXPECT_DOUBLE_EQ(g.origin.y, 40);
    EXPECT_LE(g.origin.y + g.panelSize.height, laptop.maxY());
}

TEST(GlanceGeometryTest, SearchHintHeightIsCapped) {
    const TableMeasurer measurer;
    GlanceGeometry::Input in = commandTab(1);
    in.switcherFrame.reset();
    in.screenFrame = ScreenRect{0, 0, 1440, 250};
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.height, 245);
    in.showsSearchHint = false;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.height, 245);
    in.screenFrame = ScreenRect{0, 0, 1440, 400};
    in.showsSearchHint = true;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.height,
                     246.5 + GlanceGeometry::searchHintHeight);
}

TEST(GlanceGeometryTest, HeaderWidensButNeverNarrowsNorPassesTheScreen) {
    TableMeasurer measurer;
    GlanceGeometry::Input in = commandTab(2);
    in.windows = windows(2, 1600, 1000, QStringLiteral("A very long application"));
    const double grid = GlanceGeometry::compute(in, measurer).panelSize.width;
    measurer.widths[QStringLiteral("A very long application")] = 900;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.width,
                     900 + 62 + 68 + 24 + 12);
    EXPECT_GT(900 + 62 + 68 + 24 + 12, grid);
    in.hasCloseButton = true;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.width, 1066 + 30);
    measurer.widths[QStringLiteral("A very long application")] = 2000;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.width, 1400);
    measurer.widths[QStringLiteral("A very long application")] = 1;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.width, grid);
    // Without windows nothing is measured.
    measurer.measured.clear();
    in.windows.clear();
    GlanceGeometry::compute(in, measurer);
    EXPECT_TRUE(measurer.measured.isEmpty());
}

TEST(GlanceGeometryTest, HeaderRowWidth) {
    TableMeasurer measurer;
    measurer.widths[QStringLiteral("Mail")] = 30.2;
    // "1 window" is 8 characters: 60 points.
    EXPECT_DOUBLE_EQ(GlanceGeometry::headerRowWidth(QStringLiteral("Mail"), 1, false, measurer),
                     31 + 62 + 60 + 24 + 12);
    EXPECT_EQ(measurer.measured.at(0),
              (std::pair{QStringLiteral("Mail"), MeasuredFont::headerTitle}));
    EXPECT_EQ(measurer.measured.at(1),
              (std::pair{QStringLiteral("1 window"), MeasuredFont::headerCount}));
    // "2 windows": 67.5 rounded up; the menu adds 30.
    EXPECT_DOUBLE_EQ(GlanceGeometry::headerRowWidth(QStringLiteral("Mail"), 2, true, measurer),
                     31 + 62 + 68 + 24 + 12 + 30);
    EXPECT_EQ(GlanceGeometry::windowCountText(1), QStringLiteral("1 window"));
    EXPECT_EQ(GlanceGeometry::windowCountText(2), QStringLiteral("2 windows"));
    EXPECT_EQ(GlanceGeometry::windowCountText(0), QStringLiteral("0 windows"));
    // The Dock controls and the close button add 30 each to the glance header.
    GlanceGeometry::Input in = commandTab(1);
    measurer.widths[QStringLiteral("Mail")] = 1000;
    in.showsDockControls = true;
    in.hasCloseButton = true;
    EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).panelSize.width,
                     1000 + 62 + 60 + 24 + 12 + 30 + 30);
}

TEST(GlanceGeometryTest, AspectRatio) {
    auto ratios = [](std::initializer_list<std::pair<double, double>> sizes) {
        QList<WindowDescriptor> list;
        for (const auto& [w, h] : sizes) {
            WindowDescriptor window;
            window.frame = {0, 0, w, h};
            list.append(window);
        }
        return GlanceGeometry::meanAspectRatio(list);
    };
    EXPECT_DOUBLE_EQ(ratios({{300, 100}, {100, 100}}), 2.0);
    EXPECT_DOUBLE_EQ(ratios({{300, 100}}), 2.2);
    EXPECT_DOUBLE_EQ(ratios({{100, 100}}), 1.4);
    EXPECT_DOUBLE_EQ(ratios({{0, 5}, {5, 0}, {150, 100}}), 1.5);
    EXPECT_DOUBLE_EQ(ratios({{0, 0}}), 1.6);
    EXPECT_DOUBLE_EQ(GlanceGeometry::meanAspectRatio({}), 1.6);
}

TEST(GlanceGeometryTest, NoWindowsSizeForOne) {
    const TableMeasurer measurer;
    GlanceGeometry::Input in = commandTab(0);
    in.showsSearchHint = false;
    const GlanceGeometry g = GlanceGeometry::compute(in, measurer);
    EXPECT_EQ(g.layout.columns, 1);
    EXPECT_DOUBLE_EQ(g.aspectRatio, 1.6);
    EXPECT_EQ(g.panelSize, (Size{296, 246.5}));
}

TEST(GlanceGeometryTest, TargetScreen) {
    const Screen left{std::nullopt, {-1920, -100, 1920, 1080}, {-1920, -100, 1920, 1050}};
    const Screen main{std::nullopt, {0, 0, 1440, 900}, {0, 70, 1440, 805}};
    const Screen right{std::nullopt, {1440, 0, 1280, 800}, {1440, 0, 1280, 775}};
    const QList<Screen> screens{main, left, right};
    const ScreenRect given{5, 5, 500, 500};
    const std::optional<ScreenRect> mainVisible = main.visibleFrame;
    auto target = [&](std::optional<ScreenRect> frame, std::optional<ScreenPoint> anchor,
                      std::optional<ScreenRect> mainFrame) {
        return GlanceGeometry::targetScreenArea(frame, anchor, screens, mainFrame);
    };
    EXPECT_EQ(target(given, ScreenPoint{-1000, 0}, mainVisible), given);
    EXPECT_EQ(target(std::nullopt, ScreenPoint{-1000, -90}, mainVisible), left.visibleFrame);
    // The seam belongs to the screen on its right.
    EXPECT_EQ(target(std::nullopt, ScreenPoint{1440, 10}, mainVisible), right.visibleFrame);
    EXPECT_EQ(target(std::nullopt, ScreenPoint{0, 10}, mainVisible), main.visibleFrame);
    // Outside every screen, or no anchor: the main screen; no screen at all: a fixed area.
    EXPECT_EQ(target(std::nullopt, ScreenPoint{5000, 5000}, mainVisible), main.visibleFrame);
    EXPECT_EQ(target(std::nullopt, std::nullopt, mainVisible), main.visibleFrame);
    EXPECT_EQ(target(std::nullopt, std::nullopt, std::nullopt), (ScreenRect{0, 0, 1000, 700}));
}

TEST(GlanceGeometryTest, DockGlanceOnANegativeOriginScreen) {
    const TableMeasurer measurer;
    GlanceGeometry::Input in = dockHover(3);
    in.screenFrame.reset();
    in.compactListPreferred = false;
    in.screens = {{std::nullopt, {0, 0, 1440, 900}, {0, 0, 1440, 875}},
                  {std::nullopt, {-1920, -180, 1920, 1080}, {-1920, -130, 1920, 1050}}};
    in.mainScreenVisibleFrame = ScreenRect{0, 0, 1440, 875};
    in.anchor = ScreenPoint{-1000, -160};
    const GlanceGeometry g = GlanceGeometry::compute(in, measurer);
    EXPECT_EQ(g.screenArea, (ScreenRect{-1920, -130, 1920, 1050}));
    // The mean of three ratios of 1.6 is a hair under 1.6.
    EXPECT_NEAR(g.panelSize.width, 840, 1e-9);
    EXPECT_NEAR(g.panelSize.height, 246.5, 1e-9);
    EXPECT_NEAR(g.origin.x, -1420, 1e-9);
    EXPECT_NEAR(g.origin.y, -106, 1e-9);
}

TEST(GlanceGeometryTest, CardsAreNoWiderThanTheWidestWindow) {
    const TableMeasurer measurer;
    struct Row {
        const char* name;
        bool dockMode;
        QList<QSizeF> windows;
        double cardWidth;
    };
    const Row rows[] = {
        {"one small window", true, {{400, 300}}, 400},
        {"a window under the smallest card", true, {{120, 90}}, 170},
        {"a window wider than the preview width", true, {{1600, 1000}}, 600},
        {"the widest of several", true, {{300, 200}, {450, 300}}, 450},
        {"a window of no known size", true, {{0, 0}}, 600},
        {"above the strip as well", false, {{400, 300}}, 400},
    };
    for (const Row& row : rows) {
        GlanceGeometry::Input in = row.dockMode ? dockHover(0) : commandTab(0);
        in.compactListPreferred = false;
        in.switcherFrame.reset();
        in.previewWidth = 600;
        for (const QSizeF& size : row.windows) {
            in.windows.append(windows(1, size.width(), size.height()).front());
        }
        EXPECT_DOUBLE_EQ(GlanceGeometry::compute(in, measurer).layout.cardWidth, row.cardWidth)
            << row.name;
    }
}

}  // namespace
}  // namespace pellucine

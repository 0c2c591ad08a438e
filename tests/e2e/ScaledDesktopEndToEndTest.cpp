#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>

#include "EndToEndSession.h"
#include "EndToEndTest.h"
#include "X11TestDesktop.h"
#include "platform/x11/shell/X11DockLayout.h"
#include "platform/x11/shell/X11SwitcherLayout.h"
#include "support/Keysyms.h"

namespace pellucine {
namespace {

using testing::ShownWindow;
using testing::X11TestDesktop;

constexpr const char* strip = "Pellucine Switcher";
constexpr const char* glance = "Pellucine previews";
constexpr const char* peek = "Pellucine peek";
constexpr const char* dock = "Pellucine Dock";
constexpr const char* searchPanel = "Search Windows";
constexpr xcb_keysym_t space = 0x20;
constexpr QSize screenSize{3840, 2160};
// Three applications: two xterms and xlogo, in launch order.
constexpr int applications = 3;

// How the program is told to draw at more than one pixel a point.
struct Scaling {
    const char* name;
    const char* scaleFactor;
    const char* resources;
    double ratio;
};

void PrintTo(const Scaling& scaling, std::ostream* out) {
    *out << scaling.name;
}

const Scaling factorTwo{"QtScaleFactor2", "2", nullptr, 2};
const Scaling dpi192{"XftDpi192", nullptr, "Xft.dpi: 192\n", 2};
const Scaling factorOneAndAHalf{"QtScaleFactor1_5", "1.5", nullptr, 1.5};

// The program on a 4K screen at a scale, beside two xterms and xlogo (focused, mapped last).
class ScaledDesktopEndToEndTest : public testing::EndToEndTest,
                                  public ::testing::WithParamInterface<Scaling> {
  protected:
    ScaledDesktopEndToEndTest() : EndToEndTest(screenSize) {}

    void SetUp() override {
        QString error;
        ASSERT_TRUE(session.start(error)) << error.toStdString();
        for (const char* title : {"scaled-one", "scaled-two"}) {
            ASSERT_TRUE(session.startClient(QStringLiteral("xterm"),
                                            {"-T", title, "-geometry", "60x15+200+200"},
                                            QString::fromLatin1(title)))
                << title << " did not appear";
        }
        const auto xlogo = session.startClient(
            QStringLiteral("xlogo"), {"-geometry", "200x200+1500+200"}, QStringLiteral("xlogo"));
        ASSERT_TRUE(xlogo) << "xlogo did not appear";
        ASSERT_TRUE(becomesActive(*xlogo));
        if (GetParam().scaleFactor != nullptr) {
            session.setProgramVariable(QStringLiteral("QT_SCALE_FACTOR"),
                                       QString::fromLatin1(GetParam().scaleFactor));
        }
        if (GetParam().resources != nullptr) {
            ASSERT_TRUE(session.mergeResources(GetParam().resources));
        }
        ASSERT_TRUE(session.startProgram(3, error)) << error.toStdString();
    }

    // Points at the scale, in pixels.
    int px(double points) const { return static_cast<int>(std::lround(points * GetParam().ratio)); }
    // The screen less what docks and panels reserve (_NET_WORKAREA of the first desktop).
    QRect workArea() const {
        xcb_connection_t* c = session.desktop().get();
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c,
            xcb_get_property(c, 0, session.desktop().root(),
                             session.desktop().atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL, 0, 4),
            nullptr);
        QRect area(QPoint(0, 0), screenSize);
        if (reply != nullptr && xcb_get_property_value_length(reply) >= 16) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            area = QRect(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                         static_cast<int>(v[3]));
        }
        std::free(reply);
        return area;
    }
    static void expectOnScreen(const QRect& rect, const char* name) {
        EXPECT_TRUE(QRect(QPoint(0, 0), screenSize).contains(rect))
            << name << " at " << rect.x() << "," << rect.y() << " " << rect.width() << "x"
            << rect.height();
    }
    // The window comes and stands still; its place.
    QRect settled(const char* name) {
        QRect rect;
        EXPECT_TRUE(session.waitUntilStill(QString::fromLatin1(name), rect)) << name;
        return rect;
    }
};

// The Dock's road, at every scale.
class ScaledDockEndToEndTest : public ScaledDesktopEndToEndTest {};

TEST_P(ScaledDesktopEndToEndTest, TheStripTheGlanceAndThePeekStandWhereTheyBelong) {
    superTab();
    const QRect stripRect = settled(strip);
    const QRect glanceRect = settled(glance);
    const QSize oneX =
        X11SwitcherLayout::compute(applications, QRect(QPoint(), screenSize), 1.0).strip.size();
    EXPECT_EQ(stripRect.size(), oneX * GetParam().ratio);
    EXPECT_NEAR(stripRect.center().x(), screenSize.width() / 2, 1);
    // 10 points above the strip, centred on the screen.
    EXPECT_NEAR(glanceRect.bottom() + 1, stripRect.top() - px(10), 1);
    EXPECT_NEAR(glanceRect.center().x(), screenSize.width() / 2, 2);
    expectOnScreen(glanceRect, glance);

    // Resting on the one tile brings the peek: centred, 28 points below the top of the screen
    // area.
    movePointer(glanceRect.center());
    std::optional<ShownWindow> peekWindow;
    ASSERT_TRUE(session.waitUntilShown(QString::fromLatin1(peek), peekWindow));
    const QRect peekRect = settled(peek);
    EXPECT_NEAR(peekRect.center().x(), screenSize.width() / 2, 2);
    EXPECT_NEAR(peekRect.top(), workArea().top() + px(28), 2);
    expectOnScreen(peekRect, peek);
    releaseSuper();
    EXPECT_TRUE(session.waitUntilGone(QString::fromLatin1(glance)));
}

TEST_P(ScaledDesktopEndToEndTest, TheSearchPanelOpensAFifthDownTheScreenArea) {
    keyboard().type(keyboard().keycodesOf({testing::superL, testing::shiftL, space}));
    const QRect panel = settled(searchPanel);
    const QRect area = workArea();
    EXPECT_NEAR(panel.center().x(), area.center().x(), 2);
    EXPECT_NEAR(panel.top(), area.top() + area.height() / 5, px(1) + 1);
    expectOnScreen(panel, searchPanel);
}

TEST_P(ScaledDockEndToEndTest, TheDockGlanceStandsAboveTheBarAndStaysUnderThePointer) {
    const QRect bar = settled(dock);
    const X11DockLayout oneX =
        X11DockLayout::compute(applications, QRect(QPoint(), screenSize), 1.0);
    EXPECT_EQ(bar.size(), oneX.bar.size() * GetParam().ratio);
    EXPECT_EQ(bar.bottom(), screenSize.height() - 1);

    const X11DockLayout layout =
        X11DockLayout::compute(applications, QRect(QPoint(), screenSize), GetParam().ratio);
    const QPoint item = layout.items[0].translated(bar.topLeft()).center();
    movePointer(item);
    const QRect glanceRect = settled(glance);
    // 54 points above the icon's centre, wholly on the screen.
    EXPECT_NEAR(glanceRect.bottom() + 1, item.y() - px(54), px(1) + 1);
    expectOnScreen(glanceRect, glance);

    // Anywhere on the glance the pointer keeps it: each corner, then its middle, where the
    // tile's peek comes after the pointer rests there.
    const qsizetype before = mark();
    for (const QPoint point : {glanceRect.topLeft(), glanceRect.topRight(),
                               glanceRect.bottomRight(), glanceRect.bottomLeft()}) {
        movePointer(point);
        // Longer than the glance outlives a pointer that left it.
        EXPECT_FALSE(X11TestDesktop::waitUntil(
            [&] { return !session.shown(QString::fromLatin1(glance)); }, 600))
            << "gone with the pointer at " << point.x() << "," << point.y();
    }
    movePointer(glanceRect.center());
    EXPECT_TRUE(session.waitForEvent("full-size-peek-shown", before));
    EXPECT_TRUE(session.shown(QString::fromLatin1(glance)));
}

INSTANTIATE_TEST_SUITE_P(AtTwice, ScaledDesktopEndToEndTest, ::testing::Values(factorTwo, dpi192),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(AtEachScale, ScaledDockEndToEndTest,
                         ::testing::Values(factorTwo, dpi192, factorOneAndAHalf),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pellucine

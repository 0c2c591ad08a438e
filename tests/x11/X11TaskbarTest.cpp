#include <gtest/gtest.h>

#include <array>

#include "X11TestDesktop.h"
#include "core/NativeSwitcherProbe.h"
#include "platform/x11/X11ShellContent.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::TestXterm;
using testing::X11PortTest;
using testing::X11TestDesktop;

// A taskbar as panels are made: a dock window along the top of the screen reserving its strut,
// which sets each client's button rectangle on the client.
class TestPanel {
  public:
    static constexpr int height = 26;

    explicit TestPanel(const X11TestDesktop& desktop) : desktop_(desktop) {
        xcb_connection_t* c = desktop.get();
        window_ = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, desktop.root(), 0, 0, 1280, height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t type = desktop.atom("_NET_WM_WINDOW_TYPE_DOCK");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, desktop.atom("_NET_WM_WINDOW_TYPE"),
                            XCB_ATOM_ATOM, 32, 1, &type);
        const std::array<uint32_t, 18> hints{1 | 2, 0, 0, 1280, height};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
        const std::array<uint32_t, 12> strut{0, 0, height, 0, 0, 0, 0, 0, 0, 1279, 0, 0};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_,
                            desktop.atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32,
                            strut.size(), strut.data());
        map();
    }
    ~TestPanel() { destroy(); }

    void map() {
        xcb_map_window(desktop_.get(), window_);
        desktop_.sync();
        X11TestDesktop::waitUntil(
            [&] { return desktop_.clients().contains(window_) && desktop_.isViewable(window_); });
    }
    void unmap() {
        xcb_unmap_window(desktop_.get(), window_);
        desktop_.sync();
    }
    void destroy() {
        if (window_ != XCB_NONE) {
            xcb_destroy_window(desktop_.get(), window_);
            desktop_.sync();
            window_ = XCB_NONE;
        }
    }
    // What the taskbar tells the window manager of the client's button.
    void setButton(xcb_window_t client, const QRect& button) const {
        const std::array<uint32_t, 4> values{uint32_t(button.x()), uint32_t(button.y()),
                                             uint32_t(button.width()), uint32_t(button.height())};
        xcb_change_property(desktop_.get(), XCB_PROP_MODE_REPLACE, client,
                            desktop_.atom("_NET_WM_ICON_GEOMETRY"), XCB_ATOM_CARDINAL, 32,
                            values.size(), values.data());
        desktop_.sync();
    }

  private:
    const X11TestDesktop& desktop_;
    xcb_window_t window_ = XCB_NONE;
};

class X11TaskbarTest : public X11PortTest {
  protected:
    void SetUp() override {
        X11PortTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        probe = std::make_unique<NativeSwitcherProbe>(*port);
        for (int i = 0; i < 2; ++i) {
            xterms[i] = std::make_unique<TestXterm>(
                *desktop, QStringLiteral("taskbar-%1").arg(i),
                QStringLiteral("40x8+%1+200").arg(100 + 300 * i),
                QStringList{QStringLiteral("-class"), QStringLiteral("PellucineTask%1").arg(i)});
            ASSERT_TRUE(xterms[i]->window()) << i << " did not appear";
        }
        port->systemDock().setWanted(true);
        // The bar lists both: the port knows them before the taskbar draws their buttons.
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            const auto listed = pids();
            return port->dockBar().isShowing() && listed.contains(pid(0)) &&
                   listed.contains(pid(1));
        }));
    }
    void TearDown() override {
        if (port) {
            port->systemDock().setWanted(false);
        }
        for (auto& xterm : xterms) {
            xterm.reset();
        }
    }

    xcb_window_t window(int i) const { return *xterms[i]->window(); }
    qint32 pid(int i) const { return static_cast<qint32>(xterms[i]->pid()); }
    // A copy: holding the shell would keep it published.
    std::optional<X11ShellContent::List> dock() {
        testing::settle(port->state().connection());
        const auto shell = port->state().shell();
        return shell ? std::optional(shell->dock) : std::nullopt;
    }
    QList<qint32> pids() {
        QList<qint32> result;
        if (const auto list = dock()) {
            for (const X11ShellContent::Item& item : list->items) {
                result.append(item.processIdentifier);
            }
        }
        return result;
    }
    // The shell's Dock holds exactly these buttons, each hit by the probe at its middle, in a
    // list framed by the panel.
    bool showsButtons(const QList<std::pair<GlobalRect, qint32>>& expected) {
        const auto list = dock();
        if (!list || list->frame != GlobalRect(0, 0, 1280, TestPanel::height) ||
            list->items.size() != expected.size()) {
            return false;
        }
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const auto& [frame, owner] = expected[i];
            if (list->items[i].frame != frame || list->items[i].processIdentifier != owner ||
                probe->processIdentifierAtDockPoint({frame.midX(), frame.midY()}) != owner) {
                return false;
            }
        }
        return true;
    }
    // The port's own bar is back with its items and no taskbar's.
    bool barIsBack() {
        const auto list = dock();
        return port->dockBar().isShowing() && list && list->frame && list->frame->maxY() == 800 &&
               pids().contains(pid(0)) && port->systemDock().kind() == SystemDock::Kind::dockBar;
    }

    std::unique_ptr<TestXterm> xterms[2];
    std::unique_ptr<NativeSwitcherProbe> probe;
};

TEST_F(X11TaskbarTest, TheTaskbarsButtonsAreTheDockWhileItsPanelShowsThem) {
    EXPECT_EQ(port->systemDock().kind(), SystemDock::Kind::dockBar);
    auto panel = std::make_unique<TestPanel>(*desktop);
    panel->setButton(window(0), QRect(104, 0, 150, TestPanel::height));
    panel->setButton(window(1), QRect(256, 0, 150, TestPanel::height));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return showsButtons({{GlobalRect(104, 0, 150, TestPanel::height), pid(0)},
                             {GlobalRect(256, 0, 150, TestPanel::height), pid(1)}});
    }));
    EXPECT_FALSE(port->dockBar().isShowing()) << "the bar stands aside for the taskbar";
    EXPECT_EQ(port->systemDock().kind(), SystemDock::Kind::taskbar);
    EXPECT_EQ(probe->processIdentifierAtDockPoint({80, 10}), std::nullopt)
        << "the panel beside the buttons is no item";

    // The taskbar groups both windows' buttons into one, then moves it.
    panel->setButton(window(1), QRect(104, 0, 150, TestPanel::height));
    panel->setButton(window(0), QRect(408, 0, 150, TestPanel::height));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return showsButtons({{GlobalRect(104, 0, 150, TestPanel::height), pid(1)},
                             {GlobalRect(408, 0, 150, TestPanel::height), pid(0)}});
    }));

    // Unmapped, the panel leaves its buttons' rectangles on the clients: they count no more.
    panel->unmap();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return barIsBack(); }));
    EXPECT_EQ(probe->processIdentifierAtDockPoint({480, 10}), std::nullopt);

    panel->map();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        return showsButtons({{GlobalRect(104, 0, 150, TestPanel::height), pid(1)},
                             {GlobalRect(408, 0, 150, TestPanel::height), pid(0)}});
    }));
    EXPECT_FALSE(port->dockBar().isShowing());

    // The taskbar quits.
    panel.reset();
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return barIsBack(); }));
    EXPECT_EQ(probe->processIdentifierAtDockPoint({480, 10}), std::nullopt);
}

}  // namespace
}  // namespace pellucine

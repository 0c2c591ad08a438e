#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QRgb>
#include <QString>
#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

#include "platform/x11/X11Connection.h"
#include "platform/x11/wiring/X11Desktop.h"

namespace pellucine::testing {

// The X server the fixture started, and a connection of the test's own that looks at it
// independently of the code under test. The tests act through the backend and check the
// effect here, polling with a deadline because the window manager carries requests out later.
class X11TestDesktop {
  public:
    // Points DISPLAY at the fixture's server; none when there is no server to test against.
    static std::optional<QByteArray> connectDisplay();

    X11TestDesktop();
    ~X11TestDesktop();

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return root_; }

    // The client with exactly this title (WM_NAME), or none.
    std::optional<xcb_window_t> findClient(const QString& title) const;
    // The window's WM_NAME.
    QString title(xcb_window_t window) const;
    QList<xcb_window_t> clients() const;
    // Clients front to back.
    QList<xcb_window_t> stacking() const;
    xcb_window_t activeWindow() const;
    // The window manager's frame holding the client (its top-level ancestor), and its geometry.
    xcb_window_t frameWindowOf(xcb_window_t window) const;
    QRect frameOf(xcb_window_t window) const;
    // Moves the client's frame without the window manager or the client hearing of it, as a
    // window manager animating a window does.
    void moveFrameQuietly(xcb_window_t window, QPoint topLeft) const;
    bool isViewable(xcb_window_t window) const;
    // WM_STATE: 1 normal, 3 iconic, 0 when missing.
    quint32 wmState(xcb_window_t window) const;
    QList<quint32> netWmState(xcb_window_t window) const;
    // The first item of a 32-bit property such as _NET_WM_DESKTOP; none when it is not set.
    std::optional<quint32> cardinal(xcb_window_t window, const char* name) const;
    std::optional<quint32> currentDesktop() const {
        return cardinal(root_, "_NET_CURRENT_DESKTOP");
    }
    xcb_atom_t atom(const char* name) const;
    // Sends a client message about `window` to the window manager, as a pager does.
    void sendToRoot(xcb_window_t window, const char* type,
                    const std::array<uint32_t, 5>& data) const;
    // Sets WM_NAME and _NET_WM_NAME; returns once the server has carried the change out.
    void setTitle(xcb_window_t window, const QString& title) const;
    // Waits until the server has carried out every request of this connection, so that other
    // connections see their effect.
    void sync() const;
    // _NET_WM_PID.
    std::optional<qint32> pidOf(xcb_window_t window) const;
    // The screen's first RandR output; none without one.
    std::optional<uint32_t> firstOutput() const;
    // Sets up the RandR monitor `name` (a monitor taking an output retires the one the server
    // made for it) or takes it away, and returns once the server has done so.
    void setMonitor(const char* name, const QRect& rect, bool primary,
                    std::optional<uint32_t> output = std::nullopt) const;
    void deleteMonitor(const char* name) const;

    // Polls `condition`, handling the test's events meanwhile, until it holds or `ms` pass.
    static bool waitUntil(const std::function<bool()>& condition, int ms = 8000);

  private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
};

// An xterm started by a test, killed at the end of it.
class TestXterm {
  public:
    // Starts an xterm with the title and waits until it is mapped; `window()` is empty when it
    // did not appear in time.
    TestXterm(const X11TestDesktop& desktop, const QString& title,
              const QString& geometry = QStringLiteral("60x15+200+200"),
              const QStringList& extraArguments = {});
    ~TestXterm();

    std::optional<xcb_window_t> window() const { return window_; }
    qint64 pid() const { return process_.processId(); }
    QProcess& process() { return process_; }

  private:
    QProcess process_;
    std::optional<xcb_window_t> window_;
};

// The tests' own X client (tests/x11/client) in a process of its own, killed at the end of the
// test.
class TestClient {
  public:
    // Starts it with `arguments`; without any it opens windows when asked.
    explicit TestClient(const QStringList& arguments = {});
    ~TestClient();

    bool isRunning() const { return process_.state() == QProcess::Running; }
    qint64 pid() const { return process_.processId(); }
    // Opens a window with this title and waits until the window manager has placed it; none
    // when it did not appear in time.
    std::optional<xcb_window_t> openWindow(const X11TestDesktop& desktop, const QString& title);
    // Windows opened later are of this class.
    bool setWindowClass(const QString& name);
    // Renames the window `count` times as fast as it can; returns once the server has carried
    // every change out.
    bool flood(xcb_window_t window, int count);
    // Paints the window in one colour; returns once the server has carried it out.
    bool paint(xcb_window_t window, QRgb colour);
    // From now on a close request to the window leaves it open and maps a dialog transient for
    // it, titled `title`, at `place`.
    bool promptOnClose(xcb_window_t window, const QRect& place, const QString& title);
    // From now on the window shows white whenever it is exposed (shown again, say) and draws
    // `colour` only `delayMilliseconds` later.
    bool drawLate(xcb_window_t window, QRgb colour, int delayMilliseconds);
    // From now on the window has no background, so that what the server puts into it is what
    // lay behind it: it shows `shown` whenever it is exposed, and after each change of its size
    // draws `next` only `delayMilliseconds` later (and shows that from then on).
    bool redrawAfterResize(xcb_window_t window, QRgb shown, QRgb next, int delayMilliseconds);
    // Opens a window as openWindow does that draws late from its first showing on.
    std::optional<xcb_window_t> openLateWindow(const X11TestDesktop& desktop, const QString& title,
                                               QRgb colour, int delayMilliseconds);
    // Opens an undecorated window of 120 x 90 pixels that draws a shadow of its own: `margins`
    // of `shadow` around `colour`, named in _GTK_FRAME_EXTENTS.
    std::optional<xcb_window_t> openShadowedWindow(const X11TestDesktop& desktop,
                                                   const QString& title, QMargins margins,
                                                   QRgb shadow, QRgb colour);

  private:
    // The next line it answers; empty when none came in time.
    QByteArray answer();

    QProcess process_;
};

// Waits until a client with this title is mapped and its frame holds still; none when it did not
// appear in time.
std::optional<xcb_window_t> waitUntilPlaced(const X11TestDesktop& desktop, const QString& title);

// Runs a task to its end on the event loop, within the deadline; its result (std::monostate
// for a task without one), or none with the exception in `failure`.
template <class T>
auto await(QCoro::Task<T> task, std::exception_ptr& failure) {
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;
    std::optional<Value> result;
    bool done = false;
    auto runner = [&](QCoro::Task<T> t) -> QCoro::Task<> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(t);
                result.emplace();
            } else {
                result = co_await std::move(t);
            }
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    };
    auto running = runner(std::move(task));
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return done; }));
    return result;
}

// Brings every event the server has sent so far to `connection` and runs what they posted:
// afterwards a change made on the server has had all its effects in this process.
void settle(X11Connection& connection);

// Fixture base: skips when there is no server; otherwise connects the backend and the probe.
class X11Test : public ::testing::Test {
  protected:
    void SetUp() override;
    std::unique_ptr<X11TestDesktop> desktop;
    QByteArray display;
    std::unique_ptr<X11Connection> connection;
};

}  // namespace pellucine::testing

namespace pellucine::testing {

// Fixture base for the port: the X11 desktop on the fixture's server as the program uses it.
class X11PortTest : public X11Test {
  protected:
    void SetUp() override;
    std::unique_ptr<X11Desktop> port;
};

}  // namespace pellucine::testing

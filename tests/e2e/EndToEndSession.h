#pragma once

#include <xcb/xcb.h>

#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "TaskbarLaunch.h"
#include "WindowManagerLaunch.h"
#include "X11TestDesktop.h"
#include "X11TestKeyboard.h"
#include "base/AppPaths.h"
#include "base/FileDescriptor.h"
#include "preferences/PortablePreferences.h"

namespace pellucine::testing {

// A window the program shows, found on the server by its name.
struct ShownWindow {
    xcb_window_t window = XCB_NONE;
    // Where it is on the screen.
    QRect rect;
};

// A desktop of its own for one test: Xvfb, a window manager (openbox unless named) and a tray,
// the clients the test starts and the program itself with scratch folders. Everything stops with
// the session; DISPLAY points at its server meanwhile.
class EndToEndSession {
  public:
    EndToEndSession();
    explicit EndToEndSession(WindowManager manager);
    // A screen of this size, 1280x800 unless given.
    EndToEndSession(WindowManager manager, QSize screen);
    ~EndToEndSession();
    EndToEndSession(const EndToEndSession&) = delete;
    EndToEndSession& operator=(const EndToEndSession&) = delete;

    // Starts the server, the window manager and the tray; false with `error` when one did not
    // come up in time.
    bool start(QString& error);

    const WindowManagerLaunch& windowManager() const { return manager_; }
    // What the running manager calls itself (_NET_WM_NAME of its check window).
    QString windowManagerName() const;
    // Starts a panel along the bottom edge that reserves it with a strut, as a desktop's own
    // panel does; false with `error` when it is not placed there in time.
    bool startBottomPanel(QString& error);
    // Starts a taskbar and waits until its panel is up; false with `error` when it is not in
    // time.
    bool startTaskbar(const TaskbarLaunch& taskbar, QString& error);
    // Kills the taskbar; what it wrote on the clients stays behind.
    void killTaskbar();
    // The button rectangle the taskbar published on the window (_NET_WM_ICON_GEOMETRY), if any.
    std::optional<QRect> iconGeometry(xcb_window_t window) const;
    // Waits until every window has a button on the screen and the buttons hold still between
    // two reads; the buttons in the windows' order, or empty when they do not in time.
    QList<QRect> waitForButtons(const QList<xcb_window_t>& windows) const;
    // The viewable dock window (a panel) under the point; none when there is none.
    std::optional<ShownWindow> dockAt(QPoint point) const;
    // Splits the screen into two RandR monitors side by side, the left one the primary, and
    // waits until the server lists them; false when it does not.
    bool splitIntoTwoMonitors();

    X11TestDesktop& desktop() const { return *desktop_; }
    X11TestKeyboard& keyboard() { return *keyboard_; }

    // Starts a client and waits until its window with `title` is placed.
    std::optional<xcb_window_t> startClient(const QString& program, const QStringList& arguments,
                                            const QString& title);
    QProcess* clientProcess(xcb_window_t window) const;

    // Sets a variable of the program's environment; before startProgram.
    void setProgramVariable(const QString& name, const QString& value);
    // Merges X resources (as `xrdb -merge` reads them) into the server's; false when xrdb
    // failed.
    bool mergeResources(const QByteArray& resources);
    // Changes the preferences the program starts with; before startProgram.
    bool changePreferences(const std::function<void(PortablePreferences&)>& change);
    // Starts the program as after its welcome was completed and waits until it follows every
    // client window there is, its hotkeys are taken and its Dock bar is up. With `dockBar` false
    // (a taskbar stands in for the bar) it waits until the program follows the windows instead.
    bool startProgram(int clientWindows, QString& error, bool dockBar = true);
    QProcess& program() { return *program_; }

    QString eventLogPath() const;
    // The program's event log, oldest first.
    QList<QJsonObject> events() const;
    // Waits for an event named `name` after the first `after` events that `matches`; its fields.
    std::optional<QJsonObject> waitForEvent(
        const QString& name, qsizetype after,
        const std::function<bool(const QJsonObject&)>& matches = {}) const;

    // A viewable window of the program with this WM_NAME (its frame's place on the screen for
    // one the window manager frames); none when there is none.
    std::optional<ShownWindow> shown(const QString& name) const;
    bool waitUntilShown(const QString& name, std::optional<ShownWindow>& window) const;
    bool waitUntilGone(const QString& name) const;
    // Waits until the window with this name is shown and its place holds still between two
    // reads; false, with the last place read, when it does not in time.
    bool waitUntilStill(const QString& name, QRect& rect) const;

    // The program's icon in the tray, once the tray has placed it.
    std::optional<ShownWindow> trayIcon() const;
    // A window on the root of class `name` (WM_CLASS instance) at least `minimum` large: a menu
    // of the program, which names its other windows.
    std::optional<ShownWindow> popup(const QString& name, QSize minimum) const;

    // Another client holds the keyboard (a menu, say): a grab of the test's own is refused. One
    // that succeeds is let go at once.
    bool keyboardHeldElsewhere() const;
    // Moves the pointer there and clicks the button (the first, or 3 for a context menu).
    void click(QPoint point, uint8_t button = 1) const;
    // Saves the root window as a PNG.
    bool screenshot(const QString& path) const;
    // What a failed case leaves to look at, as `base` plus ".png" (the screen), ".windows.txt"
    // (the window tree) and ".jsonl" (the event log), each named on stderr, and whether the
    // program had ended before it was stopped.
    void keepTraces(const QString& base) const;

  private:
    // What becomes of a process's output: read by the test, its errors in the test's log, or
    // nothing.
    enum class Output { read, errorsToLog, none };
    QProcessEnvironment environment() const;
    bool startWindowManager(QString& error);
    // The session bus's address, started on the first call; empty with `error` when it did not
    // come up.
    QString sessionBus(QString& error);
    // The environment with a launch's own variables, "%h" standing for the home.
    QProcessEnvironment environmentWith(const QList<std::pair<QString, QString>>& variables) const;
    bool writeFiles(const QList<std::pair<QString, QByteArray>>& files, QString& error) const;
    QProcess& spawn(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment, Output output = Output::none);

    std::vector<std::unique_ptr<QProcess>> processes_;
    QHash<xcb_window_t, QProcess*> clients_;
    WindowManagerLaunch manager_;
    xcb_window_t managerCheck_ = XCB_NONE;
    QSize screen_{1280, 800};
    QString busAddress_;
    QProcess* taskbar_ = nullptr;
    QProcess* program_ = nullptr;
    QList<std::pair<QString, QString>> programVariables_;
    std::unique_ptr<X11TestDesktop> desktop_;
    std::unique_ptr<X11TestKeyboard> keyboard_;
    QTemporaryDir home_;
    QTemporaryDir runtime_{QDir::tempPath() + QStringLiteral("/pellucine-e2e-run-XXXXXX")};
    AppPaths paths_;
    // Held while the server runs: no other session starts one on its display.
    std::unique_ptr<FileDescriptor> displayLock_;
};

}  // namespace pellucine::testing

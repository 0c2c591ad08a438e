#include "EndToEndSession.h"

#include <fcntl.h>
#include <sys/file.h>
#include <xcb/randr.h>
#include <xcb/xtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>

#include "base/RecordingEventLog.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileStore.h"
#include "support/ProgramProcesses.h"

namespace pellucine::testing {

namespace {

// Starting processes and waiting for the server may take long on a loaded machine.
constexpr int startDeadline = 20000;
constexpr int eventDeadline = 15000;
constexpr int firstDisplay = 40;
constexpr int displayCount = 100;

template <class T>
std::unique_ptr<T, decltype(&std::free)> owned(T* p) {
    return {p, &std::free};
}

QByteArray wmName(xcb_connection_t* c, xcb_window_t window) {
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr));
    if (!reply) {
        return {};
    }
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

// The instance part of WM_CLASS.
QByteArray wmClassName(xcb_connection_t* c, xcb_window_t window) {
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr));
    if (!reply) {
        return {};
    }
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    return value.left(value.indexOf('\0'));
}

bool serverAnswers(const QByteArray& display) {
    xcb_connection_t* c = xcb_connect(display.constData(), nullptr);
    const bool answers = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return answers;
}

bool hasProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1), nullptr));
    return reply && reply->type != XCB_NONE;
}

xcb_window_t windowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) {
        return XCB_NONE;
    }
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection) {
    const auto reply =
        owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return reply ? reply->owner : XCB_NONE;
}

}  // namespace

EndToEndSession::EndToEndSession() : EndToEndSession(WindowManager::openbox) {}

EndToEndSession::EndToEndSession(WindowManager manager)
    : EndToEndSession(manager, QSize(1280, 800)) {}

EndToEndSession::EndToEndSession(WindowManager manager, QSize screen)
    : manager_(WindowManagerLaunch::of(manager)),
      screen_(screen),
      paths_(AppPaths::under(home_.path())) {
    QFile::setPermissions(runtime_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

EndToEndSession::~EndToEndSession() {
    keyboard_.reset();
    // The program and the clients go before the server they draw on.
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
        if (std::next(it) == processes_.rend()) {
            desktop_.reset();
        }
        (*it)->kill();
        (*it)->waitForFinished(5000);
    }
}

QProcessEnvironment EndToEndSession::environment() const {
    // Nothing shared with other sessions running at the same time: every process of this one
    // keeps its settings, caches and runtime files in the session's folders.
    QProcessEnvironment environment = programEnvironment(
        home_.path(), runtime_.path(), paths_.applicationSupport, paths_.defaults);
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home_.path() + QStringLiteral("/cache"));
    return environment;
}

QProcess& EndToEndSession::spawn(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment, Output output) {
    auto& process = processes_.emplace_back(std::make_unique<QProcess>());
    process->setProcessEnvironment(environment);
    process->setStandardInputFile(QProcess::nullDevice());
    if (output != Output::read) {
        process->setStandardOutputFile(QProcess::nullDevice());
    }
    if (output == Output::errorsToLog) {
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else {
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    process->start(program, arguments);
    process->waitForStarted(startDeadline);
    return *process;
}

bool EndToEndSession::start(QString& error) {
    QProcessEnvironment environment = this->environment();
    // Servers started with -displayfd at the same moment may pick the same display, the later
    // one taking over the earlier one's socket. Each session reserves its display instead, by a
    // lock every session honours, above the few that -displayfd hands out from 0.
    QByteArray number;
    for (int display = firstDisplay; display < firstDisplay + displayCount && number.isEmpty();
         ++display) {
        const QByteArray lockPath = QDir::tempPath().toLocal8Bit() + "/pellucine-e2e-display-" +
                                    QByteArray::number(display) + ".lock";
        auto lock = std::make_unique<FileDescriptor>(
            ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (lock->get() < 0 || ::flock(lock->get(), LOCK_EX | LOCK_NB) != 0 ||
            serverAnswers(":" + QByteArray::number(display))) {
            continue;
        }
        QProcess& server =
            spawn(QStringLiteral("Xvfb"),
                  {QStringLiteral(":%1").arg(display), "-displayfd", "1", "-noreset", "-screen",
                   "0", QStringLiteral("%1x%2x24").arg(screen_.width()).arg(screen_.height()),
                   "-nolisten", "tcp", "+extension", "Composite", "+extension", "RANDR"},
                  environment, Output::read);
        // It names the display on its output once it takes connections.
        const QDeadlineTimer deadline(startDeadline);
        while (!server.canReadLine() && !deadline.hasExpired() &&
               server.state() == QProcess::Running) {
            server.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        }
        number = server.readLine().trimmed();
        if (!number.isEmpty()) {
            displayLock_ = std::move(lock);
        }
    }
    if (number.isEmpty()) {
        error = QStringLiteral("Xvfb did not start");
        return false;
    }
    qputenv("DISPLAY", ":" + number);
    desktop_ = std::make_unique<X11TestDesktop>();
    xcb_connection_t* c = desktop_->get();
    if (xcb_connection_has_error(c) != 0) {
        error = QStringLiteral("Xvfb does not answer");
        return false;
    }

    if (!startWindowManager(error)) {
        return false;
    }
    environment = this->environment();
    spawn(QStringLiteral("trayer"),
          {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "160",
           "--height", "28", "--SetPartialStrut", "false"},
          environment, Output::errorsToLog);
    const xcb_atom_t tray = desktop_->atom("_NET_SYSTEM_TRAY_S0");
    if (!X11TestDesktop::waitUntil([&] { return selectionOwner(c, tray) != XCB_NONE; },
                                   startDeadline)) {
        error = QStringLiteral("no tray appeared");
        return false;
    }
    keyboard_ = std::make_unique<X11TestKeyboard>(*desktop_);
    return true;
}

bool EndToEndSession::startWindowManager(QString& error) {
    xcb_connection_t* c = desktop_->get();
    if (!writeFiles(manager_.files, error)) {
        return false;
    }
    QProcessEnvironment environment = environmentWith(manager_.environment);
    QStringList arguments;
    for (const QString& argument : manager_.arguments) {
        arguments << QString(argument).replace(QStringLiteral("%h"), home_.path());
    }
    if (manager_.needsSessionBus) {
        const QString address = sessionBus(error);
        if (address.isEmpty()) {
            return false;
        }
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    }
    QProcess& manager = spawn(manager_.program, arguments, environment, Output::errorsToLog);
    // A manager names itself before it handles windows, and a check window left by one that
    // died names nothing: it is ready once its check window names itself and it has taken in a
    // window of the test's own.
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, desktop_->root(), 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t check = desktop_->atom("_NET_SUPPORTING_WM_CHECK");
    const bool managing = X11TestDesktop::waitUntil(
        [&] {
            const xcb_window_t named = windowProperty(c, desktop_->root(), check);
            if (named == XCB_NONE || windowProperty(c, named, check) != named) {
                return false;
            }
            managerCheck_ = named;
            // A request that comes while it is still starting may be dropped: asked again until
            // it frames the window.
            xcb_map_window(c, probe);
            desktop_->sync();
            return desktop_->frameWindowOf(probe) != probe;
        },
        startDeadline);
    xcb_destroy_window(c, probe);
    desktop_->sync();
    if (!managing) {
        error = QStringLiteral("%1 does not manage windows (%2)")
                    .arg(manager_.name,
                         manager.state() == QProcess::Running ? "running" : "not running");
        return false;
    }
    // The probe leaves the client lists before the test's own windows come.
    X11TestDesktop::waitUntil([&] { return !desktop_->clients().contains(probe); }, startDeadline);
    return true;
}

bool EndToEndSession::writeFiles(const QList<std::pair<QString, QByteArray>>& files,
                                 QString& error) const {
    for (const auto& [path, contents] : files) {
        const QString file = home_.path() + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(contents) != contents.size()) {
            error = QStringLiteral("cannot write %1").arg(file);
            return false;
        }
    }
    return true;
}

QProcessEnvironment EndToEndSession::environmentWith(
    const QList<std::pair<QString, QString>>& variables) const {
    QProcessEnvironment environment = this->environment();
    for (const auto& [name, value] : variables) {
        environment.insert(name, QString(value).replace(QStringLiteral("%h"), home_.path()));
    }
    return environment;
}

QString EndToEndSession::sessionBus(QString& error) {
    if (!busAddress_.isEmpty()) {
        return busAddress_;
    }
    QProcess& bus = spawn(QStringLiteral("dbus-daemon"),
                          {"--session", "--nofork", "--print-address=1",
                           "--address=unix:path=" + runtime_.path() + "/bus"},
                          environment(), Output::read);
    // It prints its address once it takes connections.
    const QDeadlineTimer deadline(startDeadline);
    while (!bus.canReadLine() && !deadline.hasExpired() && bus.state() == QProcess::Running) {
        bus.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    busAddress_ = QString::fromUtf8(bus.readLine().trimmed());
    if (busAddress_.isEmpty()) {
        error = QStringLiteral("no session bus");
    }
    return busAddress_;
}

QString EndToEndSession::windowManagerName() const {
    xcb_connection_t* c = desktop_->get();
    const auto reply = owned(
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, managerCheck_, desktop_->atom("_NET_WM_NAME"),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                               nullptr));
    if (!reply) {
        return {};
    }
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

bool EndToEndSession::startBottomPanel(QString& error) {
    const QString config = home_.path() + QStringLiteral("/tint2rc");
    QFile rc(config);
    // A plain bar of 30 pixels along the whole bottom edge, reserved by its strut.
    const QByteArray text =
        "panel_items = C\n"
        "panel_size = 100% 30\n"
        "panel_position = bottom center horizontal\n"
        "panel_dock = 0\n"
        "strut_policy = follow_size\n"
        "panel_layer = top\n"
        "wm_menu = 0\n"
        "time1_format = %H:%M\n";
    if (!rc.open(QIODevice::WriteOnly) || rc.write(text) != text.size()) {
        error = QStringLiteral("cannot write %1").arg(config);
        return false;
    }
    rc.close();
    spawn(QStringLiteral("tint2"), {"-c", config}, environment(), Output::errorsToLog);
    xcb_connection_t* c = desktop_->get();
    const xcb_atom_t strut = desktop_->atom("_NET_WM_STRUT_PARTIAL");
    // Managers frame docks or leave them on the root: either way the panel is a client.
    const bool placed = X11TestDesktop::waitUntil(
        [&] {
            const QList<xcb_window_t> clients = desktop_->clients();
            return std::any_of(clients.begin(), clients.end(), [&](xcb_window_t window) {
                return wmClassName(c, window) == "tint2" && desktop_->isViewable(window) &&
                       hasProperty(c, window, strut);
            });
        },
        startDeadline);
    if (!placed) {
        error = QStringLiteral("the bottom panel did not come up");
    }
    return placed;
}

bool EndToEndSession::startTaskbar(const TaskbarLaunch& taskbar, QString& error) {
    if (!writeFiles(taskbar.files, error)) {
        return false;
    }
    QProcessEnvironment environment = environmentWith(taskbar.environment);
    if (taskbar.needsSessionBus) {
        const QString address = sessionBus(error);
        if (address.isEmpty()) {
            return false;
        }
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    }
    QStringList arguments;
    for (const QString& argument : taskbar.arguments) {
        arguments << QString(argument).replace(QStringLiteral("%h"), home_.path());
    }
    xcb_connection_t* c = desktop_->get();
    const xcb_atom_t strut = desktop_->atom("_NET_WM_STRUT_PARTIAL");
    const auto panels = [&] {
        QList<xcb_window_t> found;
        for (const xcb_window_t window : desktop_->clients()) {
            if (desktop_->isViewable(window) && hasProperty(c, window, strut)) {
                found.append(window);
            }
        }
        return found;
    };
    const QList<xcb_window_t> before = panels();
    taskbar_ = &spawn(taskbar.program, arguments, environment, Output::errorsToLog);
    // Up once a panel of its own reserves an edge.
    const bool up = X11TestDesktop::waitUntil(
        [&] {
            const QList<xcb_window_t> now = panels();
            return std::any_of(now.begin(), now.end(),
                               [&](xcb_window_t window) { return !before.contains(window); });
        },
        startDeadline);
    if (!up) {
        error = QStringLiteral("%1 did not come up (%2)")
                    .arg(taskbar.name,
                         taskbar_->state() == QProcess::Running ? "running" : "not running");
    }
    return up;
}

void EndToEndSession::killTaskbar() {
    if (taskbar_) {
        taskbar_->kill();
        taskbar_->waitForFinished(startDeadline);
    }
}

std::optional<QRect> EndToEndSession::iconGeometry(xcb_window_t window) const {
    xcb_connection_t* c = desktop_->get();
    const auto reply = owned(xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, window, desktop_->atom("_NET_WM_ICON_GEOMETRY"), XCB_ATOM_CARDINAL,
                         0, 4),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 16) {
        return std::nullopt;
    }
    const auto* value = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QRect(static_cast<int>(value[0]), static_cast<int>(value[1]), static_cast<int>(value[2]),
                 static_cast<int>(value[3]));
}

QList<QRect> EndToEndSession::waitForButtons(const QList<xcb_window_t>& windows) const {
    const QRect screen(QPoint(0, 0), screen_);
    QList<QRect> buttons;
    const bool settled = X11TestDesktop::waitUntil(
        [&] {
            QList<QRect> now;
            for (const xcb_window_t window : windows) {
                const std::optional<QRect> button = iconGeometry(window);
                if (!button || button->isEmpty() || !screen.contains(*button)) {
                    buttons.clear();
                    return false;
                }
                now.append(*button);
            }
            // A taskbar may lay its buttons out again as each window comes.
            const bool still = now == buttons;
            buttons = now;
            return still;
        },
        startDeadline);
    return settled ? buttons : QList<QRect>{};
}

std::optional<ShownWindow> EndToEndSession::dockAt(QPoint point) const {
    xcb_connection_t* c = desktop_->get();
    const xcb_atom_t type = desktop_->atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = desktop_->atom("_NET_WM_WINDOW_TYPE_DOCK");
    for (const xcb_window_t window : desktop_->clients()) {
        const auto reply = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, type, XCB_ATOM_ATOM, 0, 8), nullptr));
        if (!reply || !desktop_->isViewable(window)) {
            continue;
        }
        const auto* types = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        const QRect rect = desktop_->frameOf(window);
        if (std::find(types, types + count, dock) != types + count && rect.contains(point)) {
            return ShownWindow{window, rect};
        }
    }
    return std::nullopt;
}

bool EndToEndSession::splitIntoTwoMonitors() {
    xcb_connection_t* c = desktop_->get();
    const std::optional<uint32_t> output = desktop_->firstOutput();
    if (!output) {
        return false;
    }
    // The left monitor takes the screen's output, which retires the monitor the server made
    // for it.
    const int half = screen_.width() / 2;
    desktop_->setMonitor("PELLUCINE-LEFT", QRect(0, 0, half, screen_.height()), true, output);
    desktop_->setMonitor("PELLUCINE-RIGHT", QRect(half, 0, half, screen_.height()), false);
    return X11TestDesktop::waitUntil([&] {
        const auto monitors = owned(xcb_randr_get_monitors_reply(
            c, xcb_randr_get_monitors(c, desktop_->root(), 1), nullptr));
        return monitors && monitors->nMonitors == 2;
    });
}

std::optional<xcb_window_t> EndToEndSession::startClient(const QString& program,
                                                         const QStringList& arguments,
                                                         const QString& title) {
    QProcess& process = spawn(program, arguments, environment(), Output::errorsToLog);
    if (process.state() != QProcess::Running) {
        return std::nullopt;
    }
    const std::optional<xcb_window_t> window = waitUntilPlaced(*desktop_, title);
    if (window) {
        clients_.insert(*window, &process);
    }
    return window;
}

QProcess* EndToEndSession::clientProcess(xcb_window_t window) const {
    return clients_.value(window);
}

void EndToEndSession::setProgramVariable(const QString& name, const QString& value) {
    programVariables_.append({name, value});
}

bool EndToEndSession::mergeResources(const QByteArray& resources) {
    QProcess xrdb;
    xrdb.setProcessEnvironment(environment());
    xrdb.start(QStringLiteral("xrdb"), {"-merge"});
    if (!xrdb.waitForStarted(startDeadline)) {
        return false;
    }
    xrdb.write(resources);
    xrdb.closeWriteChannel();
    return xrdb.waitForFinished(startDeadline) && xrdb.exitStatus() == QProcess::NormalExit &&
           xrdb.exitCode() == 0;
}

bool EndToEndSession::changePreferences(const std::function<void(PortablePreferences&)>& change) {
    SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths_));
    RecordingEventLog events;
    PreferenceStore store(defaults, paths_, systemWallClock(), events);
    PortablePreferences preferences = store.loadPortablePreferences();
    change(preferences);
    return store.savePortablePreferences(preferences);
}

bool EndToEndSession::startProgram(int clientWindows, QString& error, bool dockBar) {
    SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths_));
    defaults.setValue(QStringLiteral("hasCompletedTaskSwitcherOnboarding"), true);

    program_ = &spawn(QStringLiteral(PELLUCINE_PROGRAM), {}, environmentWith(programVariables_),
                      Output::errorsToLog);
    if (program_->state() != QProcess::Running) {
        error = QStringLiteral("the program did not start");
        return false;
    }
    const auto registered = [](const QJsonObject& e) {
        return e.value("result").toString() == QLatin1String("registered");
    };
    const auto allWindows = [clientWindows](const QJsonObject& e) {
        return e.value("windowCount").toString().toInt() == clientWindows;
    };
    std::optional<ShownWindow> dock;
    if (!waitForEvent(QStringLiteral("shortcut-monitor-started"), 0)) {
        error = QStringLiteral("the program does not follow Super+Tab");
    } else if (!waitForEvent(QStringLiteral("window-search-hotkey"), 0, registered)) {
        error = QStringLiteral("the window-search hotkey was not taken");
    } else if (!dockBar && !waitForEvent(QStringLiteral("window-lifecycle-monitor-started"), 0)) {
        // Without its bar it reads the window list on its own time.
        error = QStringLiteral("the program does not follow the windows");
    } else if (dockBar && !waitForEvent(QStringLiteral("windows-refreshed"), 0, allWindows)) {
        error = QStringLiteral("the program does not list every client window");
    } else if (dockBar && !windowManager().tiles &&
               !waitUntilShown(QStringLiteral("Pellucine Dock"), dock)) {
        // Not waited for under a tiling manager, where the bar does not come up.
        error = QStringLiteral("the Dock bar is not up");
    }
    return error.isEmpty();
}

QString EndToEndSession::eventLogPath() const {
    return paths_.applicationSupport + QStringLiteral("/pellucine/diagnostics/flight.jsonl");
}

QList<QJsonObject> EndToEndSession::events() const {
    QFile log(eventLogPath());
    QList<QJsonObject> events;
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : log.readAll().split('\n')) {
            // A line still being written is not yet an event.
            const QJsonDocument document = QJsonDocument::fromJson(line);
            if (document.isObject()) {
                events.append(document.object());
            }
        }
    }
    return events;
}

std::optional<QJsonObject> EndToEndSession::waitForEvent(
    const QString& name, qsizetype after,
    const std::function<bool(const QJsonObject&)>& matches) const {
    std::optional<QJsonObject> found;
    X11TestDesktop::waitUntil(
        [&] {
            const QList<QJsonObject> all = events();
            for (qsizetype i = after; i < all.size(); ++i) {
                if (all[i].value("event").toString() == name && (!matches || matches(all[i]))) {
                    found = all[i];
                    return true;
                }
            }
            return false;
        },
        eventDeadline);
    return found;
}

std::optional<ShownWindow> EndToEndSession::shown(const QString& name) const {
    xcb_connection_t* c = desktop_->get();
    const QByteArray wanted = name.toUtf8();
    // Windows of its own on the root first (the strip, the panels), then clients the window
    // manager frames.
    const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, desktop_->root()), nullptr));
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            if (wmName(c, children[i]) == wanted && desktop_->isViewable(children[i])) {
                const auto geometry =
                    owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr));
                if (geometry) {
                    return ShownWindow{children[i], QRect(geometry->x, geometry->y, geometry->width,
                                                          geometry->height)};
                }
            }
        }
    }
    const std::optional<xcb_window_t> client = desktop_->findClient(name);
    if (client && desktop_->isViewable(*client)) {
        return ShownWindow{*client, desktop_->frameOf(*client)};
    }
    return std::nullopt;
}

bool EndToEndSession::waitUntilShown(const QString& name,
                                     std::optional<ShownWindow>& window) const {
    return X11TestDesktop::waitUntil(
        [&] {
            window = shown(name);
            return window.has_value();
        },
        eventDeadline);
}

bool EndToEndSession::waitUntilGone(const QString& name) const {
    return X11TestDesktop::waitUntil([&] { return !shown(name); }, eventDeadline);
}

bool EndToEndSession::waitUntilStill(const QString& name, QRect& rect) const {
    rect = QRect();
    return X11TestDesktop::waitUntil(
        [&] {
            const std::optional<ShownWindow> now = shown(name);
            const bool still = now && now->rect == rect;
            rect = now ? now->rect : QRect();
            return still;
        },
        eventDeadline);
}

std::optional<ShownWindow> EndToEndSession::trayIcon() const {
    xcb_connection_t* c = desktop_->get();
    // Icons are embedded in the tray's windows: the program's is the one below the root's
    // children of its class.
    QList<xcb_window_t> pending;
    if (const auto top =
            owned(xcb_query_tree_reply(c, xcb_query_tree(c, desktop_->root()), nullptr))) {
        const xcb_window_t* children = xcb_query_tree_children(top.get());
        pending =
            QList<xcb_window_t>(children, children + xcb_query_tree_children_length(top.get()));
    }
    while (!pending.isEmpty()) {
        const xcb_window_t window = pending.takeFirst();
        const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree) {
            continue;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            if (wmClassName(c, children[i]) == "pellucine" && desktop_->isViewable(children[i])) {
                const auto geometry =
                    owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr));
                const auto origin = owned(xcb_translate_coordinates_reply(
                    c, xcb_translate_coordinates(c, children[i], desktop_->root(), 0, 0), nullptr));
                if (geometry && origin) {
                    return ShownWindow{children[i], QRect(origin->dst_x, origin->dst_y,
                                                          geometry->width, geometry->height)};
                }
            }
            pending.append(children[i]);
        }
    }
    return std::nullopt;
}

std::optional<ShownWindow> EndToEndSession::popup(const QString& name, QSize minimum) const {
    xcb_connection_t* c = desktop_->get();
    const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, desktop_->root()), nullptr));
    if (!tree) {
        return std::nullopt;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (wmClassName(c, children[i]) != name.toUtf8() || !desktop_->isViewable(children[i])) {
            continue;
        }
        const auto geometry =
            owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr));
        if (geometry && geometry->width >= minimum.width() &&
            geometry->height >= minimum.height()) {
            return ShownWindow{children[i],
                               QRect(geometry->x, geometry->y, geometry->width, geometry->height)};
        }
    }
    return std::nullopt;
}

bool EndToEndSession::keyboardHeldElsewhere() const {
    // Asked on a window that is never mapped, the grab cannot succeed: the server answers
    // "already grabbed" while another client holds the keyboard and "not viewable" otherwise,
    // so the probe never takes the keyboard from a client that is about to grab it.
    xcb_connection_t* c = desktop_->get();
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, 0, probe, desktop_->root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const auto reply = owned(xcb_grab_keyboard_reply(
        c,
        xcb_grab_keyboard(c, 0, probe, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    }
    xcb_destroy_window(c, probe);
    desktop_->sync();
    return reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

void EndToEndSession::click(QPoint point, uint8_t button) const {
    xcb_connection_t* c = desktop_->get();
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, desktop_->root(),
                        static_cast<int16_t>(point.x()), static_cast<int16_t>(point.y()), 0);
    xcb_test_fake_input(c, XCB_BUTTON_PRESS, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_BUTTON_RELEASE, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    desktop_->sync();
}

void EndToEndSession::keepTraces(const QString& base) const {
    if (screenshot(base + QStringLiteral(".png"))) {
        std::cerr << "screenshot: " << base.toStdString() << ".png\n";
    }
    // The server's windows as the failure left them.
    QProcess tree;
    tree.setStandardOutputFile(base + QStringLiteral(".windows.txt"));
    tree.start(QStringLiteral("xwininfo"), {"-root", "-tree"});
    tree.waitForFinished(5000);
    QFile::remove(base + QStringLiteral(".jsonl"));
    if (QFile::copy(eventLogPath(), base + QStringLiteral(".jsonl"))) {
        std::cerr << "event log: " << base.toStdString() << ".jsonl\n";
    }
    // A program that ended under the case explains all it missed after.
    if (program_ && program_->state() == QProcess::NotRunning) {
        std::cerr << (program_->exitStatus() == QProcess::CrashExit
                          ? std::string("the program had crashed\n")
                          : "the program had quit, exit code " +
                                std::to_string(program_->exitCode()) + "\n");
    }
}

bool EndToEndSession::screenshot(const QString& path) const {
    if (!desktop_) {
        return false;
    }
    xcb_connection_t* c = desktop_->get();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const auto image = owned(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, desktop_->root(), 0, 0,
                                          screen->width_in_pixels, screen->height_in_pixels, ~0u),
                            nullptr));
    const int width = screen->width_in_pixels;
    const int height = screen->height_in_pixels;
    if (!image || image->depth != 24 ||
        xcb_get_image_data_length(image.get()) < width * height * 4) {
        return false;
    }
    // 24-bit depth comes as 32-bit pixels, blue first.
    const QImage shot(xcb_get_image_data(image.get()), width, height, width * 4,
                      QImage::Format_RGB32);
    return shot.save(path, "PNG");
}

}  // namespace pellucine::testing

#include "X11TestDesktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <cstdlib>
#include <cstring>

namespace pellucine::testing {

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> owned(T* p) {
    return Reply<T>(p, &std::free);
}

QByteArray propertyBytes(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                         uint8_t* format = nullptr) {
    auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 65536), nullptr));
    if (!reply || reply->type == XCB_NONE) {
        return {};
    }
    if (format != nullptr) {
        *format = reply->format;
    }
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

QList<quint32> property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    uint8_t format = 0;
    const QByteArray bytes = propertyBytes(c, window, property, &format);
    QList<quint32> values;
    if (format != 32 || bytes.size() < 4) {
        return values;
    }
    values.resize(bytes.size() / 4);
    std::memcpy(values.data(), bytes.constData(), static_cast<std::size_t>(values.size()) * 4);
    return values;
}

}  // namespace

std::optional<QByteArray> X11TestDesktop::connectDisplay() {
    QFile file(QStringLiteral(PELLUCINE_X11_STATE "/display"));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray number = file.readAll().trimmed();
        if (!number.isEmpty()) {
            const QByteArray display = ":" + number;
            qputenv("DISPLAY", display);
            return display;
        }
    }
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        return qgetenv("DISPLAY");
    }
    return std::nullopt;
}

X11TestDesktop::X11TestDesktop() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) == 0) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
}

X11TestDesktop::~X11TestDesktop() {
    xcb_disconnect(connection_);
}

xcb_atom_t X11TestDesktop::atom(const char* name) const {
    auto reply = owned(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QList<xcb_window_t> X11TestDesktop::clients() const {
    return property32(connection_, root_, atom("_NET_CLIENT_LIST"));
}

QList<xcb_window_t> X11TestDesktop::stacking() const {
    QList<xcb_window_t> list = property32(connection_, root_, atom("_NET_CLIENT_LIST_STACKING"));
    std::reverse(list.begin(), list.end());
    return list;
}

std::optional<xcb_window_t> X11TestDesktop::findClient(const QString& title) const {
    for (const xcb_window_t window : clients()) {
        if (QString::fromLatin1(propertyBytes(connection_, window, XCB_ATOM_WM_NAME)) == title) {
            return window;
        }
    }
    return std::nullopt;
}

xcb_window_t X11TestDesktop::activeWindow() const {
    return property32(connection_, root_, atom("_NET_ACTIVE_WINDOW")).value(0, XCB_NONE);
}

QRect X11TestDesktop::frameOf(xcb_window_t window) const {
    xcb_window_t top = window;
    while (true) {
        auto tree =
            owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, top), nullptr));
        if (!tree) {
            return {};
        }
        if (tree->parent == root_) {
            break;
        }
        top = tree->parent;
    }
    auto geometry =
        owned(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, top), nullptr));
    if (!geometry) {
        return {};
    }
    const int border = geometry->border_width;
    return {geometry->x, geometry->y, geometry->width + 2 * border, geometry->height + 2 * border};
}

bool X11TestDesktop::isViewable(xcb_window_t window) const {
    auto attributes = owned(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

quint32 X11TestDesktop::wmState(xcb_window_t window) const {
    return property32(connection_, window, atom("WM_STATE")).value(0, 0);
}

QList<quint32> X11TestDesktop::netWmState(xcb_window_t window) const {
    return property32(connection_, window, atom("_NET_WM_STATE"));
}

void X11TestDesktop::setTitle(xcb_window_t window, const QString& title) const {
    const QByteArray latin = title.toLatin1();
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, static_cast<uint32_t>(latin.size()), latin.constData());
    sync();
}

void X11TestDesktop::sync() const {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

std::optional<qint32> X11TestDesktop::pidOf(xcb_window_t window) const {
    const QList<quint32> pid = property32(connection_, window, atom("_NET_WM_PID"));
    if (pid.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<qint32>(pid.first());
}

bool X11TestDesktop::waitUntil(const std::function<bool()>& condition, int ms) {
    return QTest::qWaitFor(condition, ms);
}

TestXterm::TestXterm(const X11TestDesktop& desktop, const QString& title, const QString& geometry,
                     const QStringList& extraArguments) {
    process_.setProgram(QStringLiteral("xterm"));
    process_.setArguments(
        QStringList{QStringLiteral("-T"), title, QStringLiteral("-geometry"), geometry} +
        extraArguments + QStringList{QStringLiteral("-e"), QStringLiteral("/bin/sh")});
    process_.start();
    if (!process_.waitForStarted(5000)) {
        return;
    }
    X11TestDesktop::waitUntil([&] {
        window_ = desktop.findClient(title);
        return window_ && desktop.isViewable(*window_);
    });
    // The window manager may still be placing the frame: wait until it reports the window in
    // its normal state and the frame holds still between two reads.
    QRect previous;
    X11TestDesktop::waitUntil([&] {
        if (!window_ || desktop.wmState(*window_) != 1) {
            return false;
        }
        const QRect frame = desktop.frameOf(*window_);
        const bool still = frame == previous;
        previous = frame;
        return still;
    });
    if (window_ && !desktop.isViewable(*window_)) {
        window_.reset();
    }
}

TestXterm::~TestXterm() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void settle(X11Connection& connection) {
    connection.serverTime();
    connection.dispatchPendingEvents();
    // Deliveries are posted to the event loop, and may post once more themselves.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void X11Test::SetUp() {
    const auto name = X11TestDesktop::connectDisplay();
    if (!name) {
        GTEST_SKIP() << "No X server to test against";
    }
    display = *name;
    desktop = std::make_unique<X11TestDesktop>();
    ASSERT_EQ(xcb_connection_has_error(desktop->get()), 0) << "Cannot reach " << display.data();
    connection = std::make_unique<X11Connection>(display);
}

void X11PortTest::SetUp() {
    X11Test::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    X11Desktop::Options options;
    options.displayName = display;
    port = std::make_unique<X11Desktop>(options);
}

}  // namespace pellucine::testing

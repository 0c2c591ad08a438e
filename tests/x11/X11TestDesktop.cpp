#include "X11TestDesktop.h"

#include <sys/uio.h>
#include <xcb/randr.h>
#include <xcb/xcbext.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <array>
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

QString X11TestDesktop::title(xcb_window_t window) const {
    return QString::fromLatin1(propertyBytes(connection_, window, XCB_ATOM_WM_NAME));
}

std::optional<xcb_window_t> X11TestDesktop::findClient(const QString& title) const {
    for (const xcb_window_t window : clients()) {
        if (this->title(window) == title) {
            return window;
        }
    }
    return std::nullopt;
}

xcb_window_t X11TestDesktop::activeWindow() const {
    return property32(connection_, root_, atom("_NET_ACTIVE_WINDOW")).value(0, XCB_NONE);
}

xcb_window_t X11TestDesktop::frameWindowOf(xcb_window_t window) const {
    xcb_window_t top = window;
    while (true) {
        auto tree =
            owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, top), nullptr));
        if (!tree) {
            return XCB_NONE;
        }
        if (tree->parent == root_) {
            return top;
        }
        top = tree->parent;
    }
}

void X11TestDesktop::moveFrameQuietly(xcb_window_t window, QPoint topLeft) const {
    const xcb_window_t frame = frameWindowOf(window);
    // Override-redirect keeps the request from being redirected to the window manager.
    const uint32_t on = 1;
    const uint32_t off = 0;
    xcb_change_window_attributes(connection_, frame, XCB_CW_OVERRIDE_REDIRECT, &on);
    const std::array<uint32_t, 2> at{static_cast<uint32_t>(topLeft.x()),
                                     static_cast<uint32_t>(topLeft.y())};
    xcb_configure_window(connection_, frame, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, at.data());
    xcb_change_window_attributes(connection_, frame, XCB_CW_OVERRIDE_REDIRECT, &off);
    sync();
}

QRect X11TestDesktop::frameOf(xcb_window_t window) const {
    const xcb_window_t top = frameWindowOf(window);
    if (top == XCB_NONE) {
        return {};
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

std::optional<quint32> X11TestDesktop::cardinal(xcb_window_t window, const char* name) const {
    const QList<quint32> values = property32(connection_, window, atom(name));
    return values.isEmpty() ? std::nullopt : std::optional<quint32>(values.first());
}

void X11TestDesktop::sendToRoot(xcb_window_t window, const char* type,
                                const std::array<uint32_t, 5>& data) const {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(type);
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    sync();
}

void X11TestDesktop::setTitle(xcb_window_t window, const QString& title) const {
    const QByteArray latin = title.toLatin1();
    const QByteArray utf8 = title.toUtf8();
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, static_cast<uint32_t>(latin.size()), latin.constData());
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"),
                        atom("UTF8_STRING"), 8, static_cast<uint32_t>(utf8.size()),
                        utf8.constData());
    sync();
}

void X11TestDesktop::sync() const {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

std::optional<uint32_t> X11TestDesktop::firstOutput() const {
    const auto resources = owned(xcb_randr_get_screen_resources_current_reply(
        connection_, xcb_randr_get_screen_resources_current(connection_, root_), nullptr));
    if (!resources || xcb_randr_get_screen_resources_current_outputs_length(resources.get()) < 1) {
        return std::nullopt;
    }
    return xcb_randr_get_screen_resources_current_outputs(resources.get())[0];
}

void X11TestDesktop::setMonitor(const char* name, const QRect& rect, bool primary,
                                std::optional<uint32_t> output) const {
    // RandR's SetMonitor, put together here: the library's own call miscounts its length.
    xcb_randr_set_monitor_request_t request{};
    request.window = root_;
    xcb_randr_monitor_info_t monitor{
        atom(name), static_cast<uint8_t>(primary), 0, static_cast<uint16_t>(output ? 1 : 0),
        static_cast<int16_t>(rect.x()), static_cast<int16_t>(rect.y()),
        static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rect.height()),
        // Millimetres at 96 dots an inch.
        static_cast<uint32_t>(rect.width() * 254 / 960),
        static_cast<uint32_t>(rect.height() * 254 / 960)};
    xcb_randr_output_t outputs[1] = {output.value_or(XCB_NONE)};
    std::array<iovec, 5> parts{};
    parts[2] = {&request, sizeof(request)};
    parts[3] = {&monitor, sizeof(monitor)};
    parts[4] = {outputs, output ? sizeof(outputs) : 0};
    xcb_protocol_request_t protocol{3, &xcb_randr_id, XCB_RANDR_SET_MONITOR, 1};
    xcb_send_request(connection_, 0, parts.data() + 2, &protocol);
    sync();
}

void X11TestDesktop::deleteMonitor(const char* name) const {
    xcb_randr_delete_monitor(connection_, root_, atom(name));
    sync();
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

std::optional<xcb_window_t> waitUntilPlaced(const X11TestDesktop& desktop, const QString& title) {
    std::optional<xcb_window_t> window;
    X11TestDesktop::waitUntil([&] {
        window = desktop.findClient(title);
        return window && desktop.isViewable(*window);
    });
    // The window manager may still be placing the frame: wait until it reports the window in
    // its normal state and the frame holds still between two reads.
    QRect previous;
    X11TestDesktop::waitUntil([&] {
        if (!window || desktop.wmState(*window) != 1) {
            return false;
        }
        const QRect frame = desktop.frameOf(*window);
        const bool still = frame == previous;
        previous = frame;
        return still;
    });
    if (window && !desktop.isViewable(*window)) {
        return std::nullopt;
    }
    return window;
}

TestXterm::TestXterm(const X11TestDesktop& desktop, const QString& title, const QString& geometry,
                     const QStringList& extraArguments) {
    process_.setProgram(QStringLiteral("xterm"));
    process_.setArguments(
        QStringList{QStringLiteral("-T"), title, QStringLiteral("-geometry"), geometry} +
        extraArguments + QStringList{QStringLiteral("-e"), QStringLiteral("/bin/sh")});
    process_.start();
    if (process_.waitForStarted(5000)) {
        window_ = waitUntilPlaced(desktop, title);
    }
}

TestXterm::~TestXterm() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

TestClient::TestClient(const QStringList& arguments) {
    process_.setProgram(QStringLiteral(PELLUCINE_X11_TEST_CLIENT));
    process_.setArguments(arguments);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    process_.waitForStarted(5000);
}

TestClient::~TestClient() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

std::optional<xcb_window_t> TestClient::openWindow(const X11TestDesktop& desktop,
                                                   const QString& title) {
    process_.write("open " + title.toUtf8() + "\n");
    // The answer comes once the server has mapped the window.
    if (answer().isEmpty()) {
        return std::nullopt;
    }
    return waitUntilPlaced(desktop, title);
}

bool TestClient::setWindowClass(const QString& name) {
    process_.write("class " + name.toUtf8() + '\n');
    return answer() == "class";
}

bool TestClient::flood(xcb_window_t window, int count) {
    process_.write(QByteArray("flood ") + QByteArray::number(window) + ' ' +
                   QByteArray::number(count) + '\n');
    return answer() == "flooded";
}

bool TestClient::paint(xcb_window_t window, QRgb colour) {
    process_.write(QByteArray("paint ") + QByteArray::number(window) + ' ' +
                   QByteArray::number(colour & 0xffffffu, 16) + '\n');
    return answer() == "painted";
}

bool TestClient::promptOnClose(xcb_window_t window, const QRect& place, const QString& title) {
    process_.write(QByteArray("prompt ") + QByteArray::number(window) + ' ' +
                   QByteArray::number(place.x()) + ' ' + QByteArray::number(place.y()) + ' ' +
                   QByteArray::number(place.width()) + ' ' + QByteArray::number(place.height()) +
                   ' ' + title.toUtf8() + '\n');
    return answer() == "prompt";
}

bool TestClient::drawLate(xcb_window_t window, QRgb colour, int delayMilliseconds) {
    process_.write(QByteArray("late ") + QByteArray::number(window) + ' ' +
                   QByteArray::number(colour & 0xffffffu, 16) + ' ' +
                   QByteArray::number(delayMilliseconds) + '\n');
    return answer() == "late";
}

bool TestClient::redrawAfterResize(xcb_window_t window, QRgb shown, QRgb next,
                                   int delayMilliseconds) {
    process_.write(QByteArray("redraw ") + QByteArray::number(window) + ' ' +
                   QByteArray::number(shown & 0xffffffu, 16) + ' ' +
                   QByteArray::number(next & 0xffffffu, 16) + ' ' +
                   QByteArray::number(delayMilliseconds) + '\n');
    return answer() == "redraw";
}

std::optional<xcb_window_t> TestClient::openLateWindow(const X11TestDesktop& desktop,
                                                       const QString& title, QRgb colour,
                                                       int delayMilliseconds) {
    process_.write(QByteArray("openlate ") + QByteArray::number(delayMilliseconds) + ' ' +
                   QByteArray::number(colour & 0xffffffu, 16) + ' ' + title.toUtf8() + '\n');
    if (answer().isEmpty()) {
        return std::nullopt;
    }
    return waitUntilPlaced(desktop, title);
}

std::optional<xcb_window_t> TestClient::openShadowedWindow(const X11TestDesktop& desktop,
                                                           const QString& title, QMargins margins,
                                                           QRgb shadow, QRgb colour) {
    process_.write(QByteArray("openshadow ") + QByteArray::number(margins.left()) + ' ' +
                   QByteArray::number(margins.right()) + ' ' + QByteArray::number(margins.top()) +
                   ' ' + QByteArray::number(margins.bottom()) + ' ' +
                   QByteArray::number(shadow & 0xffffffu, 16) + ' ' +
                   QByteArray::number(colour & 0xffffffu, 16) + ' ' + title.toUtf8() + '\n');
    if (answer().isEmpty()) {
        return std::nullopt;
    }
    return waitUntilPlaced(desktop, title);
}

QByteArray TestClient::answer() {
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(8000)) {
            return {};
        }
    }
    return process_.readLine().trimmed();
}

void settle(X11Connection& connection) {
    connection.serverTime();
    // Deliveries are posted to the event loop, and may post once more themselves; the
    // connection hands out a share of its events at a time.
    for (int round = 0; round < 1000; ++round) {
        const bool drained = connection.dispatchPendingEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (drained && round >= 2) {
            break;
        }
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

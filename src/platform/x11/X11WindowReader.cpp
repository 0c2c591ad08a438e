#include "platform/x11/X11WindowReader.h"

#include <xcb/res.h>

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>

#include "platform/x11/X11Properties.h"

namespace pellucine {

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFFu;
constexpr quint32 iconicState = 3;

bool isOnDesktop(std::optional<quint32> desktop, std::optional<quint32> currentDesktop) {
    return !desktop || !currentDesktop || *desktop == allDesktops || *desktop == *currentDesktop;
}

// Every request about one window, sent before any answer is read.
struct PendingWindow {
    enum Property {
        pid,
        windowType,
        transientFor,
        clientLeader,
        frameExtents,
        gtkFrameExtents,
        wmState,
        netWmState,
        desktop,
        netWmName,
        wmName,
        wmClass,
        protocols,
        gtkApplicationId,
        kdeDesktopFile,
        bamfDesktopFile,
        normalHints,
        iconGeometry,
        strutPartial,
        strut,
        propertyCount
    };

    xcb_window_t window = XCB_NONE;
    std::array<xcb_get_property_cookie_t, propertyCount> properties{};
    xcb_get_window_attributes_cookie_t attributes{};
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
};

// Every property is read within this bound (titles included).
constexpr uint32_t propertyLongs = 1024;

std::array<xcb_atom_t, PendingWindow::propertyCount> windowProperties(const X11Atoms& atoms) {
    return {atoms._NET_WM_PID,
            atoms._NET_WM_WINDOW_TYPE,
            XCB_ATOM_WM_TRANSIENT_FOR,
            atoms.WM_CLIENT_LEADER,
            atoms._NET_FRAME_EXTENTS,
            atoms._GTK_FRAME_EXTENTS,
            atoms.WM_STATE,
            atoms._NET_WM_STATE,
            atoms._NET_WM_DESKTOP,
            atoms._NET_WM_NAME,
            XCB_ATOM_WM_NAME,
            XCB_ATOM_WM_CLASS,
            atoms.WM_PROTOCOLS,
            atoms._GTK_APPLICATION_ID,
            atoms._KDE_NET_WM_DESKTOP_FILE,
            atoms._BAMF_DESKTOP_FILE,
            XCB_ATOM_WM_NORMAL_HINTS,
            atoms._NET_WM_ICON_GEOMETRY,
            atoms._NET_WM_STRUT_PARTIAL,
            atoms._NET_WM_STRUT};
}

PendingWindow request(xcb_connection_t* c, xcb_window_t root, xcb_window_t window,
                      const X11Atoms& atoms) {
    PendingWindow p;
    p.window = window;
    const auto names = windowProperties(atoms);
    for (std::size_t i = 0; i < names.size(); ++i) {
        p.properties[i] = requestProperty(c, window, names[i], propertyLongs);
    }
    // The window's own requests go last: the server carries one client's requests out in
    // order, so when these succeed the window was there for every property read before them.
    p.attributes = xcb_get_window_attributes(c, window);
    p.geometry = xcb_get_geometry(c, window);
    p.origin = xcb_translate_coordinates(c, window, root, 0, 0);
    return p;
}

std::optional<X11WindowInfo> collect(xcb_connection_t* c, PendingWindow& p, const X11Atoms& atoms,
                                     std::optional<quint32> currentDesktop, qint32 pidLimit) {
    // Every reply is taken, even for a window that is gone, so that none is left behind.
    std::array<std::optional<X11Property>, PendingWindow::propertyCount> props;
    for (std::size_t i = 0; i < props.size(); ++i) {
        props[i] = takeProperty(c, p.properties[i]);
    }
    const auto attributes = takeReply(c, xcb_get_window_attributes_reply, p.attributes);
    const auto geometry = takeReply(c, xcb_get_geometry_reply, p.geometry);
    const auto origin = takeReply(c, xcb_translate_coordinates_reply, p.origin);
    if (!attributes || !geometry || !origin ||
        attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT) {
        return std::nullopt;
    }
    const auto value = [&](PendingWindow::Property which) -> const std::optional<X11Property>& {
        return props[which];
    };

    X11WindowInfo info;
    info.window = p.window;
    info.isViewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    info.clientRect = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);

    // What the client claims; the server's knowledge of the process comes first later.
    if (const auto& pid = value(PendingWindow::pid);
        pid && pid->first32() && ProcessInfo::isPlausiblePid(*pid->first32(), pidLimit)) {
        info.pid = static_cast<qint32>(*pid->first32());
    }
    if (const auto& transient = value(PendingWindow::transientFor); transient) {
        info.transientFor = transient->first32().value_or(XCB_NONE);
    }
    if (const auto& leader = value(PendingWindow::clientLeader); leader) {
        info.clientLeader = leader->first32().value_or(XCB_NONE);
    }
    std::optional<X11WindowType> type;
    if (const auto& types = value(PendingWindow::windowType); types) {
        type = windowTypeFromAtoms(types->values32(), atoms);
    }
    info.type = type.value_or(info.transientFor != XCB_NONE ? X11WindowType::dialog
                                                            : X11WindowType::normal);
    if (const auto& extents = value(PendingWindow::frameExtents); extents) {
        info.extents = X11FrameExtents::fromValues(extents->values32()).value_or(X11FrameExtents{});
    }
    if (const auto& shadow = value(PendingWindow::gtkFrameExtents); shadow) {
        info.shadow =
            clientShadowFromValues(shadow->values32(), info.clientRect.size()).value_or(QMargins());
    }
    if (const auto& state = value(PendingWindow::wmState); state) {
        info.isIconic = state->first32() == iconicState;
    }
    if (const auto& states = value(PendingWindow::netWmState); states) {
        const QList<quint32> s = states->values32();
        info.isHidden = s.contains(atoms._NET_WM_STATE_HIDDEN);
        info.isFullScreen = s.contains(atoms._NET_WM_STATE_FULLSCREEN);
        info.skipsTaskbar = s.contains(atoms._NET_WM_STATE_SKIP_TASKBAR);
        info.isMaximized = s.contains(atoms._NET_WM_STATE_MAXIMIZED_VERT) &&
                           s.contains(atoms._NET_WM_STATE_MAXIMIZED_HORZ);
    }
    if (const auto& desktop = value(PendingWindow::desktop); desktop) {
        info.desktop = desktop->first32();
    }
    info.isOnCurrentDesktop = isOnDesktop(info.desktop, currentDesktop);
    if (const auto& name = value(PendingWindow::netWmName); name) {
        info.title = name->text(atoms);
    } else if (const auto& legacy = value(PendingWindow::wmName); legacy) {
        info.title = legacy->text(atoms);
    }
    if (const auto& wmClass = value(PendingWindow::wmClass); wmClass) {
        const QStringList parts = wmClass->strings();
        info.resourceName = parts.value(0);
        info.resourceClass = parts.value(1);
    }
    if (const auto& protocols = value(PendingWindow::protocols); protocols) {
        info.acceptsDelete = atoms.WM_DELETE_WINDOW != XCB_NONE &&
                             protocols->values32().contains(atoms.WM_DELETE_WINDOW);
    }
    if (const auto& hints = value(PendingWindow::normalHints); hints) {
        const X11SizeHints sizeHints = X11SizeHints::fromValues(hints->values32());
        info.sizeIncrement = sizeHints.increment;
        info.gravity = sizeHints.gravity;
    }
    if (const auto& button = value(PendingWindow::iconGeometry); button) {
        info.iconGeometry = iconGeometryFromValues(button->values32());
    }
    info.hasStrut =
        value(PendingWindow::strutPartial).has_value() || value(PendingWindow::strut).has_value();
    if (const auto& gtk = value(PendingWindow::gtkApplicationId); gtk) {
        info.gtkApplicationId = gtk->text(atoms);
    }
    if (const auto& kde = value(PendingWindow::kdeDesktopFile); kde) {
        info.desktopFileHint = kde->text(atoms);
    } else if (const auto& bamf = value(PendingWindow::bamfDesktopFile); bamf) {
        info.desktopFileHint = bamf->text(atoms);
    }
    return info;
}

}  // namespace

const X11WindowInfo* X11DesktopSnapshot::find(xcb_window_t window) const {
    const auto it = std::find_if(windows.begin(), windows.end(),
                                 [window](const X11WindowInfo& w) { return w.window == window; });
    return it == windows.end() ? nullptr : &*it;
}

QList<quint32> X11WindowReader::listValues(xcb_atom_t list,
                                           const std::optional<X11Property>& head) const {
    if (!head) {
        return {};
    }
    if (!head->truncated || head->format != 32) {
        return head->values32();
    }
    const auto totalLongs = static_cast<uint32_t>((head->data.size() + head->bytesAfter) / 4);
    xcb_connection_t* c = connection_.get();
    const auto tail =
        takeProperty(c, xcb_get_property(c, 0, connection_.root(), list, XCB_GET_PROPERTY_TYPE_ANY,
                                         totalLongs - listLongs, listLongs));
    return tail && tail->format == 32 ? tail->values32() : head->values32();
}

QList<xcb_window_t> X11WindowReader::clientList(const QList<quint32>& windows, xcb_window_t root) {
    QList<xcb_window_t> result;
    QSet<xcb_window_t> seen;
    for (const quint32 window : windows) {
        if (result.size() == maximumClients) {
            break;
        }
        if (window != XCB_NONE && window != root && !seen.contains(window)) {
            seen.insert(window);
            result.append(window);
        }
    }
    return result;
}

QList<xcb_window_t> X11WindowReader::stackedClients(const QList<quint32>& stackingBottomToTop,
                                                    const QList<quint32>& clients,
                                                    xcb_window_t root) {
    QList<quint32> frontToBack = stackingBottomToTop.isEmpty() ? clients : stackingBottomToTop;
    std::reverse(frontToBack.begin(), frontToBack.end());
    if (!stackingBottomToTop.isEmpty() && !clients.isEmpty()) {
        const QSet<quint32> listed(clients.begin(), clients.end());
        frontToBack.removeIf([&listed](quint32 window) { return !listed.contains(window); });
    }
    return clientList(frontToBack, root);
}

QList<xcb_atom_t> X11WindowReader::readProperties(const X11Atoms& atoms) {
    const auto perWindow = windowProperties(atoms);
    QList<xcb_atom_t> all(perWindow.begin(), perWindow.end());
    all << atoms._NET_CLIENT_LIST_STACKING << atoms._NET_CLIENT_LIST << atoms._NET_ACTIVE_WINDOW
        << atoms._NET_CURRENT_DESKTOP;
    return all;
}

X11DesktopSnapshot X11WindowReader::read() const {
    return reread({}, {}).snapshot;
}

X11WindowReader::Reread X11WindowReader::reread(const std::optional<X11DesktopSnapshot>& previous,
                                                const QSet<xcb_window_t>& changed) const {
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    const xcb_window_t root = connection_.root();
    const auto stackingCookie =
        requestProperty(c, root, atoms._NET_CLIENT_LIST_STACKING, listLongs);
    const auto listCookie = requestProperty(c, root, atoms._NET_CLIENT_LIST, listLongs);
    const auto activeCookie = requestProperty(c, root, atoms._NET_ACTIVE_WINDOW);
    const auto desktopCookie = requestProperty(c, root, atoms._NET_CURRENT_DESKTOP);
    const auto stacking = takeProperty(c, stackingCookie);
    const auto list = takeProperty(c, listCookie);
    const auto active = takeProperty(c, activeCookie);
    const auto desktop = takeProperty(c, desktopCookie);

    Reread result;
    X11DesktopSnapshot& snapshot = result.snapshot;
    const QList<quint32> listed = listValues(atoms._NET_CLIENT_LIST, list);
    snapshot.mappingOrder = clientList(listed, root);
    snapshot.activeWindow = active ? active->first32().value_or(XCB_NONE) : XCB_NONE;
    snapshot.currentDesktop = desktop ? desktop->first32() : std::nullopt;
    const QList<xcb_window_t> order =
        stackedClients(listValues(atoms._NET_CLIENT_LIST_STACKING, stacking), listed, root);
    const QList<X11WindowInfo> kept = previous ? previous->windows : QList<X11WindowInfo>{};
    result.read = windowsToRead(order, kept, changed);
    snapshot.windows =
        mergeWindows(order, result.read, readWindows(result.read, snapshot.currentDesktop), kept,
                     snapshot.currentDesktop);
    markTransientDialogs(snapshot.windows, root);
    return result;
}

QList<xcb_window_t> X11WindowReader::windowsToRead(const QList<xcb_window_t>& order,
                                                   const QList<X11WindowInfo>& kept,
                                                   const QSet<xcb_window_t>& changed) {
    QSet<xcb_window_t> known;
    for (const X11WindowInfo& info : kept) {
        known.insert(info.window);
    }
    QList<xcb_window_t> result;
    for (const xcb_window_t window : order) {
        if (changed.contains(window) || !known.contains(window)) {
            result.append(window);
        }
    }
    return result;
}

QList<X11WindowInfo> X11WindowReader::mergeWindows(const QList<xcb_window_t>& order,
                                                   const QList<xcb_window_t>& read,
                                                   const QList<X11WindowInfo>& fresh,
                                                   const QList<X11WindowInfo>& kept,
                                                   std::optional<quint32> currentDesktop) {
    const QSet<xcb_window_t> wasRead(read.begin(), read.end());
    QHash<xcb_window_t, const X11WindowInfo*> byWindow;
    for (const X11WindowInfo& info : kept) {
        if (!wasRead.contains(info.window)) {
            byWindow.insert(info.window, &info);
        }
    }
    // A window read again and found gone is not kept from before.
    for (const X11WindowInfo& info : fresh) {
        byWindow.insert(info.window, &info);
    }
    QList<X11WindowInfo> result;
    result.reserve(order.size());
    for (const xcb_window_t window : order) {
        if (const X11WindowInfo* info = byWindow.value(window)) {
            result.append(*info);
            result.last().isOnCurrentDesktop = isOnDesktop(info->desktop, currentDesktop);
        }
    }
    return result;
}

QList<X11WindowInfo> X11WindowReader::readWindows(const QList<xcb_window_t>& windows,
                                                  std::optional<quint32> currentDesktop) const {
    xcb_connection_t* c = connection_.get();
    const QList<xcb_window_t> clients = clientList(windows, connection_.root());
    QList<PendingWindow> pending;
    pending.reserve(clients.size());
    for (const xcb_window_t window : clients) {
        pending.append(request(c, connection_.root(), window, connection_.atoms()));
    }
    QList<X11WindowInfo> result;
    result.reserve(clients.size());
    for (PendingWindow& p : pending) {
        if (auto info = collect(c, p, connection_.atoms(), currentDesktop, pidLimit_)) {
            result.append(std::move(*info));
        }
    }
    resolvePids(result);
    assignProcessStandIns(result);
    return result;
}

std::optional<X11WindowInfo> X11WindowReader::readWindow(xcb_window_t window) const {
    const QList<X11WindowInfo> windows = readWindows({window}, currentDesktop());
    if (windows.isEmpty()) {
        return std::nullopt;
    }
    return windows.first();
}

QList<xcb_window_t> X11WindowReader::clientsFrontToBack() const {
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    const xcb_window_t root = connection_.root();
    const auto stackingCookie =
        requestProperty(c, root, atoms._NET_CLIENT_LIST_STACKING, listLongs);
    const auto listCookie = requestProperty(c, root, atoms._NET_CLIENT_LIST, listLongs);
    const auto stacking = takeProperty(c, stackingCookie);
    const auto list = takeProperty(c, listCookie);
    return stackedClients(listValues(atoms._NET_CLIENT_LIST_STACKING, stacking),
                          listValues(atoms._NET_CLIENT_LIST, list), root);
}

QSet<quint32> X11WindowReader::clientNumbers() const {
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    const auto stackingCookie =
        requestProperty(c, connection_.root(), atoms._NET_CLIENT_LIST_STACKING, listLongs);
    const auto listCookie =
        requestProperty(c, connection_.root(), atoms._NET_CLIENT_LIST, listLongs);
    const auto stacking = takeProperty(c, stackingCookie);
    const auto list = takeProperty(c, listCookie);
    QSet<quint32> numbers;
    for (const auto& [atom, property] : {std::pair{atoms._NET_CLIENT_LIST_STACKING, stacking},
                                         std::pair{atoms._NET_CLIENT_LIST, list}}) {
        // The front-most clients, as a read takes them: a list of any length costs no more.
        QList<quint32> frontToBack = listValues(atom, property);
        std::reverse(frontToBack.begin(), frontToBack.end());
        for (const xcb_window_t window : clientList(frontToBack, connection_.root())) {
            numbers.insert(window);
        }
    }
    return numbers;
}

xcb_window_t X11WindowReader::activeWindow() const {
    xcb_connection_t* c = connection_.get();
    const auto property = takeProperty(
        c, requestProperty(c, connection_.root(), connection_.atoms()._NET_ACTIVE_WINDOW));
    return property ? property->first32().value_or(XCB_NONE) : XCB_NONE;
}

std::optional<quint32> X11WindowReader::currentDesktop() const {
    xcb_connection_t* c = connection_.get();
    const auto property = takeProperty(
        c, requestProperty(c, connection_.root(), connection_.atoms()._NET_CURRENT_DESKTOP));
    return property ? property->first32() : std::nullopt;
}

void X11WindowReader::resolvePids(QList<X11WindowInfo>& windows) const {
    xcb_connection_t* c = connection_.get();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    if (extension == nullptr || extension->present == 0) {
        return;
    }
    // The server knows the process of every local client, whatever its windows claim; what
    // they claim counts only for clients it does not know (remote ones).
    QList<xcb_res_query_client_ids_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const X11WindowInfo& window : windows) {
        xcb_res_client_id_spec_t spec{window.window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        cookies.append(xcb_res_query_client_ids(c, 1, &spec));
    }
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const auto reply = takeReply(c, xcb_res_query_client_ids_reply, cookies[i]);
        if (!reply) {
            continue;
        }
        auto it = xcb_res_query_client_ids_ids_iterator(reply.get());
        for (; it.rem > 0; xcb_res_client_id_value_next(&it)) {
            if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
                xcb_res_client_id_value_value_length(it.data) >= 1) {
                const quint32 pid = *xcb_res_client_id_value_value(it.data);
                if (ProcessInfo::isPlausiblePid(pid, pidLimit_)) {
                    windows[i].pid = static_cast<qint32>(pid);
                }
                break;
            }
        }
    }
}

}  // namespace pellucine

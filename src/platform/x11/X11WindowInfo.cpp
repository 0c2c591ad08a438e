#include "platform/x11/X11WindowInfo.h"

#include <QHash>
#include <algorithm>
#include <utility>

namespace pellucine {

std::optional<X11WindowType> windowTypeFromAtoms(const QList<quint32>& types,
                                                 const X11Atoms& atoms) {
    const std::pair<xcb_atom_t, X11WindowType> known[] = {
        {atoms._NET_WM_WINDOW_TYPE_NORMAL, X11WindowType::normal},
        {atoms._NET_WM_WINDOW_TYPE_DIALOG, X11WindowType::dialog},
        {atoms._NET_WM_WINDOW_TYPE_UTILITY, X11WindowType::utility},
        {atoms._NET_WM_WINDOW_TYPE_TOOLBAR, X11WindowType::toolbar},
        {atoms._NET_WM_WINDOW_TYPE_SPLASH, X11WindowType::splash},
        {atoms._NET_WM_WINDOW_TYPE_MENU, X11WindowType::menu},
        {atoms._NET_WM_WINDOW_TYPE_DROPDOWN_MENU, X11WindowType::dropdownMenu},
        {atoms._NET_WM_WINDOW_TYPE_POPUP_MENU, X11WindowType::popupMenu},
        {atoms._NET_WM_WINDOW_TYPE_COMBO, X11WindowType::combo},
        {atoms._NET_WM_WINDOW_TYPE_TOOLTIP, X11WindowType::tooltip},
        {atoms._NET_WM_WINDOW_TYPE_NOTIFICATION, X11WindowType::notification},
        {atoms._NET_WM_WINDOW_TYPE_DND, X11WindowType::dnd},
        {atoms._NET_WM_WINDOW_TYPE_DOCK, X11WindowType::dock},
        {atoms._NET_WM_WINDOW_TYPE_DESKTOP, X11WindowType::desktop},
    };
    for (const quint32 type : types) {
        for (const auto& [atom, value] : known) {
            if (atom != XCB_NONE && atom == type) {
                return value;
            }
        }
    }
    return std::nullopt;
}

std::optional<X11FrameExtents> X11FrameExtents::fromValues(const QList<quint32>& values) {
    if (values.size() < 4 ||
        std::any_of(values.begin(), values.begin() + 4, [](quint32 v) { return v > maximum; })) {
        return std::nullopt;
    }
    return X11FrameExtents{static_cast<int>(values[0]), static_cast<int>(values[1]),
                           static_cast<int>(values[2]), static_cast<int>(values[3])};
}

std::optional<QMargins> clientShadowFromValues(const QList<quint32>& values, QSize clientSize) {
    constexpr quint32 negative = 0x80000000u;
    if (values.size() != 4 ||
        std::any_of(values.begin(), values.end(), [](quint32 v) { return v >= negative; })) {
        return std::nullopt;
    }
    // In 64 bits: two margins near 2^31 must not wrap round to a small sum.
    const auto leavesRoom = [](quint32 a, quint32 b, int side) {
        return qint64(a) + qint64(b) < qint64(side);
    };
    if (!leavesRoom(values[0], values[1], clientSize.width()) ||
        !leavesRoom(values[2], values[3], clientSize.height())) {
        return std::nullopt;
    }
    return QMargins(static_cast<int>(values[0]), static_cast<int>(values[2]),
                    static_cast<int>(values[1]), static_cast<int>(values[3]));
}

X11SizeHints X11SizeHints::fromValues(const QList<quint32>& values) {
    constexpr quint32 incrementsGiven = 1u << 6;
    constexpr quint32 gravityGiven = 1u << 9;
    const auto step = [](quint32 v) { return v >= 1 && v <= maximumIncrement; };
    X11SizeHints hints;
    const quint32 flags = values.value(0);
    if (values.size() >= 11 && (flags & incrementsGiven) != 0 && step(values[9]) &&
        step(values[10])) {
        hints.increment = QSize(static_cast<int>(values[9]), static_cast<int>(values[10]));
    }
    if (values.size() >= 18 && (flags & gravityGiven) != 0 &&
        values[17] >= XCB_GRAVITY_NORTH_WEST && values[17] <= XCB_GRAVITY_STATIC) {
        hints.gravity = values[17];
    }
    return hints;
}

std::optional<QRect> iconGeometryFromValues(const QList<quint32>& values) {
    // The protocol's coordinates and sizes are 16-bit; a root window is never larger.
    constexpr quint32 largest = 32767;
    if (values.size() < 4 ||
        std::any_of(values.begin(), values.begin() + 4, [](quint32 v) { return v > largest; })) {
        return std::nullopt;
    }
    const QRect rect(static_cast<int>(values[0]), static_cast<int>(values[1]),
                     static_cast<int>(values[2]), static_cast<int>(values[3]));
    if (rect.isEmpty()) {
        return std::nullopt;
    }
    return rect;
}

int layerOf(X11WindowType type) {
    switch (type) {
        case X11WindowType::normal:
        case X11WindowType::dialog:
            return 0;
        case X11WindowType::utility:
        case X11WindowType::toolbar:
        case X11WindowType::splash:
            return 3;
        case X11WindowType::dock:
            return 20;
        case X11WindowType::notification:
            return 23;
        case X11WindowType::menu:
        case X11WindowType::dropdownMenu:
        case X11WindowType::popupMenu:
        case X11WindowType::combo:
            return 101;
        case X11WindowType::tooltip:
            return 102;
        case X11WindowType::dnd:
            return 500;
        case X11WindowType::desktop:
            return -2147483603;
    }
    return 0;
}

namespace {

// Window ids use at most 29 bits, so the stand-in stays a positive 32-bit number.
constexpr qint32 standInBase = 1 << 30;

}  // namespace

void assignProcessStandIns(QList<X11WindowInfo>& windows) {
    for (X11WindowInfo& info : windows) {
        if (info.pid) {
            continue;
        }
        const xcb_window_t owner = info.clientLeader != XCB_NONE   ? info.clientLeader
                                   : info.transientFor != XCB_NONE ? info.transientFor
                                                                   : info.window;
        info.pid = standInBase | static_cast<qint32>(owner & 0x1FFFFFFFu);
    }
}

void markTransientDialogs(QList<X11WindowInfo>& windows, xcb_window_t root) {
    QHash<xcb_window_t, std::optional<qint32>> owners;
    for (const X11WindowInfo& info : windows) {
        owners.insert(info.window, info.pid);
    }
    for (X11WindowInfo& info : windows) {
        const xcb_window_t parent = info.transientFor;
        if (info.type != X11WindowType::normal || parent == XCB_NONE || parent == info.window) {
            continue;
        }
        const auto owner = owners.constFind(parent);
        const bool sameApplication =
            parent == root || (info.clientLeader != XCB_NONE && parent == info.clientLeader) ||
            (owner != owners.cend() && info.pid && *owner == info.pid);
        if (sameApplication) {
            info.type = X11WindowType::dialog;
        }
    }
}

}  // namespace pellucine

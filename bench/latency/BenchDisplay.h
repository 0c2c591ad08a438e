#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QByteArray>
#include <QColor>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace pellucine {

// The benchmark's own connection to the X server: XTest keys, window lookups and the state of
// the windows it watches, each a round trip so that what it reports is the server's view.
class BenchDisplay {
  public:
    explicit BenchDisplay(const QByteArray& displayName);
    ~BenchDisplay();
    BenchDisplay(const BenchDisplay&) = delete;
    BenchDisplay& operator=(const BenchDisplay&) = delete;

    bool isConnected() const { return connection_ != nullptr; }
    xcb_window_t root() const { return root_; }

    // Presses or releases the key of `keysym` through XTest and flushes.
    void key(xcb_keysym_t keysym, bool press);
    // Returns once the server has handled every request sent so far.
    void sync();

    // Calls `done` until it holds or `deadline` passes. Between calls it waits for an X event
    // for at most `pollMilliseconds`; events are only wake-ups here.
    bool waitUntil(const QDeadlineTimer& deadline, const std::function<bool()>& done,
                   int pollMilliseconds = 1);
    // Asks for map and unmap notifications of `window`, so that they wake waitUntil.
    void watchStructure(xcb_window_t window);

    // The first window named `name` (WM_NAME) among the root's children and their children.
    std::optional<xcb_window_t> findByName(const QString& name);
    // Whether `window` or one of its children has `windowClass` as WM_CLASS class or instance.
    bool holdsClass(xcb_window_t window, const QByteArray& windowClass);
    bool isViewable(xcb_window_t window);
    // The window holding the input focus, or one of its descendants.
    bool hasFocus(xcb_window_t window);

    // The managed clients, in mapping order.
    QList<xcb_window_t> clients();
    std::optional<xcb_window_t> activeWindow();
    // Asks the window manager to activate `window`, as a pager would.
    void activate(xcb_window_t window);
    // Asks the window manager to close `window`.
    void close(xcb_window_t window);
    std::optional<quint32> processOf(xcb_window_t window);
    // Whether the window manager can give `window` the input focus: ICCCM's input hint, else
    // WM_TAKE_FOCUS. A window that takes none (xclock) is raised but never made active.
    bool takesFocus(xcb_window_t window);

    // For each colour, how many pixels of `window`'s on-screen contents are within `tolerance`
    // of it in every channel; none when the window cannot be read.
    std::optional<QList<int>> countColours(xcb_window_t window, const QList<QColor>& colours,
                                           int tolerance);
    // The windows mapped as children of the root since the last call.
    QList<xcb_window_t> takeMapped();

  private:
    xcb_atom_t atom(const char* name);
    QByteArray property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    QList<xcb_window_t> childrenOf(const QList<xcb_window_t>& parents);
    void drainEvents();
    void sendRootMessage(xcb_window_t window, xcb_atom_t type, quint32 first);

    xcb_connection_t* connection_ = nullptr;
    xcb_key_symbols_t* symbols_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    xcb_atom_t wmName_ = XCB_NONE;
    xcb_atom_t clientList_ = XCB_NONE;
    xcb_atom_t activeWindow_ = XCB_NONE;
    xcb_atom_t closeWindow_ = XCB_NONE;
    xcb_atom_t wmProtocols_ = XCB_NONE;
    xcb_atom_t takeFocus_ = XCB_NONE;
    xcb_atom_t wmPid_ = XCB_NONE;
    QList<xcb_window_t> mapped_;
};

}  // namespace pellucine

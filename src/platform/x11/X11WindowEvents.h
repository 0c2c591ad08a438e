#pragma once

#include <xcb/xcb.h>

#include <QHash>
#include <QObject>
#include <QRect>
#include <QString>
#include <optional>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowReader.h"

namespace pellucine {

// One change of a client window, as the lifecycle monitor hears of it.
struct X11WindowEvent {
    enum class Kind {
        created,
        focusChanged,
        destroyed,
        miniaturized,
        deminiaturized,
        titleChanged,
        resized,
        moved
    };

    Kind kind = Kind::created;
    xcb_window_t window = XCB_NONE;
    // The owner's process, when known.
    std::optional<qint32> pid;

    friend bool operator==(const X11WindowEvent&, const X11WindowEvent&) = default;
};

// Turns the server's events about clients into window events: the client list's changes give
// created and destroyed (DestroyNotify too), the active window gives focus changes, WM_STATE and
// _NET_WM_STATE give (de)miniaturization, the name properties give title changes, and
// ConfigureNotify (the window manager's synthetic ones included) and _NET_FRAME_EXTENTS give
// moves and resizes of the frame, except while the window is minimized.
class X11WindowEvents final : public QObject {
    Q_OBJECT

  public:
    explicit X11WindowEvents(X11Connection& connection, QObject* parent = nullptr);
    ~X11WindowEvents() override;

    // Follows the clients present now (without events for them) and every later one.
    void start();
    void stop();
    bool isRunning() const { return running_; }

    // Starts listening to clients that were read elsewhere before this has heard of them, so
    // that no change between that read and their announcement goes unheard. Announces nothing.
    // True when every window was listened to already, so that no change since that read can
    // have gone unheard.
    bool watch(const QList<X11WindowInfo>& windows);
    // Whether the window is listened to: a client not gone yet, announced or only watched.
    bool follows(xcb_window_t window) const {
        return tracked_.contains(window) || pending_.contains(window);
    }

  signals:
    void windowEvent(const pellucine::X11WindowEvent& event);

  private:
    struct Tracked {
        std::optional<qint32> pid;
        QRect frame;
        QString title;
        bool minimized = false;
    };

    void handle(const xcb_generic_event_t& event);
    void syncClientList(bool announce);
    void postClientListSync();
    void syncActiveWindow(bool announce);
    void follow(const X11WindowInfo& info);
    void forget(xcb_window_t window);
    void reread(xcb_window_t window, uint8_t responseType, xcb_atom_t atom);
    void emitEvent(X11WindowEvent::Kind kind, xcb_window_t window, std::optional<qint32> pid);

    X11Connection& connection_;
    X11WindowReader reader_;
    QHash<xcb_window_t, Tracked> tracked_;
    // Watched, not yet announced.
    QHash<xcb_window_t, X11WindowInfo> pending_;
    xcb_window_t active_ = XCB_NONE;
    bool running_ = false;
    bool syncPosted_ = false;
};

}  // namespace pellucine

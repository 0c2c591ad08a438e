// A small X client of the x11 tests' own, in a process of its own:
//   x11_test_client                 reads commands from stdin, one a line, and answers each with a
//                                   line once the server has carried it out:
//                                     open TITLE   maps a normal window; answers its id
//                                     class NAME   names the class of the windows opened
//                                                  after it; answers "class"
//                                     flood ID N   renames the window N times without
//                                                  pause; answers "flooded"
//                                     paint ID RGB paints the window in the colour (hex
//                                                  RRGGBB); answers "painted"
//                                     late ID RGB MS  from now on the window shows white
//                                                  each time it is exposed (mapped again,
//                                                  say) and draws the colour only MS
//                                                  milliseconds later; answers "late"
//                                     redraw ID RGB NEXT MS  from now on the window has
//                                                  no background: it draws RGB at each
//                                                  exposure, and after each change of its
//                                                  size draws NEXT only MS milliseconds
//                                                  later, and that from then on; answers
//                                                  "redraw"
//                                     openlate MS RGB TITLE  opens a window as open does
//                                                  that draws late from its first showing
//                                     prompt ID X Y W H TITLE  from now on a close request
//                                                  (WM_DELETE_WINDOW) to the window leaves it
//                                                  open and maps a dialog transient for it,
//                                                  W x H at X, Y; answers "prompt"
//                                     openshadow L R T B SHADOW RGB TITLE  opens an
//                                                  undecorated window that draws a shadow
//                                                  of its own: margins (_GTK_FRAME_EXTENTS)
//                                                  in SHADOW around the colour RGB
//   x11_test_client hostile PID     maps windows whose properties are what a hostile client may
//                                   set (PID is another process's id, to claim), writes "ready"
//                                   once the window manager has taken them all, and keeps the
//                                   frame extents it set until killed
//   x11_test_client churn           maps and destroys windows without pause until killed
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

class Client {
  public:
    Client() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_) != 0) {
            std::cerr << "x11_test_client: no X server\n";
            std::exit(1);
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~Client() { xcb_disconnect(connection_); }

    xcb_connection_t* get() const { return connection_; }

    xcb_atom_t atom(const char* name) const {
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(
                connection_,
                xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name),
                nullptr),
            &std::free);
        return reply ? reply->atom : XCB_NONE;
    }

    void set(xcb_window_t window, const char* property, xcb_atom_t type, uint8_t format,
             const void* data, std::size_t items) const {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom(property), type,
                            format, static_cast<uint32_t>(items), data);
    }
    void setText(xcb_window_t window, const char* property, const char* type,
                 const std::string& bytes) const {
        set(window, property, atom(type), 8, bytes.data(), bytes.size());
    }
    void set32(xcb_window_t window, const char* property, xcb_atom_t type,
               const std::vector<uint32_t>& values) const {
        set(window, property, type, 32, values.data(), values.size());
    }

    // A normal window of 120 by 90 at `x`, `y` that says who it is, not yet mapped.
    xcb_window_t create(const std::string& title, int16_t x, int16_t y, uint32_t eventMask = 0) {
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::array<uint32_t, 2> values{0xffffffu, eventMask};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, x, y, 120, 90, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values.data());
        setText(window, "WM_NAME", "STRING", title);
        setText(window, "_NET_WM_NAME", "UTF8_STRING", title);
        setText(window, "WM_CLASS", "STRING",
                std::string("x11_test_client", 16) + windowClass + std::string(1, '\0'));
        set32(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {static_cast<uint32_t>(getpid())});
        const xcb_atom_t deleteWindow = atom("WM_DELETE_WINDOW");
        set32(window, "WM_PROTOCOLS", XCB_ATOM_ATOM, {deleteWindow});
        // USPosition: placed where asked.
        std::vector<uint32_t> hints(18, 0);
        hints[0] = 1;
        hints[1] = static_cast<uint32_t>(x);
        hints[2] = static_cast<uint32_t>(y);
        set32(window, "WM_NORMAL_HINTS", atom("WM_SIZE_HINTS"), hints);
        return window;
    }

    void sync() const {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    std::string windowClass = "X11TestClient";

  private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_NONE;
};

// Windows that draw their colour a while after each exposure.
class LateDrawings {
  public:
    using Clock = std::chrono::steady_clock;

    explicit LateDrawings(Client& client) : client_(client) {}

    // White now and at every exposure, the colour `delay` after each.
    void follow(xcb_window_t window, uint32_t colour, std::chrono::milliseconds delay) {
        late_[window] = Late{colour, delay, std::nullopt};
        const uint32_t white = 0xffffffu;
        xcb_change_window_attributes(client_.get(), window, XCB_CW_BACK_PIXEL, &white);
        const uint32_t events = XCB_EVENT_MASK_EXPOSURE;
        xcb_change_window_attributes(client_.get(), window, XCB_CW_EVENT_MASK, &events);
        xcb_clear_area(client_.get(), 1, window, 0, 0, 0, 0);
    }

    // No background: `shown` at every exposure, `next` `delay` after each change of size.
    void redraw(xcb_window_t window, uint32_t shown, uint32_t next,
                std::chrono::milliseconds delay) {
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(client_.get(), xcb_get_geometry(client_.get(), window), nullptr),
            &std::free);
        const uint32_t none = XCB_BACK_PIXMAP_NONE;
        xcb_change_window_attributes(client_.get(), window, XCB_CW_BACK_PIXMAP, &none);
        const uint32_t events = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(client_.get(), window, XCB_CW_EVENT_MASK, &events);
        Resizing& resizing = resizing_[window];
        resizing.shown = shown;
        resizing.next = next;
        resizing.delay = delay;
        if (geometry) {
            resizing.size = {geometry->width, geometry->height};
        }
    }

    void handle(const xcb_generic_event_t& event) {
        const auto type = event.response_type & 0x7f;
        if (type == XCB_CONFIGURE_NOTIFY) {
            const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            const auto it = resizing_.find(configure.window);
            const std::pair<uint16_t, uint16_t> size{configure.width, configure.height};
            if (it != resizing_.end() && it->second.size != size) {
                it->second.size = size;
                it->second.due = Clock::now() + it->second.delay;
            }
            return;
        }
        if (type != XCB_EXPOSE) {
            return;
        }
        const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
        if (expose.count != 0) {
            return;
        }
        if (const auto it = late_.find(expose.window); it != late_.end()) {
            it->second.due = Clock::now() + it->second.delay;
        }
        if (const auto it = resizing_.find(expose.window);
            it != resizing_.end() && !it->second.due) {
            draw(expose.window, it->second.shown);
        }
    }

    // Draws what is due; the milliseconds until the next drawing, -1 when none is due.
    int drawDue() {
        const Clock::time_point now = Clock::now();
        int wait = -1;
        const auto due = [&](xcb_window_t window, std::optional<Clock::time_point>& when,
                             uint32_t colour) {
            if (!when) {
                return false;
            }
            if (*when <= now) {
                draw(window, colour);
                when.reset();
                return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*when - now).count() + 1;
            wait = wait < 0 ? static_cast<int>(left) : std::min(wait, static_cast<int>(left));
            return false;
        };
        for (auto& [window, late] : late_) {
            due(window, late.due, late.colour);
        }
        for (auto& [window, resizing] : resizing_) {
            if (due(window, resizing.due, resizing.next)) {
                resizing.shown = resizing.next;
            }
        }
        return wait;
    }

  private:
    struct Late {
        uint32_t colour = 0;
        std::chrono::milliseconds delay{0};
        std::optional<Clock::time_point> due;
    };
    struct Resizing {
        uint32_t shown = 0;
        uint32_t next = 0;
        std::chrono::milliseconds delay{0};
        std::pair<uint16_t, uint16_t> size;
        std::optional<Clock::time_point> due;
    };

    // Fills the window without changing its background, so that it shows white again when it
    // is exposed.
    void draw(xcb_window_t window, uint32_t colour) {
        const xcb_gcontext_t gc = xcb_generate_id(client_.get());
        xcb_create_gc(client_.get(), gc, window, XCB_GC_FOREGROUND, &colour);
        const xcb_rectangle_t all{0, 0, 4096, 4096};
        xcb_poly_fill_rectangle(client_.get(), window, gc, 1, &all);
        xcb_free_gc(client_.get(), gc);
        xcb_flush(client_.get());
    }

    Client& client_;
    std::map<xcb_window_t, Late> late_;
    std::map<xcb_window_t, Resizing> resizing_;
};

// Windows that answer a close request with a prompt of their own, as an editor with unsaved
// changes does.
class Prompts {
  public:
    struct Prompt {
        int16_t x = 0;
        int16_t y = 0;
        uint16_t width = 0;
        uint16_t height = 0;
        std::string title;
    };

    explicit Prompts(Client& client)
        : client_(client),
          protocols_(client.atom("WM_PROTOCOLS")),
          deleteWindow_(client.atom("WM_DELETE_WINDOW")) {}

    void follow(xcb_window_t window, Prompt prompt) { prompts_[window] = std::move(prompt); }

    void handle(const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
            return;
        }
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        const auto it = prompts_.find(message.window);
        if (message.type != protocols_ || message.data.data32[0] != deleteWindow_ ||
            it == prompts_.end()) {
            return;
        }
        const Prompt& prompt = it->second;
        const xcb_window_t dialog = client_.create(prompt.title, prompt.x, prompt.y);
        const std::array<uint32_t, 2> size{prompt.width, prompt.height};
        xcb_configure_window(client_.get(), dialog,
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size.data());
        // USPosition and USSize: placed and sized as asked.
        std::vector<uint32_t> hints(18, 0);
        hints[0] = 1 | 2;
        hints[1] = static_cast<uint32_t>(prompt.x);
        hints[2] = static_cast<uint32_t>(prompt.y);
        hints[3] = prompt.width;
        hints[4] = prompt.height;
        client_.set32(dialog, "WM_NORMAL_HINTS", client_.atom("WM_SIZE_HINTS"), hints);
        client_.set32(dialog, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, {message.window});
        client_.set32(dialog, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM,
                      {client_.atom("_NET_WM_WINDOW_TYPE_DIALOG")});
        xcb_map_window(client_.get(), dialog);
        xcb_flush(client_.get());
    }

  private:
    Client& client_;
    xcb_atom_t protocols_;
    xcb_atom_t deleteWindow_;
    std::map<xcb_window_t, Prompt> prompts_;
};

void runCommand(Client& client, LateDrawings& late, Prompts& prompts, const std::string& line) {
    if (line.rfind("open ", 0) == 0) {
        const xcb_window_t window = client.create(line.substr(5), 300, 300);
        xcb_map_window(client.get(), window);
        client.sync();
        std::cout << window << std::endl;
    } else if (line.rfind("openlate ", 0) == 0) {
        std::istringstream arguments(line.substr(9));
        unsigned delay = 0;
        uint32_t colour = 0;
        arguments >> delay >> std::hex >> colour;
        std::string title;
        std::getline(arguments >> std::ws, title);
        const xcb_window_t window = client.create(title, 300, 300);
        late.follow(window, colour, std::chrono::milliseconds(delay));
        xcb_map_window(client.get(), window);
        client.sync();
        std::cout << window << std::endl;
    } else if (line.rfind("openshadow ", 0) == 0) {
        std::istringstream arguments(line.substr(11));
        uint32_t left = 0, right = 0, top = 0, bottom = 0, shadow = 0, colour = 0;
        arguments >> left >> right >> top >> bottom >> std::hex >> shadow >> colour;
        std::string title;
        std::getline(arguments >> std::ws, title);
        const xcb_window_t window = client.create(title, 300, 300);
        xcb_change_window_attributes(client.get(), window, XCB_CW_BACK_PIXEL, &shadow);
        // Drawn by the server at every exposure: a child window of the colour inside the margins.
        const xcb_window_t inside = xcb_generate_id(client.get());
        xcb_create_window(
            client.get(), XCB_COPY_FROM_PARENT, inside, window, static_cast<int16_t>(left),
            static_cast<int16_t>(top), static_cast<uint16_t>(120 - left - right),
            static_cast<uint16_t>(90 - top - bottom), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
            XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, &colour);
        xcb_map_window(client.get(), inside);
        // No decorations (_MOTIF_WM_HINTS), as clients that draw their own frame ask.
        const xcb_atom_t motif = client.atom("_MOTIF_WM_HINTS");
        client.set32(window, "_MOTIF_WM_HINTS", motif, {2, 0, 0, 0, 0});
        client.set32(window, "_GTK_FRAME_EXTENTS", XCB_ATOM_CARDINAL, {left, right, top, bottom});
        xcb_map_window(client.get(), window);
        client.sync();
        std::cout << window << std::endl;
    } else if (line.rfind("prompt ", 0) == 0) {
        std::istringstream arguments(line.substr(7));
        xcb_window_t window = XCB_NONE;
        Prompts::Prompt prompt;
        arguments >> window >> prompt.x >> prompt.y >> prompt.width >> prompt.height;
        std::getline(arguments >> std::ws, prompt.title);
        prompts.follow(window, std::move(prompt));
        std::cout << "prompt" << std::endl;
    } else if (line.rfind("class ", 0) == 0) {
        client.windowClass = line.substr(6);
        std::cout << "class" << std::endl;
    } else if (line.rfind("flood ", 0) == 0) {
        std::istringstream arguments(line.substr(6));
        xcb_window_t window = XCB_NONE;
        unsigned count = 0;
        arguments >> window >> count;
        const xcb_atom_t name = client.atom("_NET_WM_NAME");
        const xcb_atom_t utf8 = client.atom("UTF8_STRING");
        for (unsigned i = 1; i <= count; ++i) {
            const std::string title = "flood " + std::to_string(i);
            xcb_change_property(client.get(), XCB_PROP_MODE_REPLACE, window, name, utf8, 8,
                                static_cast<uint32_t>(title.size()), title.data());
        }
        client.sync();
        std::cout << "flooded" << std::endl;
    } else if (line.rfind("paint ", 0) == 0) {
        std::istringstream arguments(line.substr(6));
        xcb_window_t window = XCB_NONE;
        uint32_t colour = 0;
        arguments >> window >> std::hex >> colour;
        xcb_change_window_attributes(client.get(), window, XCB_CW_BACK_PIXEL, &colour);
        xcb_clear_area(client.get(), 0, window, 0, 0, 0, 0);
        client.sync();
        std::cout << "painted" << std::endl;
    } else if (line.rfind("late ", 0) == 0) {
        std::istringstream arguments(line.substr(5));
        xcb_window_t window = XCB_NONE;
        uint32_t colour = 0;
        unsigned delay = 0;
        arguments >> window >> std::hex >> colour >> std::dec >> delay;
        late.follow(window, colour, std::chrono::milliseconds(delay));
        client.sync();
        std::cout << "late" << std::endl;
    } else if (line.rfind("redraw ", 0) == 0) {
        std::istringstream arguments(line.substr(7));
        xcb_window_t window = XCB_NONE;
        uint32_t shown = 0;
        uint32_t next = 0;
        unsigned delay = 0;
        arguments >> window >> std::hex >> shown >> next >> std::dec >> delay;
        late.redraw(window, shown, next, std::chrono::milliseconds(delay));
        client.sync();
        std::cout << "redraw" << std::endl;
    } else {
        std::cout << "unknown command" << std::endl;
    }
}

// Commands from stdin, the server's events and late drawings, as each comes.
int runCommands() {
    Client client;
    LateDrawings late(client);
    Prompts prompts(client);
    std::string input;
    std::array<pollfd, 2> watched{pollfd{STDIN_FILENO, POLLIN, 0},
                                  pollfd{xcb_get_file_descriptor(client.get()), POLLIN, 0}};
    while (true) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(client.get())) {
            Reply<xcb_generic_event_t> owned(event, &std::free);
            late.handle(*event);
            prompts.handle(*event);
        }
        if (xcb_connection_has_error(client.get()) != 0) {
            return 1;
        }
        const int wait = late.drawDue();
        xcb_flush(client.get());
        if (poll(watched.data(), watched.size(), wait) < 0) {
            continue;
        }
        if ((watched[0].revents & (POLLIN | POLLHUP)) == 0) {
            continue;
        }
        std::array<char, 4096> chunk{};
        const ssize_t got = read(STDIN_FILENO, chunk.data(), chunk.size());
        if (got <= 0) {
            return 0;
        }
        input.append(chunk.data(), static_cast<std::size_t>(got));
        for (std::size_t end = input.find('\n'); end != std::string::npos; end = input.find('\n')) {
            const std::string line = input.substr(0, end);
            input.erase(0, end + 1);
            runCommand(client, late, prompts, line);
        }
    }
}

std::string repeated(const std::string& piece, std::size_t times) {
    std::string result;
    result.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        result += piece;
    }
    return result;
}

int runHostile(uint32_t claimedPid) {
    Client client;
    const std::vector<uint32_t> absurdExtents{0x7fffffffu, 0x80000000u, 0xffffffffu, 5};
    std::vector<xcb_window_t> windows;
    int16_t x = 3;
    const auto open = [&](const std::string& name) {
        windows.push_back(
            client.create("pellucine-hostile-" + name, x, 680, XCB_EVENT_MASK_PROPERTY_CHANGE));
        x = static_cast<int16_t>(x + 125);
        return windows.back();
    };

    for (const auto& [name, pid] :
         {std::pair{"pid-zero", 0u}, std::pair{"pid-negative", 0xfffffffbu},
          std::pair{"pid-init", 1u}, std::pair{"pid-huge", 0x7fffffffu},
          std::pair{"pid-other", claimedPid}}) {
        client.set32(open(name), "_NET_WM_PID", XCB_ATOM_CARDINAL, {pid});
    }
    // A process id too short to be one.
    client.setText(open("pid-short"), "_NET_WM_PID", "CARDINAL", "\x07");

    // Malformed UTF-8, control characters and no terminator.
    const xcb_window_t text = open("text");
    client.setText(text, "_NET_WM_NAME", "UTF8_STRING",
                   "bad \xff\xfe utf8 \xc3( tab\there\xe2\x82");
    client.setText(text, "WM_CLASS", "STRING", "hostile\x01name");
    client.setText(text, "_GTK_APPLICATION_ID", "UTF8_STRING", "org.\xc0\x80hostile");

    // A title far longer than any read of it, of characters three bytes long.
    client.setText(open("long-title"), "_NET_WM_NAME", "UTF8_STRING",
                   repeated("\xe2\x82\xac", 100000));

    // Set again whenever the window manager puts in its own.
    const xcb_window_t extents = open("extents");

    // Increments of 0xffffffff by 0, a gravity that is none.
    std::vector<uint32_t> hints(18, 0);
    hints[0] = 1 | (1u << 6) | (1u << 9);
    hints[1] = static_cast<uint32_t>(x);
    hints[2] = 680;
    hints[9] = 0xffffffffu;
    hints[10] = 0;
    hints[17] = 0xffffffffu;
    client.set32(open("hints"), "WM_NORMAL_HINTS", client.atom("WM_SIZE_HINTS"), hints);

    for (const xcb_window_t window : windows) {
        xcb_map_window(client.get(), window);
    }
    const xcb_atom_t extentsAtom = client.atom("_NET_FRAME_EXTENTS");
    const xcb_atom_t wmState = client.atom("WM_STATE");
    const auto assertExtents = [&] {
        client.set32(extents, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, absurdExtents);
        client.sync();
    };
    // The window manager sets WM_STATE on each window it takes on.
    std::set<xcb_window_t> unmanaged(windows.begin(), windows.end());
    while (!unmanaged.empty()) {
        Reply<xcb_generic_event_t> event(xcb_wait_for_event(client.get()), &std::free);
        if (!event) {
            return 1;
        }
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->atom == wmState) {
            unmanaged.erase(notify->window);
        }
    }
    assertExtents();
    std::cout << "ready" << std::endl;

    while (xcb_generic_event_t* event = xcb_wait_for_event(client.get())) {
        Reply<xcb_generic_event_t> owned(event, &std::free);
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY || notify->window != extents ||
            notify->atom != extentsAtom) {
            continue;
        }
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(
                client.get(),
                xcb_get_property(client.get(), 0, extents, extentsAtom, XCB_ATOM_CARDINAL, 0, 4),
                nullptr),
            &std::free);
        if (!reply || xcb_get_property_value_length(reply.get()) != 16 ||
            std::memcmp(xcb_get_property_value(reply.get()), absurdExtents.data(), 16) != 0) {
            assertExtents();
        }
    }
    return 0;
}

int runChurn() {
    Client client;
    const xcb_atom_t wmState = client.atom("WM_STATE");
    std::deque<xcb_window_t> alive;
    while (true) {
        const xcb_window_t window =
            client.create("pellucine-churn", 1100, 60, XCB_EVENT_MASK_PROPERTY_CHANGE);
        // Claims no process: what the server knows is all there is.
        client.set32(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {0});
        xcb_map_window(client.get(), window);
        xcb_flush(client.get());
        alive.push_back(window);
        // At the window manager's pace: the next once it has taken this one on.
        while (true) {
            Reply<xcb_generic_event_t> event(xcb_wait_for_event(client.get()), &std::free);
            if (!event) {
                return 1;
            }
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == window &&
                notify->atom == wmState) {
                break;
            }
        }
        if (alive.size() > 3) {
            xcb_destroy_window(client.get(), alive.front());
            alive.pop_front();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode.empty()) {
        return runCommands();
    }
    if (mode == "hostile" && argc > 2) {
        return runHostile(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    }
    if (mode == "churn") {
        return runChurn();
    }
    std::cerr << "usage: x11_test_client [hostile PID | churn]\n";
    return 2;
}

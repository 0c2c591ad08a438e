#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/x11/X11Atoms.h"
#include "support/XSettingsBytes.h"

namespace pellucine::testing {

// An XSETTINGS manager on the test's own connection, as Xfce's and MATE's settings daemons are.
class TestSettingsManager {
  public:
    explicit TestSettingsManager(xcb_connection_t* c, xcb_window_t root) : c_(c), root_(root) {
        const std::array<const char*, 3> names{"_XSETTINGS_S0", "_XSETTINGS_SETTINGS", "MANAGER"};
        const std::vector<xcb_atom_t> atoms = internAtoms(c, names);
        selection_ = atoms[0];
        settings_ = atoms[1];
        manager_ = atoms[2];
        window_ = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, root, -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }
    ~TestSettingsManager() { leave(); }
    TestSettingsManager(const TestSettingsManager&) = delete;
    TestSettingsManager& operator=(const TestSettingsManager&) = delete;

    // Sets the theme, then takes the selection and announces it, as a starting manager does.
    void start(const QByteArray& theme) {
        setTheme(theme);
        xcb_set_selection_owner(c_, window_, selection_, XCB_CURRENT_TIME);
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = root_;
        message.type = manager_;
        message.data.data32[0] = XCB_CURRENT_TIME;
        message.data.data32[1] = selection_;
        message.data.data32[2] = window_;
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        // Carried out before any later client asks who owns the selection.
        std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }
    void setTheme(const QByteArray& theme) {
        const QByteArray data = testing::xsettingsBytes({{"Net/ThemeName", theme}});
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window_, settings_, settings_, 8,
                            static_cast<uint32_t>(data.size()), data.constData());
        xcb_flush(c_);
    }
    // Goes away, as a manager that quits does.
    void leave() {
        if (window_ != XCB_NONE) {
            xcb_destroy_window(c_, std::exchange(window_, XCB_NONE));
            xcb_flush(c_);
        }
    }

  private:
    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t selection_ = XCB_NONE;
    xcb_atom_t settings_ = XCB_NONE;
    xcb_atom_t manager_ = XCB_NONE;
};

}  // namespace pellucine::testing

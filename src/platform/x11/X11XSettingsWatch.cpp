#include "platform/x11/X11XSettingsWatch.h"

#include <array>
#include <cstdlib>

#include "platform/linux/DesktopSchemeReadings.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/XSettingsData.h"

namespace pellucine {

namespace {

// The manager selection of the connection's screen: _XSETTINGS_S<n>.
QByteArray selectionName(const QByteArray& displayName) {
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(displayName.constData(), &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    return QByteArrayLiteral("_XSETTINGS_S") + QByteArray::number(screen);
}

}  // namespace

X11XSettingsWatch::X11XSettingsWatch(const QByteArray& displayName, Handler changed)
    : connection_(displayName), changed_(std::move(changed)) {
    const QByteArray selection = selectionName(connection_.displayName());
    const std::array<const char*, 3> names{selection.constData(), "_XSETTINGS_SETTINGS", "MANAGER"};
    const std::vector<xcb_atom_t> atoms = internAtoms(connection_.get(), names);
    selection_ = atoms[0];
    settings_ = atoms[1];
    manager_ = atoms[2];
    // MANAGER is sent to the root window with StructureNotify.
    connection_.keepEvents(connection_.root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    connection_.selectEvents(connection_.root(), XCB_EVENT_MASK_NO_EVENT);
    connect(&connection_, &X11Connection::eventReceived, this, &X11XSettingsWatch::handle);
    findManager();
}

void X11XSettingsWatch::handle(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
            if (message.type == manager_ && message.format == 32 &&
                message.data.data32[1] == selection_) {
                findManager();
            }
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (notify.window == owner_ && notify.atom == settings_) {
                readSettings();
            }
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            if (destroyed.window == owner_) {
                owner_ = XCB_NONE;
                findManager();
            }
            break;
        }
        default:
            break;
    }
}

void X11XSettingsWatch::findManager() {
    xcb_connection_t* c = connection_.get();
    if (owner_ != XCB_NONE) {
        connection_.selectEvents(owner_, XCB_EVENT_MASK_NO_EVENT);
    }
    // Held so that the owner cannot go between being found and being watched.
    xcb_grab_server(c);
    const auto reply =
        takeReply(c, xcb_get_selection_owner_reply, xcb_get_selection_owner(c, selection_));
    owner_ = reply ? reply->owner : XCB_NONE;
    if (owner_ != XCB_NONE) {
        connection_.selectEvents(owner_,
                                 XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    }
    xcb_ungrab_server(c);
    connection_.flush();
    readSettings();
}

void X11XSettingsWatch::readSettings() {
    SchemePreference preference = SchemePreference::none;
    if (owner_ != XCB_NONE) {
        xcb_connection_t* c = connection_.get();
        if (const auto property = takeProperty(c, requestProperty(c, owner_, settings_))) {
            if (const auto strings = readXSettingsStrings(property->data)) {
                preference = schemeOfThemeName(strings->value(QStringLiteral("Net/ThemeName")));
            }
        }
    }
    if (preference != preference_) {
        preference_ = preference;
        changed_(preference);
    }
}

}  // namespace pellucine

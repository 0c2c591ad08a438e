#include "platform/x11/X11WindowFrame.h"

#include "platform/x11/X11Reply.h"

namespace pellucine {

using Status = X11CaptureResult::Status;

X11FrameLookup lookUpFrame(xcb_connection_t* c, xcb_window_t window) {
    xcb_window_t current = window;
    QRect client;
    for (int level = 0; level < 16; ++level) {
        const auto treeCookie = xcb_query_tree(c, current);
        const auto attributesCookie = xcb_get_window_attributes(c, current);
        const auto geometryCookie = xcb_get_geometry(c, current);
        const auto tree = takeReply(c, xcb_query_tree_reply, treeCookie);
        const auto attributes = takeReply(c, xcb_get_window_attributes_reply, attributesCookie);
        const auto geometry = takeReply(c, xcb_get_geometry_reply, geometryCookie);
        if (!tree || !attributes || !geometry) {
            return {Status::windowGone, {}};
        }
        // Viewable means mapped with every ancestor mapped.
        if (current == window && attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
            return {Status::notViewable, {}};
        }
        if (current == window) {
            client = QRect(0, 0, geometry->width, geometry->height);
        }
        if (tree->parent == tree->root || tree->parent == XCB_NONE) {
            return {Status::captured,
                    {current, attributes->visual, geometry->depth,
                     QSize(geometry->width, geometry->height), geometry->border_width, client},
                    level <= 1};
        }
        // Into the parent's content: the window's place there and its own border.
        client.translate(geometry->x + geometry->border_width,
                         geometry->y + geometry->border_width);
        current = tree->parent;
    }
    return {Status::windowGone, {}};
}

X11FrameCheck::X11FrameCheck(xcb_connection_t* c, xcb_window_t window, const X11WindowFrame& frame)
    : connection_(c),
      window_(window),
      frame_(frame),
      windowTree_(xcb_query_tree(c, window)),
      windowAttributes_(xcb_get_window_attributes(c, window)),
      frameGeometry_(xcb_get_geometry(c, frame.window)) {
    if (frame.window != window) {
        frameTree_ = xcb_query_tree(c, frame.window);
    }
}

Status X11FrameCheck::answer() {
    xcb_connection_t* c = connection_;
    const auto tree = takeReply(c, xcb_query_tree_reply, windowTree_);
    const auto attributes = takeReply(c, xcb_get_window_attributes_reply, windowAttributes_);
    const auto frameTree = frameTree_ ? takeReply(c, xcb_query_tree_reply, *frameTree_)
                                      : X11Reply<xcb_query_tree_reply_t>();
    const auto geometry = takeReply(c, xcb_get_geometry_reply, frameGeometry_);
    if (!tree || !attributes) {
        return Status::windowGone;
    }
    if (attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return Status::notViewable;
    }
    const bool topLevel = frame_.window == window_ ? tree->parent == tree->root
                                                   : tree->parent == frame_.window && frameTree &&
                                                         frameTree->parent == frameTree->root;
    const bool same = geometry && geometry->depth == frame_.depth &&
                      QSize(geometry->width, geometry->height) == frame_.content &&
                      geometry->border_width == frame_.border;
    return topLevel && same ? Status::captured : Status::failed;
}

Status whyNoPixmap(xcb_connection_t* c, xcb_window_t window) {
    const auto attributes =
        takeReply(c, xcb_get_window_attributes_reply, xcb_get_window_attributes(c, window));
    return attributes ? Status::notViewable : Status::windowGone;
}

}  // namespace pellucine

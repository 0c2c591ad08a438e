#include "platform/x11/X11RenderFormats.h"

#include "platform/x11/X11Reply.h"

namespace pellucine {

std::optional<X11RenderFormats> X11RenderFormats::query(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* render = xcb_get_extension_data(connection, &xcb_render_id);
    if (render == nullptr || render->present == 0) {
        return std::nullopt;
    }
    const auto version = takeReply(connection, xcb_render_query_version_reply,
                                   xcb_render_query_version(connection, 0, 11));
    if (!version || (version->major_version == 0 && version->minor_version < 10)) {
        return std::nullopt;
    }
    const auto formats = takeReply(connection, xcb_render_query_pict_formats_reply,
                                   xcb_render_query_pict_formats(connection));
    if (!formats) {
        return std::nullopt;
    }
    X11RenderFormats result;
    auto format = xcb_render_query_pict_formats_formats_iterator(formats.get());
    for (; format.rem > 0; xcb_render_pictforminfo_next(&format)) {
        const xcb_render_pictforminfo_t& f = *format.data;
        const xcb_render_directformat_t& d = f.direct;
        if (f.type == XCB_RENDER_PICT_TYPE_DIRECT && f.depth == 32 && d.alpha_shift == 24 &&
            d.alpha_mask == 0xff && d.red_shift == 16 && d.red_mask == 0xff && d.green_shift == 8 &&
            d.green_mask == 0xff && d.blue_shift == 0 && d.blue_mask == 0xff) {
            result.argb32_ = f.id;
        }
    }
    if (result.argb32_ == XCB_NONE) {
        return std::nullopt;
    }
    auto screen = xcb_render_query_pict_formats_screens_iterator(formats.get());
    for (; screen.rem > 0; xcb_render_pictscreen_next(&screen)) {
        auto depth = xcb_render_pictscreen_depths_iterator(screen.data);
        for (; depth.rem > 0; xcb_render_pictdepth_next(&depth)) {
            auto visual = xcb_render_pictdepth_visuals_iterator(depth.data);
            for (; visual.rem > 0; xcb_render_pictvisual_next(&visual)) {
                result.visuals_.insert(visual.data->visual, visual.data->format);
            }
        }
    }
    return result;
}

std::optional<xcb_render_pictformat_t> X11RenderFormats::forVisual(xcb_visualid_t visual) const {
    const auto it = visuals_.constFind(visual);
    if (it == visuals_.cend()) {
        return std::nullopt;
    }
    return *it;
}

}  // namespace pellucine

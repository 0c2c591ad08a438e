#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace pellucine {

// Frees what xcb hands out with malloc: replies, events and errors.
struct X11Free {
    void operator()(void* p) const { std::free(p); }
};

template <class T>
using X11Reply = std::unique_ptr<T, X11Free>;

// Waits for the reply of a request sent earlier; an error reply is discarded and gives null.
// `replyFn` is the request's xcb_*_reply function.
template <class ReplyFn, class Cookie>
auto takeReply(xcb_connection_t* connection, ReplyFn replyFn, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    auto* reply = replyFn(connection, cookie, &error);
    std::free(error);
    return X11Reply<std::remove_pointer_t<decltype(reply)>>(reply);
}

}  // namespace pellucine

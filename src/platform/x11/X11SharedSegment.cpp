#include "platform/x11/X11SharedSegment.h"

#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/x11/X11Reply.h"

namespace pellucine {

X11SharedSegment::~X11SharedSegment() {
    release();
}

bool X11SharedSegment::isOffered(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection, &xcb_shm_id);
    if (shm == nullptr || shm->present == 0) {
        return false;
    }
    const auto version =
        takeReply(connection, xcb_shm_query_version_reply, xcb_shm_query_version(connection));
    if (!version || (version->major_version == 1 && version->minor_version < 2) ||
        version->major_version < 1) {
        return false;
    }
    // Files pass only over a local socket; sending one elsewhere breaks the connection.
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    return getsockname(xcb_get_file_descriptor(connection), reinterpret_cast<sockaddr*>(&address),
                       &length) == 0 &&
           address.ss_family == AF_UNIX;
}

bool X11SharedSegment::reserve(qint64 bytes) {
    if (bytes <= size_) {
        return data_ != nullptr;
    }
    release();
    if (bytes <= 0 || bytes > qint64(UINT32_MAX)) {
        return false;
    }
    const int fd = memfd_create("pellucine-capture", MFD_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    void* data = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
        data = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE, MAP_SHARED,
                    fd, 0);
    }
    if (data == MAP_FAILED) {
        close(fd);
        return false;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(connection_);
    // xcb closes the file once it is sent; the mapping stays.
    X11Reply<xcb_generic_error_t> error(xcb_request_check(
        connection_, xcb_shm_attach_fd_checked(connection_, segment, fd, /*read_only=*/0)));
    if (error || xcb_connection_has_error(connection_) != 0) {
        refused_ = true;
        munmap(data, static_cast<std::size_t>(bytes));
        return false;
    }
    segment_ = segment;
    data_ = static_cast<uchar*>(data);
    size_ = bytes;
    return true;
}

void X11SharedSegment::shrinkTo(qint64 bytes) {
    if (size_ > bytes) {
        release();
    }
}

void X11SharedSegment::release() {
    if (data_ == nullptr) {
        return;
    }
    xcb_shm_detach(connection_, segment_);
    xcb_flush(connection_);
    munmap(data_, static_cast<std::size_t>(size_));
    segment_ = XCB_NONE;
    data_ = nullptr;
    size_ = 0;
}

}  // namespace pellucine

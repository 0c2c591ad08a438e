#include "app/PresentableWindow.h"

namespace pellucine {

void presentWindow(PresentableWindow& window, QSize contentSize) {
    if (window.isFullScreen()) {
        // The window manager may put the full-screen geometry's predecessor back after the
        // resize below; set it again once it is done.
        window.exitFullScreen([&window, contentSize] {
            window.setContentSize(contentSize);
            window.centre();
        });
    }
    if (window.isZoomed()) {
        window.unzoom();
    }
    window.setContentSize(contentSize);
    window.centre();
    window.orderFront();
    window.activate();
}

}  // namespace pellucine

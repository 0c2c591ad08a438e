#pragma once

#include <xcb/xcb.h>

#include <QtGlobal>
#include <functional>

#include "platform/x11/X11CapturePlan.h"

namespace pellucine {

// How window pictures are taken.
struct X11CaptureOptions {
    // Reduce on the server when it offers RENDER.
    bool useRender = true;
    // Read through shared memory when the server offers MIT-SHM.
    bool useSharedMemory = true;
    // Windows and pictures with more pixels are refused (tooLarge).
    qint64 maximumPixels = maximumCapturePixels;
    // Called on the capturing thread once the window's frame is found, before its pixels are
    // read.
    std::function<void(xcb_window_t frame)> beforeReading;
};

// Which of the server's extensions the captures use.
struct X11CaptureMethods {
    // Pictures are reduced to their size on the server (RENDER).
    bool render = false;
    // Pixels arrive through shared memory (MIT-SHM).
    bool sharedMemory = false;

    friend bool operator==(const X11CaptureMethods&, const X11CaptureMethods&) = default;
};

}  // namespace pellucine

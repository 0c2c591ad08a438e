#pragma once

#include <QPoint>
#include <QRect>
#include <optional>

namespace pellucine {

// When the pointer's position is to be read rather than heard, while its moves are watched. A
// pure rule over root pixels.
//
// Moves made with a device are heard as raw motion everywhere; a pointer warped by a client is
// heard only where its motion events reach the program: over the root and over the program's
// own windows, never over a taskbar's. So the position is read only while a warp could change
// what the pointer rests on: near a taskbar that stands for the Dock (a warp onto, along or off
// its buttons), and everywhere, slowly, when device moves are not heard either. With the
// program's own Dock bar, or no Dock at all, it is never read.
struct X11PointerPoll {
    struct Dock {
        QRect frame;
        // The Dock is a window of the program's own, whose crossings and motion it hears.
        bool isOwnWindow = false;
    };

    static constexpr int nearIntervalMilliseconds = 100;
    static constexpr int unheardIntervalMilliseconds = 500;
    // How far around the Dock's frame the pointer counts as near it.
    static constexpr int reach = 64;

    // The interval between two readings; none when the position need not be read. `last` is
    // where the pointer was last seen, none when it never was.
    static std::optional<int> intervalMilliseconds(std::optional<QPoint> last,
                                                   const std::optional<Dock>& dock,
                                                   bool deviceMovesHeard);
};

}  // namespace pellucine

#pragma once

namespace pellucine {

// How wide a message box must be for the window manager's title bar to show its whole title.
// Besides the title, a frame's title bar holds the window's icon and its buttons (iconify,
// maximize, close) with padding around them: `frameAllowance` pixels in the common themes.
struct TitledBoxWidth {
    static constexpr int frameAllowance = 140;
    // Never closer to the screen's sides than this.
    static constexpr int screenMargin = 40;

    // The least width of a box whose title is `titleWidth` pixels wide in the frame's bold face,
    // on a screen `screenWidth` wide: room for the title and the frame's parts, within the
    // screen's margins (a title too long for the screen is cut rather than the box made wider
    // than the screen). The box's content may make it wider.
    static int minimum(int titleWidth, int screenWidth);
};

}  // namespace pellucine

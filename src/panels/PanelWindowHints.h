#pragma once

namespace pellucine {

// What a top-level panel that takes the keyboard asks of the window manager: to be on every
// desktop and out of the taskbar and the pager, and to have the keyboard when it opens, even
// when it was opened by a global hotkey and the program's own windows saw no input. Made by a
// PanelWindowSystem for one panel. Main thread only.
class PanelWindowHints {
  public:
    virtual ~PanelWindowHints() = default;

    // Puts the panel on every desktop, out of the taskbar and the pager. Call before the panel
    // is first shown; the states already on the window stay.
    virtual void applyBeforeMapping() = 0;
    // Brings the shown panel to the front and asks for the keyboard for it. The request may
    // leave a turn of the event loop later; a panel hidden meanwhile asks for nothing.
    virtual void requestFocus() = 0;
};

}  // namespace pellucine

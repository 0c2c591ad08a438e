#pragma once

namespace pellucine {

// The system's gates on taking pictures of other windows and on operating other applications.
// Whether accessibility is trusted is read from Accessibility::isProcessTrusted. Main thread.
class SystemPermissions {
  public:
    virtual ~SystemPermissions() = default;

    // The system's quick check for screen capture; never prompts. A grant given while the
    // program runs may only show here after a relaunch.
    virtual bool isScreenCaptureAllowed() const = 0;
    // Asks for screen capture (the system prompts where it does) and returns its answer.
    virtual bool requestScreenCapture() = 0;
    // Asks for accessibility trust (the system prompts where it does) and returns whether the
    // program is trusted.
    virtual bool requestAccessibility() = 0;
    // Whether a grant can come or go while the program runs; where none can, the gates are
    // read once.
    virtual bool grantsCanChange() const { return true; }
};

}  // namespace pellucine

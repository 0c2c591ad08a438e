#pragma once

#include "platform/SystemPermissions.h"

namespace pellucine {

// An X11 session gates neither pictures of other windows nor operating them: every check and
// request answers yes.
class X11SystemPermissions final : public SystemPermissions {
  public:
    bool isScreenCaptureAllowed() const override { return true; }
    bool requestScreenCapture() override { return true; }
    bool requestAccessibility() override { return true; }
    bool grantsCanChange() const override { return false; }
};

}  // namespace pellucine

#pragma once

#include <xcb/xcb.h>

namespace pellucine::testing {

// Keysyms of the keys tests press.
constexpr xcb_keysym_t tab = 0xff09;
constexpr xcb_keysym_t escape = 0xff1b;
constexpr xcb_keysym_t returnKey = 0xff0d;
constexpr xcb_keysym_t right = 0xff53;
constexpr xcb_keysym_t down = 0xff54;
constexpr xcb_keysym_t scrollLock = 0xff14;
constexpr xcb_keysym_t numLock = 0xff7f;
constexpr xcb_keysym_t shiftL = 0xffe1;
constexpr xcb_keysym_t shiftR = 0xffe2;
constexpr xcb_keysym_t controlL = 0xffe3;
constexpr xcb_keysym_t capsLock = 0xffe5;
constexpr xcb_keysym_t altL = 0xffe9;
constexpr xcb_keysym_t superL = 0xffeb;
constexpr xcb_keysym_t superR = 0xffec;

}  // namespace pellucine::testing

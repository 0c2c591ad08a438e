#pragma once

#include <QtGlobal>

namespace pellucine {

// The modifier-key bits the port speaks in: the stored key-combination bits. Command stands for
// the Super key on X11 and Option for Alt. Caps Lock is a lock, not part of any combination.
struct KeyModifiers {
    static constexpr quint64 capsLock = 0x10000;
    static constexpr quint64 shift = 0x20000;
    static constexpr quint64 control = 0x40000;
    static constexpr quint64 option = 0x80000;
    static constexpr quint64 command = 0x100000;
    static constexpr quint64 all = shift | control | option | command;
};

}  // namespace pellucine

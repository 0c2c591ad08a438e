#pragma once

#include <Qt>
#include <optional>

namespace pellucine {

// What a key pressed in the window-search panel does.
struct WindowSearchCommand {
    enum class Kind {
        // Commit the selected window; nothing when none is selected (the key is still taken).
        commit,
        close,
        moveSelection,
    };
    Kind kind = Kind::close;
    // For moveSelection: the step, negative upwards.
    int step = 0;

    friend bool operator==(const WindowSearchCommand&, const WindowSearchCommand&) = default;
};

namespace WindowSearchKeyMap {

inline constexpr int pageStep = 8;

// The command for a key, or none when the key belongs to the search field. Control counts for
// P and N only; every other modifier is ignored.
std::optional<WindowSearchCommand> command(int key, Qt::KeyboardModifiers modifiers);

}  // namespace WindowSearchKeyMap

}  // namespace pellucine

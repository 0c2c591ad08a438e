#pragma once

#include <QString>

#include "core/WindowPlacement.h"

namespace pellucine {

// An operation on one window.
struct WindowAction {
    enum class Kind { place, focus, minimize, restore, toggleFullScreen, close };

    Kind kind = Kind::focus;
    // Meaningful only for `place`.
    WindowPlacement placement = WindowPlacement::maximize;

    static WindowAction place(WindowPlacement p) { return {Kind::place, p}; }
    static WindowAction focus() { return {Kind::focus}; }
    static WindowAction minimize() { return {Kind::minimize}; }
    static WindowAction restore() { return {Kind::restore}; }
    static WindowAction toggleFullScreen() { return {Kind::toggleFullScreen}; }
    static WindowAction close() { return {Kind::close}; }

    // The case name; for `place`, "place(pellucine.WindowPlacement.<case>)".
    QString textForm() const;

    friend bool operator==(const WindowAction& a, const WindowAction& b) {
        return a.kind == b.kind && (a.kind != Kind::place || a.placement == b.placement);
    }
};

}  // namespace pellucine

#include "panels/WindowSearchKeyMap.h"

namespace pellucine::WindowSearchKeyMap {

namespace {

WindowSearchCommand move(int step) {
    return {WindowSearchCommand::Kind::moveSelection, step};
}

}  // namespace

std::optional<WindowSearchCommand> command(int key, Qt::KeyboardModifiers modifiers) {
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return WindowSearchCommand{WindowSearchCommand::Kind::commit, 0};
        case Qt::Key_Escape:
            return WindowSearchCommand{WindowSearchCommand::Kind::close, 0};
        case Qt::Key_Up:
            return move(-1);
        case Qt::Key_Down:
            return move(1);
        case Qt::Key_PageUp:
            return move(-pageStep);
        case Qt::Key_PageDown:
            return move(pageStep);
        case Qt::Key_P:
            return control ? std::optional(move(-1)) : std::nullopt;
        case Qt::Key_N:
            return control ? std::optional(move(1)) : std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace pellucine::WindowSearchKeyMap

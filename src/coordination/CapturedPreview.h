#pragma once

#include <QImage>
#include <exception>
#include <variant>

namespace pellucine {

// One child result of a capture group: the window's picture or why it could not be taken.
struct CapturedPreview {
    quint32 windowID = 0;
    std::variant<QImage, std::exception_ptr> result;

    const QImage* image() const { return std::get_if<QImage>(&result); }
    // Null on success.
    std::exception_ptr error() const {
        const auto* e = std::get_if<std::exception_ptr>(&result);
        return e ? *e : nullptr;
    }
};

}  // namespace pellucine

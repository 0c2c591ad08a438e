#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

namespace pellucine {

// The JPEG copy of one window's cached picture, to be decoded.
struct PreviewCopy {
    quint32 windowID = 0;
    // Which capture of the window the copy was made from.
    quint64 capture = 0;
    QByteArray data;
};

// One child result of decoding JPEG copies; no picture when the copy does not decode.
struct DecodedPreview {
    quint32 windowID = 0;
    // Which capture of the window the copy was made from.
    quint64 capture = 0;
    std::optional<QImage> image;
};

}  // namespace pellucine

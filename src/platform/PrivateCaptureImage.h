#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace pellucine {

// A picture as the private capture entry point hands it over: its declared layout and its raw
// bytes, which need not agree with it.
struct PrivateCaptureImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    qsizetype bytesPerRow = 0;
    // None when the picture's data cannot be read.
    std::optional<QByteArray> bytes;
};

}  // namespace pellucine

#pragma once

#include "platform/ImageCoding.h"

namespace pellucine {

// JPEG coding through libjpeg, linked into the program, so it never depends on an image plugin
// being found at run time. The same on every backend.
class JpegImageCoding final : public ImageCoding {
  public:
    // Pictures larger than this on either side are neither encoded nor decoded.
    static constexpr int maximumSide = 16384;

    std::optional<QByteArray> encodeJpeg(const QImage& image, double quality) const override;
    std::optional<QImage> decodeJpeg(const QByteArray& data) const override;
};

}  // namespace pellucine

#pragma once

#include "platform/ImageCoding.h"

namespace pellucine {

// JPEG coding through Qt's image plugins; the same on every backend.
class QtImageCoding final : public ImageCoding {
  public:
    std::optional<QByteArray> encodeJpeg(const QImage& image, double quality) const override;
    std::optional<QImage> decodeJpeg(const QByteArray& data) const override;
};

}  // namespace pellucine

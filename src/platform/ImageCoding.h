#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

namespace pellucine {

// Compressed copies of pictures. Safe to call from any thread at once.
class ImageCoding {
  public:
    virtual ~ImageCoding() = default;

    // A JPEG copy at `quality` (0 to 1); none when the picture cannot be encoded.
    virtual std::optional<QByteArray> encodeJpeg(const QImage& image, double quality) const = 0;
    // The picture of a JPEG copy, fully decoded; none when the data is not a readable JPEG.
    virtual std::optional<QImage> decodeJpeg(const QByteArray& data) const = 0;
};

}  // namespace pellucine

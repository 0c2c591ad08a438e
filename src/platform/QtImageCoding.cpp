#include "platform/QtImageCoding.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cmath>

namespace pellucine {

namespace {
const QByteArray jpegFormat = QByteArrayLiteral("jpeg");
}

std::optional<QByteArray> QtImageCoding::encodeJpeg(const QImage& image, double quality) const {
    if (image.isNull() || !std::isfinite(quality)) {
        return std::nullopt;
    }
    QByteArray data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    QImageWriter writer(&buffer, jpegFormat);
    writer.setQuality(static_cast<int>(std::lround(std::clamp(quality, 0.0, 1.0) * 100)));
    if (!writer.write(image)) {
        return std::nullopt;
    }
    return data;
}

std::optional<QImage> QtImageCoding::decodeJpeg(const QByteArray& data) const {
    if (data.isEmpty()) {
        return std::nullopt;
    }
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QImageReader reader(&buffer, jpegFormat);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

}  // namespace pellucine

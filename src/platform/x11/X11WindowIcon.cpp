#include "platform/x11/X11WindowIcon.h"

#include <cstring>

namespace pellucine {

QImage X11WindowIcon::choose(const QList<quint32>& data, int side) {
    qsizetype best = -1;
    qint64 bestArea = 0;
    bool bestIsLarge = false;
    for (qsizetype at = 0; at + 2 <= data.size();) {
        const quint32 width = data[at];
        const quint32 height = data[at + 1];
        if (width == 0 || height == 0 || width > maximumSide || height > maximumSide) {
            break;
        }
        const qint64 area = qint64(width) * height;
        if (area > data.size() - at - 2) {
            break;
        }
        const bool large = width >= quint32(side) && height >= quint32(side);
        // A large enough picture beats any smaller one; among large ones the smallest wins,
        // among small ones the largest.
        if (best < 0 || (large && (!bestIsLarge || area < bestArea)) ||
            (!large && !bestIsLarge && area > bestArea)) {
            best = at;
            bestArea = area;
            bestIsLarge = large;
        }
        at += 2 + area;
    }
    if (best < 0) {
        return {};
    }
    const int width = static_cast<int>(data[best]);
    const int height = static_cast<int>(data[best + 1]);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.scanLine(y), data.constData() + best + 2 + qsizetype(y) * width,
                    std::size_t(width) * 4);
    }
    return image;
}

}  // namespace pellucine

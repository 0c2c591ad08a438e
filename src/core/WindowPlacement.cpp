#include "core/WindowPlacement.h"

#include <cmath>

namespace pellucine {

QString rawValue(WindowPlacement placement) {
    switch (placement) {
        case WindowPlacement::maximize:
            return QStringLiteral("maximize");
        case WindowPlacement::leftHalf:
            return QStringLiteral("leftHalf");
        case WindowPlacement::rightHalf:
            return QStringLiteral("rightHalf");
        case WindowPlacement::topLeft:
            return QStringLiteral("topLeft");
        case WindowPlacement::topRight:
            return QStringLiteral("topRight");
        case WindowPlacement::bottomLeft:
            return QStringLiteral("bottomLeft");
        case WindowPlacement::bottomRight:
            return QStringLiteral("bottomRight");
    }
    return {};
}

std::optional<WindowPlacement> windowPlacementFromRawValue(QStringView raw) {
    for (WindowPlacement p : allWindowPlacements) {
        if (rawValue(p) == raw) {
            return p;
        }
    }
    return std::nullopt;
}

GlobalRect placementFrame(WindowPlacement placement, const GlobalRect& v) {
    const double halfW = std::floor(v.width * 0.5);
    const double restW = v.width - halfW;
    const double halfH = std::floor(v.height * 0.5);
    const double restH = v.height - halfH;
    switch (placement) {
        case WindowPlacement::maximize:
            return v;
        case WindowPlacement::leftHalf:
            return {v.minX(), v.minY(), halfW, v.height};
        case WindowPlacement::rightHalf:
            return {v.minX() + halfW, v.minY(), restW, v.height};
        case WindowPlacement::topLeft:
            return {v.minX(), v.minY(), halfW, halfH};
        case WindowPlacement::topRight:
            return {v.minX() + halfW, v.minY(), restW, halfH};
        case WindowPlacement::bottomLeft:
            return {v.minX(), v.minY() + halfH, halfW, restH};
        case WindowPlacement::bottomRight:
            return {v.minX() + halfW, v.minY() + halfH, restW, restH};
    }
    return v;
}

}  // namespace pellucine

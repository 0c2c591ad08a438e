#include "preferences/DockPreviewStyle.h"

namespace pellucine {

namespace {

constexpr int automaticCompactThreshold = 7;

}  // namespace

QString rawValue(DockPreviewStyle style) {
    switch (style) {
        case DockPreviewStyle::automatic:
            return QStringLiteral("automatic");
        case DockPreviewStyle::thumbnails:
            return QStringLiteral("thumbnails");
        case DockPreviewStyle::compact:
            return QStringLiteral("compact");
    }
    return {};
}

std::optional<DockPreviewStyle> dockPreviewStyleFromRawValue(QStringView raw) {
    for (DockPreviewStyle style : allDockPreviewStyles) {
        if (rawValue(style) == raw) {
            return style;
        }
    }
    return std::nullopt;
}

bool usesCompactList(DockPreviewStyle style, int windowCount) {
    switch (style) {
        case DockPreviewStyle::compact:
            return true;
        case DockPreviewStyle::automatic:
            return windowCount > automaticCompactThreshold;
        case DockPreviewStyle::thumbnails:
            return false;
    }
    return false;
}

}  // namespace pellucine

#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace pellucine {

// The layout of the Dock panel.
enum class DockPreviewStyle { automatic, thumbnails, compact };

inline constexpr std::array<DockPreviewStyle, 3> allDockPreviewStyles{
    DockPreviewStyle::automatic, DockPreviewStyle::thumbnails, DockPreviewStyle::compact};

QString rawValue(DockPreviewStyle style);
std::optional<DockPreviewStyle> dockPreviewStyleFromRawValue(QStringView raw);

// Whether the panel lists the windows compactly instead of as picture tiles: always for
// `compact`, never for `thumbnails`, and for `automatic` from eight windows on.
bool usesCompactList(DockPreviewStyle style, int windowCount);

}  // namespace pellucine

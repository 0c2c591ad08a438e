#pragma once

#include <QSize>
#include <QStringList>
#include <memory>

#include "GalleryOutput.h"

class QWidget;

namespace pellucine::gallery {

class SampleDesk;

// The laptop screen the sample panels are sized for; a sheet never outgrows it.
inline constexpr QSize sampleScreenSize{1280, 800};

// The backdrop around a panel on each side: 28 where the screen has room, less where the
// panel nearly fills it, none where it fills it or is larger.
QSize sheetMargins(QSize panelSize, QSize screenSize);

// The names of the sample glances and the peek, each a panel on a desktop backdrop.
QStringList glanceSheetNames();

// The sheet named `name` over `desk`'s model, not yet shown; null for an unknown name.
std::unique_ptr<QWidget> makeGlanceSheet(SampleDesk& desk, const QString& name);

// Draws every glance sheet in both schemes into `folder` as "<sheet>-<scheme>.png", creating
// the folder when missing, and reads each file back.
Result renderGlances(const QString& folder);

}  // namespace pellucine::gallery

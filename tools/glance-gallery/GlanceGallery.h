#pragma once

#include <QStringList>
#include <memory>

#include "GalleryOutput.h"

class QWidget;

namespace pellucine::gallery {

class SampleDesk;

// The names of the sample glances and the peek, each a panel on a desktop backdrop.
QStringList glanceSheetNames();

// The sheet named `name` over `desk`'s model, not yet shown; null for an unknown name.
std::unique_ptr<QWidget> makeGlanceSheet(SampleDesk& desk, const QString& name);

// Draws every glance sheet in both schemes into `folder` as "<sheet>-<scheme>.png", creating
// the folder when missing, and reads each file back.
Result renderGlances(const QString& folder);

}  // namespace pellucine::gallery

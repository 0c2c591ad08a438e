#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "GalleryOutput.h"
#include "design/ColorScheme.h"

class QWidget;

namespace pellucine::gallery {

// One sheet of the gallery: a widget showing a component in all its states, drawn once per
// scheme into "<name>-<scheme>.png".
struct Sheet {
    QString name;
    std::function<QWidget*()> make;
};

QList<Sheet> sheets();

// Draws every sheet in both schemes into `folder`, creating it when missing.
Result render(const QString& folder);

}  // namespace pellucine::gallery

#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <functional>

#include "design/ColorScheme.h"

class QWidget;

namespace pellucine::gallery {

struct Result {
    QStringList written;
    QString error;  // empty on success
};

// The folder the sheets go to, created when missing; an error when it is a file or cannot be
// made.
Result prepareFolder(const QString& folder);

// Shows `host` off screen so that it is laid out as in a window, and writes what it draws to
// "<name>-<scheme>.png" in `folder`, then reads the file back. Appends the file to `result`, or
// sets its error. Returns whether it succeeded.
bool writeSheet(QWidget& host, const QDir& folder, const QString& name, ColorScheme scheme,
                Result& result);

// The main of a gallery tool: one folder argument, the PNG files it wrote on standard output,
// a failure on standard error with status 1, and `usage` with status 2 for anything else.
int runGallery(int argc, char* argv[], const QString& usage,
               const std::function<Result(const QString&)>& render);

}  // namespace pellucine::gallery

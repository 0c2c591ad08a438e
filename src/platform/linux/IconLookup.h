#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace pellucine {

// Finds the picture a desktop entry's Icon value names, the one way every view looks icons up.
class IconLookup {
  public:
    IconLookup() = delete;

    // Where pictures that are in no icon theme are kept.
    static QStringList defaultPixmapFolders() { return {QStringLiteral("/usr/share/pixmaps")}; }

    // An absolute path is read as a picture. Anything else is a name in the icon theme (dots
    // and all: "org.xfce.mousepad"), else a file of that name in `pixmapFolders`: the name as
    // it stands when it has an extension, else with .png, .svg or .xpm, else the largest
    // "<name>_<size>x<size>.xpm" or .png. Scaled into a square of `side` pixels; null when none is
    // found.
    static QImage fromIconValue(const QString& value, int side,
                                const QStringList& pixmapFolders = defaultPixmapFolders());

    // The file in `folder` a pixmap lookup for `name` picks; empty when none fits.
    static QString pixmapFile(const QString& folder, const QString& name);
};

}  // namespace pellucine

#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QUrl>
#include <optional>

#include "platform/x11/X11ApplicationRegistry.h"
#include "platform/x11/X11CoordinateSpace.h"
#include "platform/x11/X11ShellContent.h"
#include "platform/x11/shell/X11IconRow.h"

namespace pellucine {

// One application as the shell draws and publishes it.
struct X11ShellEntry {
    qint32 pid = 0;
    QString name;
    // The desktop entry, when the application was found through one.
    std::optional<QUrl> url;
    QImage icon;

    static X11ShellEntry of(const X11Application& app, QImage icon);

    // The icons in order, for drawing.
    static QList<QImage> icons(const QList<X11ShellEntry>& entries);
    // The published items of entries drawn in `row`, whose window's top-left corner is at
    // `origin` on the root window.
    static QList<X11ShellContent::Item> items(const QList<X11ShellEntry>& entries,
                                              const X11IconRow& row, QPoint origin,
                                              const X11CoordinateSpace& space);

    bool operator==(const X11ShellEntry& other) const {
        return pid == other.pid && name == other.name && url == other.url &&
               icon.cacheKey() == other.icon.cacheKey();
    }
};

}  // namespace pellucine

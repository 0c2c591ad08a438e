#include "platform/x11/shell/X11ShellEntry.h"

namespace pellucine {

X11ShellEntry X11ShellEntry::of(const X11Application& app, QImage icon) {
    X11ShellEntry entry{app.pid, app.identity.name.value_or(QStringLiteral("Application")),
                        std::nullopt, std::move(icon)};
    if (app.identity.fromDesktopEntry) {
        entry.url = app.identity.location;
    }
    return entry;
}

QList<QImage> X11ShellEntry::icons(const QList<X11ShellEntry>& entries) {
    QList<QImage> result;
    for (const X11ShellEntry& entry : entries) {
        result.append(entry.icon);
    }
    return result;
}

QList<X11ShellContent::Item> X11ShellEntry::items(const QList<X11ShellEntry>& entries,
                                                  const X11IconRow& row, QPoint origin,
                                                  const X11CoordinateSpace& space) {
    QList<X11ShellContent::Item> result;
    for (int i = 0; i < entries.size() && i < row.items.size(); ++i) {
        result.append({entries[i].name, space.toGlobal(row.items[i].translated(origin)),
                       entries[i].url, entries[i].pid});
    }
    return result;
}

}  // namespace pellucine

#pragma once

#include <QProcess>
#include <QString>
#include <functional>

#include "platform/DesktopAppearance.h"

namespace pellucine {

// GNOME's org.gnome.desktop.interface color-scheme through the `gsettings` tool: read once, then
// followed by a `gsettings monitor` that runs as long as the watch. Says nothing where the tool
// or the schema is missing. Main thread.
class GnomeSchemeWatch final {
  public:
    using Handler = std::function<void(SchemePreference)>;

    // `gsettings` is the tool's path or name; `changed` hears every value read, the first
    // included.
    GnomeSchemeWatch(const QString& gsettings, Handler changed);
    ~GnomeSchemeWatch();
    GnomeSchemeWatch(const GnomeSchemeWatch&) = delete;
    GnomeSchemeWatch& operator=(const GnomeSchemeWatch&) = delete;

  private:
    void readLines(QProcess& process);

    QString gsettings_;
    Handler changed_;
    QProcess get_;
    QProcess monitor_;
};

}  // namespace pellucine

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <memory>

#include "design/ColorScheme.h"

namespace pellucine {
class SettingsView;
}

namespace pellucine::testing {

// Every window and page the program shows, built as the program builds it over the simulated
// desktop, each at its default size and shown on the off-screen platform with the bundled
// fonts. One window is open at a time; opening another discards it. Main thread.
class WindowCatalogue {
  public:
    // The four settings pages, the welcome steps, the four page guides, diagnostics, every
    // report page, the status menu, the glance in grid and compact layouts, the peek and the
    // search panel, in that order.
    static const QStringList& names();

    WindowCatalogue();
    ~WindowCatalogue();
    WindowCatalogue(const WindowCatalogue&) = delete;
    WindowCatalogue& operator=(const WindowCatalogue&) = delete;

    // Builds the window `name` in `scheme`, shows it and lets it lay out; it stays until the
    // next `open` or `close`. Null for a name not in `names()`.
    QWidget* open(const QString& name, ColorScheme scheme);
    void close();

    // The settings view behind the open settings page or page guide, else null.
    SettingsView* settingsView() const;

    // Windows opened next are those of a build whose problem reports go to `endpoint`; an empty
    // one (the default) is a build without a report server, which saves them as files.
    void setReportEndpoint(const QUrl& endpoint);

  private:
    struct Desk;
    std::unique_ptr<Desk> desk_;
};

}  // namespace pellucine::testing

#pragma once

#include <QString>

#include "platform/ApplicationLifecycle.h"
#include "platform/UrlOpener.h"

namespace pellucine {

// Links go to the desktop's handler for them; a new instance of the program is started as a
// detached process of the same executable (the AppImage when the program runs from one), and
// quitting ends the application's event loop.
class LinuxSession final : public UrlOpener, public ApplicationLifecycle {
  public:
    // Panes of another system's settings have no counterpart here: links of that scheme are
    // refused without asking the desktop.
    static constexpr QLatin1String foreignSettingsScheme{"x-apple.systempreferences"};

    bool open(const QUrl& url) override;
    // Runs the desktop's opener and hears its answer: one that cannot start, or ends in
    // failure (no handler, a handler that failed), counts as nothing opened.
    void openOrReport(const QUrl& url, std::function<void()> failed) override;
    QCoro::Task<void> openNewInstance() override;
    void terminate() override;

    // $APPIMAGE when set, else the running executable; empty when neither is known.
    static QString executablePath();
};

}  // namespace pellucine

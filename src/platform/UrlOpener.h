#pragma once

#include <QUrl>
#include <functional>

namespace pellucine {

// Hands a link to the application the desktop chose for it. Main thread.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // False when nothing could open it.
    virtual bool open(const QUrl& url) = 0;
    // Opens the link and calls `failed` when nothing opened it, which may be learnt only once
    // the desktop's handler has given up.
    virtual void openOrReport(const QUrl& url, std::function<void()> failed) {
        if (!open(url) && failed) {
            failed();
        }
    }
};

}  // namespace pellucine

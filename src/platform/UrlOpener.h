#pragma once

#include <QUrl>

namespace pellucine {

// Hands a link to the application the desktop chose for it. Main thread.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // False when nothing could open it.
    virtual bool open(const QUrl& url) = 0;
};

}  // namespace pellucine

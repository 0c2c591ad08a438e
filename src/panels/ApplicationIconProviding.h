#pragma once

#include <QImage>
#include <QtGlobal>

namespace pellucine {

// The icon of a running application, looked up by process identifier. Main thread only.
class ApplicationIconProviding {
  public:
    virtual ~ApplicationIconProviding() = default;
    // A null image when the application is not running or has no icon.
    virtual QImage icon(qint32 processIdentifier) const = 0;
};

}  // namespace pellucine

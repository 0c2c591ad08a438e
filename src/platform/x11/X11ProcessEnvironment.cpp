#include "platform/x11/X11ProcessEnvironment.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace pellucine {

qint32 X11ProcessEnvironment::processIdentifier() const {
    return static_cast<qint32>(QCoreApplication::applicationPid());
}

int X11ProcessEnvironment::operatingSystemMajorVersion() const {
    return QSysInfo::productVersion().section(QLatin1Char('.'), 0, 0).toInt();
}

}  // namespace pellucine

#include "platform/linux/HostProcess.h"

#include <unistd.h>

#include <QSysInfo>

namespace pellucine {

qint32 HostProcess::processIdentifier() const {
    return static_cast<qint32>(::getpid());
}

int HostProcess::operatingSystemMajorVersion() const {
    return QSysInfo::kernelVersion().section(QLatin1Char('.'), 0, 0).toInt();
}

QString HostProcess::operatingSystemVersionString() const {
    // "Linux 6.1.0-18-amd64 (Debian GNU/Linux 12 (bookworm))".
    QString kernel = QSysInfo::kernelType();
    if (!kernel.isEmpty()) {
        kernel[0] = kernel[0].toUpper();
    }
    return QStringLiteral("%1 %2 (%3)")
        .arg(kernel, QSysInfo::kernelVersion(), QSysInfo::prettyProductName());
}

}  // namespace pellucine

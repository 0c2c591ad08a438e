#include "support/ScratchHome.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

namespace pellucine::testing {

void useScratchHome() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    const QString home = exe.symLinkTarget().isEmpty()
                             ? QDir::tempPath() + QStringLiteral("/pellucine-test-home")
                             : QFileInfo(exe.symLinkTarget()).absolutePath() +
                                   QStringLiteral("/test-home/") +
                                   QFileInfo(exe.symLinkTarget()).fileName();
    for (const char* sub : {"", "/data", "/config", "/cache"}) {
        QDir().mkpath(home + QLatin1String(sub));
    }
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/cache")).toLocal8Bit());
}

}  // namespace pellucine::testing

#include "base/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace pellucine {

namespace {

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}

QString environmentFolder(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    // The XDG rules ignore relative values.
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) {
        return withoutTrailingSlash(value);
    }
    return fallback;
}

}  // namespace

AppPaths AppPaths::fromEnvironment() {
    const QString home = withoutTrailingSlash(QDir::homePath());
    AppPaths paths;
    paths.applicationSupport =
        environmentFolder("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    paths.defaults = environmentFolder("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    paths.desktop =
        desktop.isEmpty() ? home + QStringLiteral("/Desktop") : withoutTrailingSlash(desktop);
    return paths;
}

AppPaths AppPaths::under(const QString& root) {
    const QString base = withoutTrailingSlash(root);
    return {base + QStringLiteral("/data"), base + QStringLiteral("/config"),
            base + QStringLiteral("/Desktop")};
}

}  // namespace pellucine

#include "diagnostics/ReportEnvironment.h"

#include <QDir>

#include "base/AppPaths.h"
#include "diagnostics/FileManagerRevealer.h"
#include "diagnostics/XdgMailComposer.h"

namespace pellucine::ReportProblem {

Environment Environment::standard(const AppPaths& paths, UrlOpener& urls,
                                  QNetworkAccessManager& network) {
    Environment environment;
    environment.desktopFolder = desktopFolderOf(paths.desktop, QDir::homePath());
    environment.reportsFolder = paths.programSupportFolder() + QStringLiteral("/reports");
    environment.network = &network;
    environment.mail = std::make_shared<XdgMailComposer>();
    environment.files = std::make_shared<FileManagerRevealer>(urls);
    environment.urls = &urls;
    return environment;
}

QString Environment::desktopFolderOf(const QString& desktop, const QString& home) {
    if (desktop.isEmpty() || QDir(desktop) == QDir(home)) {
        return {};
    }
    return desktop;
}

}  // namespace pellucine::ReportProblem

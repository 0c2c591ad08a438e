#include "platform/x11/X11Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>

namespace pellucine {

bool X11Shell::open(const QUrl& url) {
    if (!url.isValid() || url.scheme() == foreignSettingsScheme) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

QString X11Shell::executablePath() {
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    return appImage.isEmpty() ? QCoreApplication::applicationFilePath() : appImage;
}

QCoro::Task<void> X11Shell::openNewInstance() {
    const QString program = executablePath();
    if (program.isEmpty()) {
        throw ApplicationLaunchError(QStringLiteral("The program’s location is unknown."));
    }
    QProcess process;
    process.setProgram(program);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        throw ApplicationLaunchError(
            QStringLiteral("“%1” couldn’t be started: %2.").arg(program, process.errorString()));
    }
    co_return;
}

void X11Shell::terminate() {
    QCoreApplication::quit();
}

}  // namespace pellucine

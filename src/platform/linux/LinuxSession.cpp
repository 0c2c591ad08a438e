#include "platform/linux/LinuxSession.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <memory>
#include <utility>

namespace pellucine {

bool LinuxSession::open(const QUrl& url) {
    if (!url.isValid() || url.scheme() == foreignSettingsScheme) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

void LinuxSession::openOrReport(const QUrl& url, std::function<void()> failed) {
    if (!url.isValid() || url.scheme() == foreignSettingsScheme) {
        if (failed) {
            failed();
        }
        return;
    }
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url.toString(QUrl::FullyEncoded)});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    // Told once, whichever of the two signals comes.
    auto report = std::make_shared<std::function<void()>>(std::move(failed));
    const auto fail = [report] {
        if (*report) {
            std::exchange(*report, nullptr)();
        }
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, fail](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             fail();
                             opener->deleteLater();
                         }
                     });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, fail](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) {
                             fail();
                         }
                         opener->deleteLater();
                     });
    opener->start();
}

QString LinuxSession::executablePath() {
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    return appImage.isEmpty() ? QCoreApplication::applicationFilePath() : appImage;
}

QCoro::Task<void> LinuxSession::openNewInstance() {
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

void LinuxSession::terminate() {
    QCoreApplication::quit();
}

}  // namespace pellucine

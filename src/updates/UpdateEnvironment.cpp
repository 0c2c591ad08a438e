#include "updates/UpdateEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace pellucine {

UpdateEnvironment UpdateEnvironment::ofProcess() {
    const QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    const QString appImage = variables.value(QStringLiteral("APPIMAGE"));
    const QString path = appImage.isEmpty() ? QCoreApplication::applicationFilePath() : appImage;
    return {Bundle::main(), path, variables, isInstalledProgram(path)};
}

bool UpdateEnvironment::isInstalledProgram(const QString& executablePath) {
    const QFileInfo program(executablePath);
    const QDir bin = program.absoluteDir();
    if (executablePath.isEmpty() || bin.dirName() != QLatin1String("bin")) {
        return false;
    }
    return QFileInfo(bin.filePath(QStringLiteral("../share/") + installedAutostartEntry)).isFile();
}

std::optional<QString> UpdateEnvironment::testFeed() const {
    if (!variables.contains(testFeedVariable)) {
        return std::nullopt;
    }
    return variables.value(testFeedVariable);
}

std::optional<QString> UpdateEnvironment::bundleFeed() const {
    return Bundle::infoString(QStringLiteral("SUFeedURL"), bundle);
}

std::optional<QString> UpdateEnvironment::feed() const {
    const std::optional<QString> own = bundleFeed();
    return own ? own : testFeed();
}

UpdateSource UpdateEnvironment::updateSource() const {
    if (testFeed()) {
        return UpdateSource::feed;
    }
    if (installed) {
        return UpdateSource::packageManager;
    }
    return bundleFeed() ? UpdateSource::feed : UpdateSource::none;
}

bool UpdateEnvironment::canUpdateItself() const {
    return updateSource() == UpdateSource::feed;
}

bool UpdateEnvironment::wantsTestInstall() const {
    return testFeed().has_value() && variables.value(testInstallVariable) == QLatin1String("1");
}

QString UpdateEnvironment::currentVersion() const {
    return Bundle::infoString(QStringLiteral("CFBundleShortVersionString"), bundle)
        .value_or(QStringLiteral("0.0.0"));
}

QString UpdateEnvironment::buildVersion() const {
    return Bundle::infoString(QStringLiteral("CFBundleVersion"), bundle)
        .value_or(QStringLiteral("0"));
}

}  // namespace pellucine

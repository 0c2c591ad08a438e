#include "updates/UpdateEnvironment.h"

#include <QCoreApplication>

namespace pellucine {

UpdateEnvironment UpdateEnvironment::ofProcess() {
    const QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    const QString appImage = variables.value(QStringLiteral("APPIMAGE"));
    return {Bundle::main(), appImage.isEmpty() ? QCoreApplication::applicationFilePath() : appImage,
            variables};
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

bool UpdateEnvironment::canUpdateItself() const {
    if (testFeed()) {
        return true;
    }
    return bundleFeed().has_value() && executablePath.contains(applicationsFolder);
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

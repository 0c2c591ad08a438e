#include "diagnostics/ReportFacts.h"

#include <QFile>

#include "core/Bundle.h"
#include "platform/linux/HostProcess.h"

namespace pellucine::ReportProblem {

namespace {

QString infoText(const Bundle& bundle, const QString& key, const QString& fallback) {
    const QVariant value = bundle.infoDictionary().value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
}

const QString unknownMachine = QStringLiteral("this computer (model unknown)");

}  // namespace

Facts Facts::current() {
    return of(Bundle::main(), HostProcess().operatingSystemVersionString(), machineModel());
}

Facts Facts::of(const Bundle& bundle, QString systemVersion, QString machine) {
    QString identifier = infoText(bundle, QStringLiteral("CFBundleIdentifier"), {});
    if (identifier.isEmpty()) {
        identifier = QStringLiteral("unknown");
    }
    return {std::move(identifier),
            infoText(bundle, QStringLiteral("CFBundleShortVersionString"), QStringLiteral("?")),
            infoText(bundle, QStringLiteral("CFBundleVersion"), QStringLiteral("?")),
            std::move(systemVersion), std::move(machine)};
}

QString Facts::machineModel(const QStringList& sources) {
    for (const QString& source : sources) {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        // Firmware files are tiny; the cap keeps a strange one from being read whole.
        QString model = machineModelFrom(file.read(4096));
        if (model != unknownMachine) {
            return model;
        }
    }
    return unknownMachine;
}

QString Facts::machineModelFrom(const QByteArray& raw) {
    const qsizetype end = raw.indexOf('\0');
    const QString model = QString::fromUtf8(end < 0 ? raw : raw.first(end)).trimmed();
    return model.isEmpty() ? unknownMachine : model;
}

}  // namespace pellucine::ReportProblem

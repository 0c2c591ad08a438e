#include "diagnostics/DiagnosticsHost.h"

#include <QSysInfo>

#include "core/Bundle.h"
#include "core/FlightRecorder.h"
#include "platform/Desktop.h"

namespace pellucine {

DiagnosticsHost DiagnosticsHost::standard(Desktop& desktop, QString diagnosticsDirectory) {
    return {&Bundle::main(),
            [&desktop] { return desktop.process().operatingSystemVersionString(); },
            &DiagnosticsHost::machineArchitecture,
            [&desktop] { return static_cast<int>(desktop.screenLayout().screens().size()); },
            std::move(diagnosticsDirectory)};
}

QString DiagnosticsHost::machineArchitecture() {
    QString architecture = QSysInfo::currentCpuArchitecture();
    return architecture.isEmpty() ? QStringLiteral("unknown") : architecture;
}

QString DiagnosticsHost::logFilePath() const {
    return FlightRecorder::logFilePath(diagnosticsDirectory);
}

}  // namespace pellucine

#pragma once

#include <memory>

#include "coordination/ModelFixture.h"
#include "core/Bundle.h"
#include "core/FlightLogFile.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/SavePanel.h"
#include "support/QtPrinters.h"
#include "support/TempFolder.h"

namespace pellucine::testing {

// A save panel that answers at once with a fixed choice, keeping what it was asked.
struct ScriptedSavePanel : SavePanel {
    // None: the user cancels.
    std::optional<QString> answer;
    QList<Request> requests;

    void choose(const Request& request, Completion done) override {
        requests.append(request);
        done(answer);
    }
};

// The model on the simulated desktop with a diagnostics service over a scratch log folder, a
// fixed bundle, system and architecture, and two screens.
class DiagnosticsFixture : public ModelFixture {
  protected:
    DiagnosticsFixture() { makeModel(); }

    DiagnosticsHost host() {
        return {&bundle, [] { return QStringLiteral("Linux 6.1 (Test OS)"); },
                [] { return QStringLiteral("x86_64"); }, [this] { return displays; }, logFolder()};
    }
    DiagnosticsService& diagnostics() {
        if (!service) {
            service = std::make_unique<DiagnosticsService>(*model, host(), [this] { ++waits; });
        }
        return *service;
    }

    QString logFolder() const { return folder.path() + QStringLiteral("/diagnostics"); }
    QString logFile() const { return FlightRecorder::logFilePath(logFolder()); }
    void writeLog(const QByteArray& content) const { writeFile(logFile(), content); }

    TempFolder folder;
    Bundle bundle{{{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.3")},
                   {QStringLiteral("CFBundleVersion"), QStringLiteral("230")}},
                  {}};
    int displays = 2;
    // Waits for the event log.
    int waits = 0;
    ScriptedSavePanel panel;
    std::unique_ptr<DiagnosticsService> service;
};

}  // namespace pellucine::testing

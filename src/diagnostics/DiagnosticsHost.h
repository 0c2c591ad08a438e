#pragma once

#include <QString>
#include <functional>

namespace pellucine {

class Bundle;
class Desktop;

// Where the diagnostics read the program's bundle, the machine and the event log. The program
// builds one with `standard`; tests give their own.
struct DiagnosticsHost {
    const Bundle* bundle = nullptr;
    // The system's name and version on one line.
    std::function<QString()> systemVersion;
    // The processor architecture the program runs on.
    std::function<QString()> architecture;
    // Screens attached now.
    std::function<int()> displayCount;
    // The event log's folder; its "flight.jsonl" is read.
    QString diagnosticsDirectory;

    // The main bundle, and the system, screens and architecture of this machine. `desktop`
    // must outlive every use.
    static DiagnosticsHost standard(Desktop& desktop, QString diagnosticsDirectory);

    // The architecture of the processor the process runs on, as the kernel reports it
    // ("x86_64", "arm64", ...); never a value fixed at build time.
    static QString machineArchitecture();

    QString logFilePath() const;
};

}  // namespace pellucine

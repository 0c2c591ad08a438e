#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace pellucine::testing {

// This process's environment with the home, runtime, data and configuration folders pointed at
// the given ones and no platform forced, so that the program started with it keeps to them. The
// program reads no memory pressure: other work on the machine must not empty its caches.
inline QProcessEnvironment programEnvironment(const QString& home, const QString& runtime,
                                              const QString& data, const QString& config) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XCTestConfigurationFilePath"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("PELLUCINE_MEMORY_PRESSURE"), QStringLiteral("/dev/null"));
    return environment;
}

// Programs started by a test; whatever still runs is killed when this goes.
class ProgramProcesses {
  public:
    ProgramProcesses() = default;
    ProgramProcesses(const ProgramProcesses&) = delete;
    ProgramProcesses& operator=(const ProgramProcesses&) = delete;
    ~ProgramProcesses() {
        for (const auto& process : processes_) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    // Started, or a failed expectation. `inChild` runs in the child before the program starts.
    QProcess& launch(const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& environment,
                     const std::function<void()>& inChild = {}) {
        auto& process = processes_.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(environment);
        if (inChild) {
            process->setChildProcessModifier(inChild);
        }
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return *process;
    }

  private:
    std::vector<std::unique_ptr<QProcess>> processes_;
};

}  // namespace pellucine::testing

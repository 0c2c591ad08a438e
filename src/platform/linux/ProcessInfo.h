#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace pellucine {

// What the process table says about a client's process.
class ProcessInfo {
  public:
    // The largest limit the kernel allows for process ids.
    static constexpr qint32 kernelPidCeiling = 4194304;

    // `procRoot` is the process file system ("/proc"; a folder of the same shape in tests).
    explicit ProcessInfo(QString procRoot = QStringLiteral("/proc"))
        : procRoot_(std::move(procRoot)) {}

    // The Flatpak application id of a sandboxed process: the [Application] name of its
    // .flatpak-info, else the id in its "app-flatpak-<id>-<number>.scope" control group.
    std::optional<QString> flatpakId(qint32 pid) const;
    // The executable's path.
    std::optional<QString> executablePath(qint32 pid) const;
    bool isRunning(qint32 pid) const;
    // The kernel's limit for process ids (kernel/pid_max): every id is below it. The ceiling
    // when it cannot be read.
    qint32 pidLimit() const;
    // Whether a client may run as `pid`: an id below `limit` other than 0 and 1 (the first
    // process, never a client).
    static bool isPlausiblePid(qint64 pid, qint32 limit);

  private:
    QString processPath(qint32 pid, const QString& leaf) const;

    QString procRoot_;
};

}  // namespace pellucine

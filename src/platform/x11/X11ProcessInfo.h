#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace pellucine {

// What the process table says about a client's process.
class X11ProcessInfo {
  public:
    // `procRoot` is the process file system ("/proc"; a folder of the same shape in tests).
    explicit X11ProcessInfo(QString procRoot = QStringLiteral("/proc"))
        : procRoot_(std::move(procRoot)) {}

    // The Flatpak application id of a sandboxed process: the [Application] name of its
    // .flatpak-info, else the id in its "app-flatpak-<id>-<number>.scope" control group.
    std::optional<QString> flatpakId(qint32 pid) const;
    // The executable's path.
    std::optional<QString> executablePath(qint32 pid) const;
    bool isRunning(qint32 pid) const;

  private:
    QString processPath(qint32 pid, const QString& leaf) const;

    QString procRoot_;
};

}  // namespace pellucine

#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <optional>

#include "base/FileDescriptor.h"

namespace pellucine {

// The signals by which the system or the user asks the process to end (SIGTERM, SIGINT and
// SIGHUP), heard on the main thread instead of ending the process at once, so that it can quit
// through its ordinary steps. A signal the process was started ignoring stays ignored. While one
// exists it handles them; destroying it restores the earlier handlers. One at a time. Main
// thread.
class TerminationSignals final : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the signals could not be taken; they then end the process as before.
    bool isActive() const { return notifier_ != nullptr; }

  signals:
    // Once for each signal received, in order.
    void terminationRequested(int signal);

  private:
    void read();

    std::optional<FileDescriptor> readEnd_;
    std::optional<FileDescriptor> writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace pellucine

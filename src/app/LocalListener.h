#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/FileDescriptor.h"

namespace pellucine {

// A Unix stream socket listening at a path, readable and writable by the user alone. Accepting
// never stops for good: when the process is out of descriptors, a spare one kept for that is
// freed for a moment so the waiting connection can be taken off the queue and closed. Main
// thread.
class LocalListener final : public QObject {
    Q_OBJECT

  public:
    // Receives each accepted connection's descriptor (non-blocking, close-on-exec) and owns
    // it from then on.
    using Accepted = std::function<void(int descriptor)>;

    explicit LocalListener(Accepted accepted, QObject* parent = nullptr);
    ~LocalListener() override;

    // Listens at `path`, replacing whatever file is there. The reason when it cannot.
    std::optional<QString> listen(const QString& path);
    bool isListening() const { return socket_ != nullptr; }
    // Stops listening and removes the socket file.
    void close();

    // Connections dropped because the process was out of descriptors.
    int droppedForLackOfDescriptors() const { return dropped_; }

  private:
    void acceptPending();
    void dropOne();

    Accepted accepted_;
    QString path_;
    std::unique_ptr<FileDescriptor> socket_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<FileDescriptor> spare_;
    int dropped_ = 0;
};

}  // namespace pellucine

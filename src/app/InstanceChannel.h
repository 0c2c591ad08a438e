#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

#include "app/InstanceMessage.h"
#include "app/LocalListener.h"
#include "base/Scheduler.h"

class QLocalSocket;

namespace pellucine {

// One running instance per user. The first launch holds a lock file and listens on a local
// socket, both in the user's runtime folder; a later launch hands its links (or, without links,
// a request to come forward) to it over the socket and ends. A lock or socket left behind by an
// instance that was killed is taken over. The running instance serves a bounded number of
// connections at once and closes one that has not sent a whole message in time; at the bound, a
// new connection takes the place of the oldest one that is waiting for bytes, so connections
// that stay idle, or reconnect as fast as they are closed, cannot hold it shut against a launch
// that speaks at once. A launch whose links the running instance dropped fails. Main thread.
class InstanceChannel final : public QObject {
    Q_OBJECT

  public:
    enum class Role {
        // This process is the running instance.
        primary,
        // Another instance runs and took the links.
        forwarded,
        // Another instance runs but refused or dropped the links, or did not answer.
        failed,
    };

    struct Claim {
        Role role = Role::primary;
        // What went wrong: for a primary, why later launches cannot reach it.
        std::optional<QString> problem;
    };

    static constexpr QLatin1String socketName{"pellucine.socket"};
    static constexpr QLatin1String lockName{"pellucine.lock"};

    struct Limits {
        // A connection that has not sent a whole message by then is closed.
        Duration messageTime = std::chrono::milliseconds(1500);
        // Connections served at once; at the bound, a new one takes the place of the oldest that
        // has nothing unread and no whole message, or is closed when none has.
        int connections = 64;
    };

    // `runtimeFolder` must exist and belong to the user alone. `scheduler` times connections.
    InstanceChannel(QString runtimeFolder, Scheduler& scheduler, Limits limits,
                    QObject* parent = nullptr);
    InstanceChannel(QString runtimeFolder, Scheduler& scheduler, QObject* parent = nullptr)
        : InstanceChannel(std::move(runtimeFolder), scheduler, Limits{}, parent) {}
    ~InstanceChannel() override;

    // The user's runtime folder ($XDG_RUNTIME_DIR, or a private folder Qt makes in its place).
    static QString userRuntimeFolder();

    QString socketPath() const;
    QString lockPath() const;

    // Becomes the running instance, or hands `links` to the one that runs, trying for at most
    // `patience` while that one is still starting.
    Claim claim(const QStringList& links,
                std::chrono::milliseconds patience = std::chrono::seconds(5));

    // Takes each link a later launch hands to the running instance, in the order it gave them;
    // false when the link was dropped. The launch succeeds only when all were taken.
    using LinkHandler = std::function<bool(const QString& text)>;
    void setLinkHandler(LinkHandler handler) { linkHandler_ = std::move(handler); }

  signals:
    // Emitted by the running instance when a later launch had no links.
    void reopenRequested();

  public:
    // Connections being served now.
    int openConnections() const { return static_cast<int>(connections_.size()); }

  private:
    enum class Delivery { delivered, refused, dropped, unreachable };

    struct LaterDeleter {
        void operator()(QObject* object) const;
    };
    struct Connection {
        std::unique_ptr<QLocalSocket, LaterDeleter> socket;
        InstanceMessageReader reader;
        ScopedWork deadline;
        // Order of arrival.
        quint64 serial = 0;
    };

    Claim becomePrimary();
    Delivery deliver(const QByteArray& message, int timeoutMs) const;
    void accept(int descriptor);
    // Ends the oldest connection that is waiting for bytes; false when none is.
    bool makeRoom();
    void read(QLocalSocket* socket);
    void end(QLocalSocket* socket);

    QString folder_;
    Scheduler& scheduler_;
    Limits limits_;
    QLockFile lock_;
    LocalListener listener_;
    std::unordered_map<QLocalSocket*, Connection> connections_;
    quint64 accepted_ = 0;
    LinkHandler linkHandler_;
};

}  // namespace pellucine

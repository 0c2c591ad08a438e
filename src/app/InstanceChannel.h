#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace pellucine {

// One running instance per user. The first launch holds a lock file and listens on a local
// socket, both in the user's runtime folder; a later launch hands its links (or, without links,
// a request to come forward) to it over the socket and ends. A lock or socket left behind by an
// instance that was killed is taken over. Main thread.
class InstanceChannel final : public QObject {
    Q_OBJECT

  public:
    enum class Role {
        // This process is the running instance.
        primary,
        // Another instance runs and took the links.
        forwarded,
        // Another instance runs but refused the links or did not answer.
        failed,
    };

    struct Claim {
        Role role = Role::primary;
        // What went wrong: for a primary, why later launches cannot reach it.
        std::optional<QString> problem;
    };

    static constexpr QLatin1String socketName{"pellucine.socket"};
    static constexpr QLatin1String lockName{"pellucine.lock"};

    // `runtimeFolder` must exist and belong to the user alone.
    explicit InstanceChannel(QString runtimeFolder, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The user's runtime folder ($XDG_RUNTIME_DIR, or a private folder Qt makes in its place).
    static QString userRuntimeFolder();

    QString socketPath() const;
    QString lockPath() const;

    // Becomes the running instance, or hands `links` to the one that runs, trying for at most
    // `patience` while that one is still starting.
    Claim claim(const QStringList& links,
                std::chrono::milliseconds patience = std::chrono::seconds(5));

  signals:
    // Emitted by the running instance, in the order a later launch gave them.
    void linkReceived(const QString& text);
    void reopenRequested();

  private:
    enum class Delivery { delivered, refused, unreachable };

    Claim becomePrimary();
    Delivery deliver(const QByteArray& message, int timeoutMs) const;
    void accept();

    QString folder_;
    QLockFile lock_;
    QLocalServer server_;
};

}  // namespace pellucine

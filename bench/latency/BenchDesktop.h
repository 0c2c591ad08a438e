#pragma once

#include <QByteArray>
#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace pellucine {

// Xvfb and openbox on a free display, client windows of three X applications, and the program
// itself with a home of its own, all stopped with the desktop. Each client has a background
// colour of its own and sits outside the middle of the screen, where the program's panels show,
// so that a colour seen on a panel can only come from the picture of its window.
class BenchDesktop {
  public:
    BenchDesktop();
    ~BenchDesktop();
    BenchDesktop(const BenchDesktop&) = delete;
    BenchDesktop& operator=(const BenchDesktop&) = delete;

    // Starts Xvfb and openbox; false with a message on standard error when either fails.
    bool start();
    QByteArray displayName() const { return displayName_; }

    // Starts client number `index` (an xterm, an xlogo or an xclock in turn).
    void addClient(int index);
    static QColor colourOf(int index);
    // Ends the last `count` clients started.
    void stopClients(int count);
    // The client processes started so far, by process id, with their colours.
    struct Client {
        qint64 processIdentifier = 0;
        QColor colour;
    };
    QList<Client> clients() const;

    // Starts the program as after a completed welcome; its process id, or none.
    std::optional<qint64> startProgram();
    // Whether the program has said that its event loop waited for the first time.
    bool programIdle() const;
    double millisecondsSinceProgramStart() const;
    // Whether the program's event log has a line holding every one of `parts`.
    bool logHas(const QList<QByteArray>& parts) const;
    // The program's resident and peak resident memory in KiB, from /proc; 0 when unknown.
    qint64 residentKiB(const char* field = "VmRSS:") const;
    static qint64 residentKiBOf(qint64 processIdentifier, const char* field = "VmRSS:");

    // An empty Qt widgets program on this desktop: the time from its start to its idle event
    // loop, and its resident memory once idle.
    struct Reference {
        double startMilliseconds = 0;
        qint64 residentKiB = 0;
        // The part of it that is the program's own: neither file pages nor shared memory.
        qint64 anonymousKiB = 0;
    };
    std::optional<Reference> runEmptyQtProgram();

    // How often each thread of a process went to sleep so far (its voluntary context
    // switches), by thread ("name (id)"): each sleep ends in a wake-up. Nothing when the process
    // is gone.
    static std::optional<QHash<QString, qint64>> sleepsOf(qint64 processIdentifier);
    // The wake-ups between two readings by thread: a thread's new sleeps, every sleep of a thread
    // started meanwhile, and one for each thread that ended (it woke to end).
    static QHash<QString, qint64> wakeUpsBetween(const QHash<QString, qint64>& before,
                                                 const QHash<QString, qint64>& after);
    // The wake-ups over `seconds` of the program and of an empty Qt program started beside it,
    // both idle, counted from `settleSeconds` after the empty program is up; -1 for one that
    // could not be measured.
    struct WakeUps {
        qint64 program = -1;
        qint64 emptyQt = -1;
        // The program's threads that woke, with how often: "name (id) count, ...".
        QString programThreads;
    };
    WakeUps idleWakeUps(int seconds, int settleSeconds);

  private:
    QProcess& launch(const QString& program, const QStringList& arguments);
    static void end(QProcess& process);

    QTemporaryDir scratch_;
    QByteArray displayName_;
    QProcessEnvironment environment_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> windowManager_;
    std::vector<std::unique_ptr<QProcess>> clients_;
    QList<QColor> colours_;
    std::unique_ptr<QProcess> program_;
    QElapsedTimer programClock_;
};

}  // namespace pellucine

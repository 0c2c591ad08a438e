#include "latency/BenchDesktop.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QPoint>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <numeric>

namespace pellucine {

namespace {

constexpr int startTimeoutMs = 15000;

// Slots of 110 x 150 pixels in three columns on either side of a 1280 x 800 screen.
QPoint slotOf(int index) {
    const int column = index % 6;
    const int row = (index / 6) % 5;
    const int x = column < 3 ? column * 110 : 950 + (column - 3) * 110;
    return {x, 10 + row * 155};
}

}  // namespace

BenchDesktop::BenchDesktop() : environment_(QProcessEnvironment::systemEnvironment()) {
    const QString root = scratch_.path();
    for (const char* folder : {"home", "config/pellucine", "data", "run"}) {
        QDir().mkpath(root + QLatin1Char('/') + QLatin1String(folder));
    }
    QFile::setPermissions(root + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment_.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/home/.cache"));
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/run"));
    environment_.remove(QStringLiteral("QT_QPA_PLATFORM"));
}

BenchDesktop::~BenchDesktop() {
    // The program first, so that it never sees its desktop go.
    std::vector<QProcess*> order{program_.get()};
    for (const auto& client : clients_) {
        order.push_back(client.get());
    }
    order.push_back(windowManager_.get());
    order.push_back(server_.get());
    for (QProcess* process : order) {
        if (process != nullptr) {
            end(*process);
        }
    }
}

void BenchDesktop::end(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
}

void BenchDesktop::stopClients(int count) {
    for (int i = 0; i < count && !clients_.empty(); ++i) {
        end(*clients_.back());
        clients_.pop_back();
        colours_.removeLast();
    }
}

QProcess& BenchDesktop::launch(const QString& program, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment_);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, arguments);
    process->waitForStarted(startTimeoutMs);
    clients_.push_back(std::move(process));
    return *clients_.back();
}

bool BenchDesktop::start() {
    server_ = std::make_unique<QProcess>();
    // Xvfb writes the display it chose once it accepts connections.
    server_->start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                    QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x800x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                    QStringLiteral("+extension"), QStringLiteral("Composite")});
    QByteArray number;
    while (!number.contains('\n') && server_->waitForReadyRead(startTimeoutMs)) {
        number += server_->readAllStandardOutput();
    }
    if (number.trimmed().isEmpty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return false;
    }
    displayName_ = ":" + number.trimmed();
    environment_.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(displayName_));

    windowManager_ = std::make_unique<QProcess>();
    windowManager_->setProcessEnvironment(environment_);
    windowManager_->setStandardOutputFile(QProcess::nullDevice());
    windowManager_->setStandardErrorFile(QProcess::nullDevice());
    windowManager_->start(QStringLiteral("openbox"), {});
    if (!windowManager_->waitForStarted(startTimeoutMs)) {
        std::fprintf(stderr, "openbox did not start\n");
        return false;
    }
    return true;
}

QColor BenchDesktop::colourOf(int index) {
    // Four levels a channel, never grey: neighbours differ by 64 in at least one channel.
    static const QList<QColor> palette = [] {
        QList<QColor> colours;
        for (int i = 0; i < 64; ++i) {
            const int r = 0x30 + 0x40 * (i % 4);
            const int g = 0x30 + 0x40 * ((i / 4) % 4);
            const int b = 0x30 + 0x40 * (i / 16);
            if (r != g || g != b) {
                colours.append(QColor(r, g, b));
            }
        }
        return colours;
    }();
    return palette[index % palette.size()];
}

void BenchDesktop::addClient(int index) {
    const QColor colour = colourOf(index);
    const QPoint at = slotOf(index);
    const QString background = colour.name();
    const QString position = QStringLiteral("+%1+%2").arg(at.x()).arg(at.y());
    switch (index % 3) {
        case 0:
            launch(
                QStringLiteral("xterm"),
                {QStringLiteral("-T"), QStringLiteral("bench-%1").arg(index), QStringLiteral("-bg"),
                 background, QStringLiteral("-geometry"), QStringLiteral("14x7") + position,
                 QStringLiteral("-e"), QStringLiteral("/bin/sh")});
            break;
        case 1:
            launch(QStringLiteral("xlogo"),
                   {QStringLiteral("-bg"), background, QStringLiteral("-geometry"),
                    QStringLiteral("100x110") + position});
            break;
        default:
            launch(QStringLiteral("xclock"),
                   {QStringLiteral("-bg"), background, QStringLiteral("-geometry"),
                    QStringLiteral("100x110") + position});
            break;
    }
    colours_.append(colour);
}

QList<BenchDesktop::Client> BenchDesktop::clients() const {
    QList<Client> all;
    for (std::size_t i = 0; i < clients_.size(); ++i) {
        all.append({clients_[i]->processId(), colours_[static_cast<qsizetype>(i)]});
    }
    return all;
}

std::optional<qint64> BenchDesktop::startProgram() {
    QFile settings(scratch_.path() + QStringLiteral("/config/pellucine/pellucine.conf"));
    if (!settings.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    settings.write("[General]\nhasCompletedTaskSwitcherOnboarding=true\n");
    settings.close();
    program_ = std::make_unique<QProcess>();
    QProcessEnvironment environment = environment_;
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("pellucine.startup.info=true"));
    program_->setProcessEnvironment(environment);
    program_->setStandardOutputFile(scratch_.path() + QStringLiteral("/program.log"));
    program_->setStandardErrorFile(scratch_.path() + QStringLiteral("/program.log"));
    // Another build of the program may be measured in its place.
    const QString path = qEnvironmentVariable("PELLUCINE_BENCH_PROGRAM", PELLUCINE_PROGRAM);
    programClock_.start();
    program_->start(path, {});
    if (!program_->waitForStarted(startTimeoutMs)) {
        return std::nullopt;
    }
    return program_->processId();
}

bool BenchDesktop::logHas(const QList<QByteArray>& parts) const {
    QFile log(scratch_.path() + QStringLiteral("/data/pellucine/diagnostics/flight.jsonl"));
    if (!log.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : log.readAll().split('\n')) {
        if (std::all_of(parts.begin(), parts.end(),
                        [&](const QByteArray& part) { return line.contains(part); })) {
            return true;
        }
    }
    return false;
}

bool BenchDesktop::programIdle() const {
    QFile log(scratch_.path() + QStringLiteral("/program.log"));
    return log.open(QIODevice::ReadOnly) && log.readAll().contains("idle after launch");
}

double BenchDesktop::millisecondsSinceProgramStart() const {
    return static_cast<double>(programClock_.nsecsElapsed()) / 1e6;
}

std::optional<BenchDesktop::Reference> BenchDesktop::runEmptyQtProgram() {
    QProcess program;
    program.setProcessEnvironment(environment_);
    program.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(EMPTY_QT_PROGRAM), {});
    QByteArray output;
    while (!output.contains("idle") && program.waitForReadyRead(startTimeoutMs)) {
        output += program.readAllStandardOutput();
    }
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::optional<Reference> reference;
    if (output.contains("idle")) {
        // As the program's idle figure: once the first turns of the loop are over.
        QThread::msleep(500);
        reference = Reference{elapsed, residentKiBOf(program.processId()),
                              residentKiBOf(program.processId(), "RssAnon:")};
    }
    end(program);
    return reference;
}

std::optional<QHash<QString, qint64>> BenchDesktop::sleepsOf(qint64 processIdentifier) {
    const QString tasks = QStringLiteral("/proc/%1/task").arg(processIdentifier);
    const QStringList threads = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty()) {
        return std::nullopt;
    }
    QHash<QString, qint64> sleeps;
    for (const QString& thread : threads) {
        QFile status(tasks + QLatin1Char('/') + thread + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly)) {
            continue;
        }
        QString name;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Name:")) {
                name = QString::fromUtf8(line.mid(qstrlen("Name:")).trimmed());
            } else if (line.startsWith("voluntary_ctxt_switches:")) {
                sleeps.insert(QStringLiteral("%1 (%2)").arg(name, thread),
                              line.mid(qstrlen("voluntary_ctxt_switches:")).trimmed().toLongLong());
            }
        }
    }
    return sleeps;
}

QHash<QString, qint64> BenchDesktop::wakeUpsBetween(const QHash<QString, qint64>& before,
                                                    const QHash<QString, qint64>& after) {
    QHash<QString, qint64> wakeUps;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (const qint64 count = it.value() - before.value(it.key(), 0); count != 0) {
            wakeUps.insert(it.key(), count);
        }
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key())) {
            wakeUps.insert(it.key() + QStringLiteral(", ended"), 1);
        }
    }
    return wakeUps;
}

BenchDesktop::WakeUps BenchDesktop::idleWakeUps(int seconds, int settleSeconds) {
    QProcess empty;
    empty.setProcessEnvironment(environment_);
    empty.setStandardErrorFile(QProcess::nullDevice());
    empty.start(QStringLiteral(EMPTY_QT_PROGRAM), {});
    QByteArray output;
    while (!output.contains("idle") && empty.waitForReadyRead(startTimeoutMs)) {
        output += empty.readAllStandardOutput();
    }
    // The empty program's window coming is a change the program follows (and so is what it did
    // before): the count begins once what that set going has had time to end.
    QThread::sleep(settleSeconds);
    const qint64 programPid = program_ ? program_->processId() : 0;
    const qint64 emptyPid = output.contains("idle") ? empty.processId() : 0;
    const auto programBefore = programPid != 0 ? sleepsOf(programPid) : std::nullopt;
    const auto emptyBefore = emptyPid != 0 ? sleepsOf(emptyPid) : std::nullopt;
    QThread::sleep(seconds);
    const auto programAfter = programPid != 0 ? sleepsOf(programPid) : std::nullopt;
    const auto emptyAfter = emptyPid != 0 ? sleepsOf(emptyPid) : std::nullopt;
    end(empty);
    const auto total = [](const QHash<QString, qint64>& byThread) {
        return std::accumulate(byThread.begin(), byThread.end(), qint64(0));
    };
    WakeUps wakeUps;
    if (programBefore && programAfter) {
        const QHash<QString, qint64> byThread = wakeUpsBetween(*programBefore, *programAfter);
        wakeUps.program = total(byThread);
        QStringList threads;
        for (auto it = byThread.begin(); it != byThread.end(); ++it) {
            threads << it.key() + QLatin1Char(' ') + QString::number(it.value());
        }
        threads.sort();
        wakeUps.programThreads = threads.join(QStringLiteral(", "));
    }
    if (emptyBefore && emptyAfter) {
        wakeUps.emptyQt = total(wakeUpsBetween(*emptyBefore, *emptyAfter));
    }
    return wakeUps;
}

qint64 BenchDesktop::residentKiB(const char* field) const {
    return program_ ? residentKiBOf(program_->processId(), field) : 0;
}

qint64 BenchDesktop::residentKiBOf(qint64 processIdentifier, const char* field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(processIdentifier));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return 0;
}

}  // namespace pellucine

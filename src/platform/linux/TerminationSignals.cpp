#include "platform/linux/TerminationSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace pellucine {

namespace {

constexpr std::array<int, 3> handledSignals{SIGTERM, SIGINT, SIGHUP};

// Where the handler writes; -1 while no instance listens. Read by the handler only.
std::atomic<int> signalWriteEnd{-1};
std::array<struct sigaction, handledSignals.size()> earlierActions{};

// Async-signal-safe: one write of the signal's number.
void onSignal(int signal) {
    const int savedErrno = errno;
    const int fd = signalWriteEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    std::array<int, 2> ends{-1, -1};
    if (signalWriteEnd.load() >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends.data()) != 0) {
        return;
    }
    readEnd_.emplace(ends[0]);
    writeEnd_.emplace(ends[1]);
    signalWriteEnd.store(ends[1]);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        ::sigaction(handledSignals[i], nullptr, &earlierActions[i]);
        // One ignored from the start (a background job's SIGINT, SIGHUP under nohup) stays so.
        if (earlierActions[i].sa_handler != SIG_IGN) {
            ::sigaction(handledSignals[i], &action, nullptr);
        }
    }
    notifier_ = std::make_unique<QSocketNotifier>(ends[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::read);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) {
        return;
    }
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        ::sigaction(handledSignals[i], &earlierActions[i], nullptr);
    }
    signalWriteEnd.store(-1);
}

void TerminationSignals::read() {
    std::array<unsigned char, 16> received{};
    while (true) {
        const ssize_t count = ::read(readEnd_->get(), received.data(), received.size());
        if (count <= 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            emit terminationRequested(received[static_cast<std::size_t>(i)]);
        }
    }
}

}  // namespace pellucine

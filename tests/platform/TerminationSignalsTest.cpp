#include <gtest/gtest.h>

#include <QCoreApplication>
#include <csignal>

#include "platform/TerminationSignals.h"

namespace pellucine {
namespace {

// Delivers what the handler wrote; the notifier is ready as soon as a byte is there.
QList<int> deliver(TerminationSignals& signals_, int expected) {
    QList<int> received;
    QObject::connect(&signals_, &TerminationSignals::terminationRequested,
                     [&received](int signal) { received << signal; });
    for (int turn = 0; turn < 100 && received.size() < expected; ++turn) {
        QCoreApplication::processEvents();
    }
    return received;
}

TEST(TerminationSignalsTest, SignalsThatWouldEndTheProcessArriveInOrderOnTheEventLoop) {
    TerminationSignals termination;
    ASSERT_TRUE(termination.isActive());
    // A second one cannot take the signals from the first.
    EXPECT_FALSE(TerminationSignals().isActive());
    ASSERT_EQ(std::raise(SIGHUP), 0);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_EQ(std::raise(SIGINT), 0);
    EXPECT_EQ(deliver(termination, 3), (QList<int>{SIGHUP, SIGTERM, SIGINT}));
}

TEST(TerminationSignalsTest, EndingRestoresTheEarlierHandlers) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction earlier {};
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &earlier), 0);
    { TerminationSignals termination; }
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    // Taken again afterwards.
    EXPECT_TRUE(TerminationSignals().isActive());
    ::sigaction(SIGHUP, &earlier, nullptr);
}

}  // namespace
}  // namespace pellucine

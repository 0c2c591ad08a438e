#include <gtest/gtest.h>

#include <QCoreApplication>
#include <csignal>

#include "platform/linux/TerminationSignals.h"

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

TEST(TerminationSignalsTest, AnIgnoredSignalStaysIgnoredAndEndingRestoresTheEarlierHandlers) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction earlier {};
    ASSERT_EQ(::sigaction(SIGINT, &ignore, &earlier), 0);
    {
        TerminationSignals termination;
        ASSERT_EQ(std::raise(SIGINT), 0);
        ASSERT_EQ(std::raise(SIGTERM), 0);
        EXPECT_EQ(deliver(termination, 1), QList<int>{SIGTERM});
    }
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
    ::sigaction(SIGINT, &earlier, nullptr);
    // Taken again afterwards.
    EXPECT_TRUE(TerminationSignals().isActive());
}

}  // namespace
}  // namespace pellucine

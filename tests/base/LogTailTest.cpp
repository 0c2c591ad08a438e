#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "base/LogTail.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

// The lines that count, split front to back: what reading from the end must agree with.
QList<QByteArray> splitLines(const QByteArray& content, qsizetype maximumLineLength) {
    QList<QByteArray> lines;
    for (const QByteArray& line : content.split('\n')) {
        if (!line.isEmpty() && line.size() <= maximumLineLength && LogTail::isValidUtf8(line)) {
            lines.append(line);
        }
    }
    return lines;
}

class LogTailTest : public ::testing::Test {
  protected:
    QString write(const QByteArray& content) {
        const QString path = folder_.file(QStringLiteral("log"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(content), content.size());
        return path;
    }

    testing::TempFolder folder_;
};

TEST_F(LogTailTest, EveryBlockSizeAndCountAgreesWithASplitFromTheFront) {
    const QByteArray content =
        "first\n\nsecond\r\n\xff\xfe torn utf-8\nthird is longer than ten\n"
        "caf\xc3\xa9\n\n\nlast without a line feed";
    const QString path = write(content);
    for (qsizetype block = 1; block <= content.size() + 1; ++block) {
        for (qsizetype count = 0; count <= 8; ++count) {
            const LogTail tail{block, 10};
            const QList<QByteArray> all = splitLines(content, 10);
            EXPECT_EQ(tail.lastLines(path, count),
                      all.mid(std::max<qsizetype>(0, all.size() - count)))
                << "block " << block << ", count " << count;
        }
    }
}

TEST_F(LogTailTest, TheLineLengthLimitIsInclusiveAcrossBlocks) {
    const QByteArray atLimit(100, 'a');
    const QByteArray overLimit(101, 'b');
    const QString path = write(atLimit + '\n' + overLimit + '\n' + overLimit + "\nshort");
    for (qsizetype block : {7, 64, 100, 101, 4096}) {
        EXPECT_EQ(LogTail({block, 100}).lastLines(path, 3),
                  (QList<QByteArray>{atLimit, QByteArray("short")}))
            << "block " << block;
    }
}

TEST_F(LogTailTest, TheByteBudgetStopsBeforeTheLineThatWouldPassIt) {
    const QString path = write("aaaa\nbbbb\n\xff\ncccc\ndddd\n");
    for (qsizetype block : {1, 3, 4096}) {
        LogTail tail{block, 10};
        tail.maximumTotalBytes = 14;
        EXPECT_EQ(tail.lastLines(path, 10), (QList<QByteArray>{"cccc", "dddd"}))
            << "block " << block;
        tail.maximumTotalBytes = 15;
        EXPECT_EQ(tail.lastLines(path, 10), (QList<QByteArray>{"bbbb", "cccc", "dddd"}))
            << "block " << block;
        tail.maximumTotalBytes = 4;
        EXPECT_EQ(tail.lastLines(path, 10), QList<QByteArray>{}) << "block " << block;
    }
}

TEST_F(LogTailTest, WhatIsNotARegularFileReadsAsNothingWithoutWaiting) {
    const QString pipe = folder_.file(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(LogTail{}.lastLines(pipe, 10));
    EXPECT_FALSE(LogTail{}.lastLines(folder_.path(), 10));
    EXPECT_FALSE(LogTail{}.lastLines(folder_.file(QStringLiteral("missing")), 10));
    EXPECT_EQ(LogTail{}.lastLines(write({}), 10), QList<QByteArray>{});
    EXPECT_EQ(LogTail{}.lastLines(write("line\n"), -1), QList<QByteArray>{});
}

}  // namespace
}  // namespace pellucine

#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

namespace pellucine::testing {

// Raw access to a log file, for arranging and inspecting it byte for byte.
inline void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(content), content.size());
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One valid event line numbered `n` (no line feed).
inline QByteArray eventLine(int n, const QByteArray& event = "old") {
    return R"({"at":"2026-03-14T09:26:53.589Z","event":")" + event + R"(","reason":")" +
           QByteArray::number(n) + R"("})";
}

// `count` valid lines numbered from 1, each ending in a line feed.
inline QByteArray eventLines(int count, const QByteArray& event = "old") {
    QByteArray out;
    for (int n = 1; n <= count; ++n) {
        out += eventLine(n, event) + '\n';
    }
    return out;
}

// The lines of a file without their line feeds; a final line feed adds no empty line.
inline QList<QByteArray> fileLines(const QString& path) {
    QList<QByteArray> lines = readFile(path).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace pellucine::testing

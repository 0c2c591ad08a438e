#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Ends the run with the failed property: libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                               \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, \
                         #condition);                                                       \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)

namespace pellucine::fuzz {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A folder for the whole run, removed at exit.
inline const QString& scratchFolder() {
    static const QTemporaryDir folder;
    static const QString path = folder.path();
    return path;
}

// Replaces the file's content, creating its folder.
inline void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(content) == content.size());
}

}  // namespace pellucine::fuzz

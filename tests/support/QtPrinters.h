#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages for the Qt values tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

inline void PrintTo(const QDateTime& date, std::ostream* out) {
    *out << date.toString(Qt::ISODateWithMs).toStdString();
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace pellucine {

// The desktop entry that has the session start a program at login, as plain text in the
// desktop entry format (a "[Desktop Entry]" group of Key=Value lines).
struct AutostartEntry {
    QString name;
    // The absolute path of the program, started without arguments.
    QString executable;
    // Set when the entry hides one of the same name in a system folder: the program is not
    // started.
    bool hidden = false;
    // Cleared by the desktop's startup-applications tool when the user switched the entry off.
    bool autostartEnabled = true;

    // Whether the text reads back as this entry: not when the name begins or ends with white
    // space that no escape can keep (a vertical tab, a no-break or an em space), which readers
    // trim.
    bool isWritable() const;
    QByteArray toText() const;
    // Reads the "Desktop Entry" group: none when the text has no such group. Keys it does not
    // have keep the values above; the executable is the first word of "Exec".
    static std::optional<AutostartEntry> fromText(const QByteArray& text);

    // One word of an "Exec" value: quoted when it holds a reserved character, with the
    // characters that quoting leaves special escaped and "%" doubled. String escaping comes
    // on top (see escapeString).
    static QString quoteExecArgument(const QString& argument);
    // The words of an "Exec" value after string unescaping; field codes (%f, %u, …) are
    // dropped. None for an unterminated quote or an unknown field code.
    static std::optional<QStringList> splitExecValue(const QString& value);

    // A value of type string: backslash, newline, tab and carriage return escaped, and a
    // leading or trailing space written as "\s".
    static QString escapeString(const QString& value);
    static QString unescapeString(const QString& value);

    friend bool operator==(const AutostartEntry&, const AutostartEntry&) = default;
};

}  // namespace pellucine

#include "platform/linux/AutostartEntry.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/linux/DesktopEntryGroup.h"

namespace pellucine {

namespace {

namespace key {
constexpr QLatin1String type{"Type"};
constexpr QLatin1String name{"Name"};
constexpr QLatin1String exec{"Exec"};
constexpr QLatin1String terminal{"Terminal"};
constexpr QLatin1String hidden{"Hidden"};
constexpr QLatin1String autostartEnabled{"X-GNOME-Autostart-enabled"};
}  // namespace key

// The string escapes: the letter after the backslash and the character it stands for.
constexpr std::array<std::pair<char16_t, char16_t>, 5> stringEscapes{
    {{u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}, {u'r', u'\r'}, {u'\\', u'\\'}}};

// Characters that make a word need quotes. Any white space does: readers trim it from the
// ends of a value, and quotes keep it.
bool isReserved(QChar c) {
    static const QString reserved = QStringLiteral("\"'\\><~|&;$*?#()`");
    return c.isSpace() || reserved.contains(c);
}

// Characters that stay special inside quotes and take a backslash there.
bool isEscapedInQuotes(QChar c) {
    return c == u'"' || c == u'`' || c == u'$' || c == u'\\';
}

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

std::optional<bool> boolValue(const QString& text) {
    if (text == u"true" || text == u"1") {
        return true;
    }
    if (text == u"false" || text == u"0") {
        return false;
    }
    return std::nullopt;
}

}  // namespace

QString AutostartEntry::escapeString(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        // A space keeps its escape for either end, where readers would trim it.
        const bool atEnd = i == 0 || i == value.size() - 1;
        const auto escape =
            std::find_if(stringEscapes.begin(), stringEscapes.end(),
                         [&](const auto& e) { return c == e.second && (c != u' ' || atEnd); });
        if (escape != stringEscapes.end()) {
            out += u'\\';
            out += QChar(escape->first);
        } else {
            out += c;
        }
    }
    return out;
}

QString AutostartEntry::unescapeString(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        const auto escape = std::find_if(stringEscapes.begin(), stringEscapes.end(),
                                         [next](const auto& e) { return next == e.first; });
        if (escape != stringEscapes.end()) {
            out += QChar(escape->second);
        } else {
            // Not a string escape: left for the quoting rules.
            out += c;
            out += next;
        }
    }
    return out;
}

QString AutostartEntry::quoteExecArgument(const QString& argument) {
    QString doubled = argument;
    doubled.replace(u'%', QStringLiteral("%%"));
    if (!argument.isEmpty() && std::none_of(argument.begin(), argument.end(), isReserved)) {
        return doubled;
    }
    QString out = QStringLiteral("\"");
    for (const QChar c : doubled) {
        if (isEscapedInQuotes(c)) {
            out += u'\\';
        }
        out += c;
    }
    out += u'"';
    return out;
}

std::optional<QStringList> AutostartEntry::splitExecValue(const QString& value) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < value.size() && isEscapedInQuotes(value.at(i + 1))) {
                word += value.at(++i);
            } else if (c == u'%' && i + 1 < value.size() && value.at(i + 1) == u'%') {
                word += value.at(++i);
            } else {
                word += c;
            }
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
            continue;
        }
        if (c == u'%') {
            if (i + 1 == value.size()) {
                return std::nullopt;
            }
            const QChar code = value.at(++i);
            if (code == u'%') {
                word += code;
                inWord = true;
            } else if (!QStringLiteral("fFuUdDnNickvm").contains(code)) {
                return std::nullopt;
            }
            // A field code stands for what the launcher passes: nothing here.
            continue;
        }
        inWord = true;
        if (c == u'"') {
            quoted = true;
        } else {
            word += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (inWord) {
        words << word;
    }
    return words;
}

bool AutostartEntry::isWritable() const {
    const auto unescapable = [](QChar c) {
        return c.isSpace() && c != u' ' && c != u'\t' && c != u'\n' && c != u'\r';
    };
    return name.isEmpty() || (!unescapable(name.front()) && !unescapable(name.back()));
}

QByteArray AutostartEntry::toText() const {
    QString text = QStringLiteral("[Desktop Entry]\n");
    const auto line = [&text](QLatin1String k, const QString& value) {
        text += k + QLatin1Char('=') + value + QLatin1Char('\n');
    };
    line(key::type, QStringLiteral("Application"));
    line(key::name, escapeString(name));
    line(key::exec, escapeString(quoteExecArgument(executable)));
    line(key::terminal, boolText(false));
    line(key::hidden, boolText(hidden));
    line(key::autostartEnabled, boolText(autostartEnabled));
    return text.toUtf8();
}

std::optional<AutostartEntry> AutostartEntry::fromText(const QByteArray& text) {
    const auto keys = readDesktopEntryGroup(text);
    if (!keys) {
        return std::nullopt;
    }
    AutostartEntry entry;
    entry.name = unescapeString(keys->value(key::name));
    if (const auto words = splitExecValue(unescapeString(keys->value(key::exec)));
        words && !words->isEmpty()) {
        entry.executable = words->first();
    }
    entry.hidden = boolValue(keys->value(key::hidden)).value_or(false);
    entry.autostartEnabled = boolValue(keys->value(key::autostartEnabled)).value_or(true);
    return entry;
}

}  // namespace pellucine

#include "preferences/SettingsFileFormat.h"

#include <QDataStream>
#include <QIODevice>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

namespace pellucine {

namespace {

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The letter of a control character's escape ("\\n" for a line feed), 0 for other characters.
char escapeLetter(char16_t c) {
    static constexpr std::array<std::pair<char16_t, char>, 7> letters{{
        {u'\a', 'a'},
        {u'\b', 'b'},
        {u'\f', 'f'},
        {u'\n', 'n'},
        {u'\r', 'r'},
        {u'\t', 't'},
        {u'\v', 'v'},
    }};
    for (const auto& [control, letter] : letters) {
        if (c == control) {
            return letter;
        }
    }
    return 0;
}

QString hex(uint value, int width) {
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}

// Letters, digits and "_-." stay; a group separator becomes a backslash; anything else is
// written as %XX or %UXXXX.
QString escapedKey(const QString& key) {
    QString out;
    out.reserve(key.size());
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            out += u'\\';
        } else if ((c < 0x80 && qc.isLetterOrNumber()) || c == u'_' || c == u'-' || c == u'.') {
            out += qc;
        } else if (c <= 0xFF) {
            out += u'%' + hex(c, 2);
        } else {
            out += QStringLiteral("%U") + hex(c, 4);
        }
    }
    return out;
}

// Whether QDataStream can write the value: a failed write only leaves a warning.
bool isStreamable(const QVariant& value) {
    if (value.typeId() == QMetaType::QVariantList) {
        const QVariantList items = value.toList();
        return std::all_of(items.begin(), items.end(), isStreamable);
    }
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap items = value.toMap();
        return std::all_of(items.begin(), items.end(), isStreamable);
    }
    return value.metaType().hasRegisteredDataStreamOperators();
}

// The value in QDataStream's form, as Latin-1 text in the notation `tag`.
std::optional<QString> streamedText(const QVariant& value, QLatin1String tag,
                                    QDataStream::Version version) {
    if (!isStreamable(value)) {
        return std::nullopt;
    }
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(version);
    stream << value;
    if (stream.status() != QDataStream::Ok) {
        return std::nullopt;
    }
    return tag + QString::fromLatin1(bytes) + u')';
}

// One value as text before escaping; a leading "@" marks the notations.
std::optional<QString> valueText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
            return QStringLiteral("@Invalid()");
        case QMetaType::QByteArray:
            return QStringLiteral("@ByteArray(") + QString::fromLatin1(value.toByteArray()) + u')';
        case QMetaType::QString:
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float: {
            const QString text = value.toString();
            if (text.contains(QChar::Null)) {
                return QStringLiteral("@String(") + text + u')';
            }
            return text.startsWith(u'@') ? u'@' + text : text;
        }
        case QMetaType::QRect: {
            const QRect r = value.toRect();
            return QStringLiteral("@Rect(%1 %2 %3 %4)")
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
        }
        case QMetaType::QSize: {
            const QSize s = value.toSize();
            return QStringLiteral("@Size(%1 %2)").arg(s.width()).arg(s.height());
        }
        case QMetaType::QPoint: {
            const QPoint p = value.toPoint();
            return QStringLiteral("@Point(%1 %2)").arg(p.x()).arg(p.y());
        }
        case QMetaType::QDateTime:
            // The old stream form would lose the time zone.
            return streamedText(value, QLatin1String("@DateTime("), QDataStream::Qt_5_6);
        default:
            return streamedText(value, QLatin1String("@Variant("), QDataStream::Qt_4_0);
    }
}

// Appends `text` escaped for a value. Data notations keep every character to one byte (Latin-1,
// everything above ASCII escaped); other text is written as UTF-8. The value is quoted when it
// holds a separator or begins or ends with a space.
void appendEscaped(const QString& text, QString& out) {
    const bool bytes = text.startsWith(QLatin1String("@ByteArray(")) ||
                       text.startsWith(QLatin1String("@Variant(")) ||
                       text.startsWith(QLatin1String("@DateTime("));
    const qsizetype start = out.size();
    bool quoted = false;
    // A hexadecimal escape takes every hex digit that follows: the next digit is escaped too.
    bool escapeNextHexDigit = false;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u';' || c == u',' || c == u'=') {
            quoted = true;
        }
        if (escapeNextHexDigit && isHexDigit(c)) {
            out += QStringLiteral("\\x") + QString::number(c, 16);
            continue;
        }
        escapeNextHexDigit = false;
        if (c == u'\0') {
            out += QStringLiteral("\\0");
            escapeNextHexDigit = true;
        } else if (const char letter = escapeLetter(c)) {
            out += u'\\';
            out += QLatin1Char(letter);
        } else if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += qc;
        } else if (c <= 0x1F || (c >= 0x7F && bytes)) {
            out += QStringLiteral("\\x") + QString::number(c, 16);
            escapeNextHexDigit = true;
        } else {
            out += qc;
        }
    }
    if (quoted || (out.size() > start && (out.at(start) == u' ' || out.back() == u' '))) {
        out.insert(start, u'"');
        out += u'"';
    }
}

bool appendValue(const QVariant& value, QString& out) {
    const bool list = value.typeId() == QMetaType::QStringList ||
                      (value.typeId() == QMetaType::QVariantList && value.toList().size() != 1);
    if (!list) {
        const std::optional<QString> text = valueText(value);
        if (text) {
            appendEscaped(*text, out);
        }
        return text.has_value();
    }
    const QVariantList items = value.toList();
    if (items.isEmpty()) {
        // An empty list reads back as nothing, which converts to an empty list.
        out += QStringLiteral("@Invalid()");
        return true;
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        const std::optional<QString> text = valueText(items[i]);
        if (!text) {
            return false;
        }
        if (i > 0) {
            out += QStringLiteral(", ");
        }
        appendEscaped(*text, out);
    }
    return true;
}

QString sectionHeader(const QString& section) {
    const QString escaped = escapedKey(section);
    if (escaped.isEmpty()) {
        return QStringLiteral("[General]");
    }
    // "General" stands for the keys without a group.
    if (escaped.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("[%General]");
    }
    return u'[' + escaped + u']';
}

}  // namespace

std::optional<QByteArray> encodeSettingsFile(const QMap<QString, QVariant>& values) {
    // Section, then the rest of the key, each in key order.
    QMap<QString, QMap<QString, QVariant>> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        if (slash < 0) {
            sections[QString()].insert(it.key(), it.value());
        } else {
            sections[it.key().left(slash)].insert(it.key().mid(slash + 1), it.value());
        }
    }
    QString text;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        if (section != sections.cbegin()) {
            text += u'\n';
        }
        text += sectionHeader(section.key()) + u'\n';
        for (auto it = section->cbegin(); it != section->cend(); ++it) {
            text += escapedKey(it.key()) + u'=';
            if (!appendValue(it.value(), text)) {
                return std::nullopt;
            }
            text += u'\n';
        }
    }
    return text.toUtf8();
}

}  // namespace pellucine

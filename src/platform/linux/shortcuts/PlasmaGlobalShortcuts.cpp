#include "platform/linux/shortcuts/PlasmaGlobalShortcuts.h"

#include <QStringList>

#include "platform/linux/shortcuts/DesktopAccelerator.h"

namespace pellucine {

namespace {

const QString owner = QStringLiteral("KDE Plasma: ");

// A value as the configuration file escapes it: \s, \t, \n, \r, \\ and \xNN.
QString unescaped(QByteArrayView raw) {
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        const char c = raw[++i];
        switch (c) {
            case 's':
                out += ' ';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'x':
                if (i + 2 < raw.size()) {
                    bool ok = false;
                    const int value = raw.sliced(i + 1, 2).toByteArray().toInt(&ok, 16);
                    if (ok) {
                        out += char(value);
                        i += 2;
                        break;
                    }
                }
                out += "\\x";
                break;
            case '\\':
                out += '\\';
                break;
            default:
                // The list escape "\," stays for the list split below.
                out += '\\';
                out += c;
        }
    }
    return QString::fromUtf8(out);
}

// A list value: elements split at commas, "\," a comma and "\\" a backslash within one.
QStringList listOf(const QString& value) {
    QStringList out{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            out.last() += value[++i];
        } else if (value[i] == u',') {
            out << QString();
        } else {
            out.last() += value[i];
        }
    }
    return out;
}

}  // namespace

QList<DesktopShortcut> PlasmaGlobalShortcuts::parse(const QByteArray& rc) {
    struct Pending {
        QString actionName;
        QString shortcuts;
        bool launch;
    };
    QList<DesktopShortcut> out;
    QList<Pending> group;
    QString componentName;
    const auto finishGroup = [&] {
        for (const Pending& pending : std::as_const(group)) {
            const QString name =
                pending.launch && !componentName.isEmpty() ? componentName : pending.actionName;
            for (const QString& text : pending.shortcuts.split(u'\t', Qt::SkipEmptyParts)) {
                if (auto shortcut = DesktopAccelerator::fromQt(text)) {
                    shortcut->owner = owner + name;
                    out << *shortcut;
                }
            }
        }
        group.clear();
        componentName.clear();
    };
    for (const QByteArray& raw : rc.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[')) {
            finishGroup();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            continue;
        }
        QByteArray key = line.left(equals).trimmed();
        // Options such as "[$i]" after a key name.
        if (const qsizetype option = key.indexOf("[$"); option > 0) {
            key = key.left(option);
        }
        const QString value = unescaped(QByteArrayView(line.mid(equals + 1).trimmed()));
        const QString name = unescaped(key);
        if (name == u"_k_friendly_name") {
            componentName = value;
            continue;
        }
        const QStringList fields = listOf(value);
        // Active shortcuts, default shortcuts, friendly name.
        const QString given = fields.mid(2).join(QLatin1Char(','));
        const QString friendly = given.isEmpty() ? name : given;
        group.append({friendly, fields.first(), name == u"_launch"});
    }
    finishGroup();
    return out;
}

}  // namespace pellucine

#include "platform/linux/shortcuts/XfceKeyboardShortcuts.h"

#include <QMap>
#include <QStringList>
#include <QXmlStreamReader>

#include "platform/linux/shortcuts/DesktopAccelerator.h"

namespace pellucine {

namespace {

struct Property {
    QString type;
    QString value;
};

// The properties of one channel file by path ("/xfwm4/custom/<Alt>Tab"); nothing for text
// that is not a channel file.
QMap<QString, Property> propertiesOf(const QByteArray& file) {
    QXmlStreamReader xml(file);
    QMap<QString, Property> out;
    QStringList path;
    bool inChannel = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!inChannel) {
                if (xml.name() != u"channel") {
                    return {};
                }
                inChannel = true;
                continue;
            }
            if (xml.name() != u"property") {
                xml.skipCurrentElement();
                continue;
            }
            const auto attributes = xml.attributes();
            path << attributes.value(QLatin1String("name")).toString();
            out.insert(QLatin1Char('/') + path.join(QLatin1Char('/')),
                       {attributes.value(QLatin1String("type")).toString(),
                        attributes.value(QLatin1String("value")).toString()});
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"property" &&
                   !path.isEmpty()) {
            path.removeLast();
        }
    }
    return xml.hasError() ? QMap<QString, Property>() : out;
}

// "cycle_windows_key" as "Cycle windows".
QString actionWords(QString action) {
    if (action.endsWith(QLatin1String("_key"))) {
        action.chop(4);
    }
    action.replace(QLatin1Char('_'), QLatin1Char(' '));
    if (!action.isEmpty()) {
        action[0] = action[0].toUpper();
    }
    return action;
}

}  // namespace

QList<DesktopShortcut> XfceKeyboardShortcuts::parse(const QList<QByteArray>& channelFiles) {
    QMap<QString, Property> properties;
    for (const QByteArray& file : channelFiles) {
        properties.insert(propertiesOf(file));
    }
    QList<DesktopShortcut> out;
    for (const QString& provider : {QStringLiteral("xfwm4"), QStringLiteral("commands")}) {
        const Property override =
            properties.value(QLatin1Char('/') + provider + QStringLiteral("/custom/override"));
        const bool custom = override.type == u"bool" && override.value == u"true";
        const QString base = QLatin1Char('/') + provider +
                             (custom ? QStringLiteral("/custom/") : QStringLiteral("/default/"));
        for (auto it = properties.lowerBound(base); it != properties.cend(); ++it) {
            if (!it.key().startsWith(base)) {
                break;
            }
            const QString accelerator = it.key().mid(base.size());
            if (accelerator.contains(QLatin1Char('/')) || it->type != u"string" ||
                it->value.trimmed().isEmpty()) {
                continue;
            }
            if (auto shortcut = DesktopAccelerator::fromGtk(accelerator)) {
                shortcut->owner = provider == u"xfwm4"
                                      ? QStringLiteral("Xfce: ") + actionWords(it->value)
                                      : QStringLiteral("Xfce: run ") + it->value.simplified();
                out << *shortcut;
            }
        }
    }
    return out;
}

}  // namespace pellucine

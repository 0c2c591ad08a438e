#include "platform/linux/shortcuts/GSettingsKeyBindings.h"

#include <QXmlStreamReader>

namespace pellucine {

namespace {

// The strings of a value of type "s" (one, unless empty) or "as".
std::optional<QStringList> stringsOf(const GVariantBytes& value) {
    if (value.type == "as") {
        return GVariantReader::stringArray(value.data);
    }
    if (value.type == "s") {
        const auto text = GVariantReader::string(value.data);
        if (!text) {
            return std::nullopt;
        }
        return text->isEmpty() ? QStringList() : QStringList{*text};
    }
    return std::nullopt;
}

QString words(const QString& key) {
    QString text = key;
    text.replace(QLatin1Char('-'), QLatin1Char(' '));
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

}  // namespace

QList<GSettingsKeyBindings::Binding> GSettingsKeyBindings::read(
    const GvdbTable& schema, const std::optional<GvdbTable>& user,
    const QHash<QString, QString>& summaries) {
    const auto pathValue = schema.value(QStringLiteral(".path"));
    const std::optional<QString> path = pathValue && pathValue->type == "s"
                                            ? GVariantReader::string(pathValue->data)
                                            : std::nullopt;
    QList<Binding> out;
    for (const QString& key : schema.keys()) {
        if (key.startsWith(QLatin1Char('.'))) {
            continue;
        }
        const auto info = schema.value(key);
        const auto fallback = info ? GVariantReader::firstMember(*info) : std::nullopt;
        if (!fallback || (fallback->type != "s" && fallback->type != "as")) {
            continue;
        }
        std::optional<QStringList> accelerators;
        if (user && path) {
            const auto own = user->value(*path + key);
            if (own && own->type == fallback->type) {
                accelerators = stringsOf(*own);
            }
        }
        if (!accelerators) {
            accelerators = stringsOf(*fallback);
        }
        // A key without a summary is named by its own words; one with no name at all is not a
        // binding anyone could be told about.
        const QString summary = summaries.value(key);
        const QString name = summary.isEmpty() ? words(key) : summary;
        // The desktop ignores what its schema marks so.
        if (accelerators && !accelerators->isEmpty() && !name.isEmpty() &&
            !name.startsWith(QLatin1String("DEPRECATED"))) {
            out.append({name, *accelerators});
        }
    }
    return out;
}

QList<GSettingsKeyBindings::Binding> GSettingsKeyBindings::readCustom(const GvdbTable& user,
                                                                      const QStringList& folders) {
    QList<Binding> out;
    for (QString folder : folders) {
        if (!folder.endsWith(QLatin1Char('/'))) {
            folder += QLatin1Char('/');
        }
        const auto name = user.value(folder + QStringLiteral("name"));
        const auto binding = user.value(folder + QStringLiteral("binding"));
        const auto text =
            name && name->type == "s" ? GVariantReader::string(name->data) : std::nullopt;
        const auto accelerators = binding ? stringsOf(*binding) : std::nullopt;
        if (text && !text->isEmpty() && accelerators && !accelerators->isEmpty()) {
            out.append({*text, *accelerators});
        }
    }
    return out;
}

QStringList GSettingsKeyBindings::userStrings(const GvdbTable& user, const QString& key) {
    const auto value = user.value(key);
    return value && value->type == "as"
               ? GVariantReader::stringArray(value->data).value_or(QStringList())
               : QStringList();
}

QHash<QString, QString> GSettingsKeyBindings::summaries(const QByteArray& schemaXml,
                                                        const QString& schemaId) {
    QXmlStreamReader xml(schemaXml);
    QHash<QString, QString> out;
    bool inSchema = false;
    QString key;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"schema") {
                inSchema = xml.attributes().value(QLatin1String("id")) == schemaId;
            } else if (inSchema && xml.name() == u"key") {
                key = xml.attributes().value(QLatin1String("name")).toString();
            } else if (inSchema && !key.isEmpty() && xml.name() == u"summary") {
                const QString summary =
                    xml.readElementText(QXmlStreamReader::SkipChildElements).simplified();
                if (!summary.isEmpty()) {
                    out.insert(key, summary);
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == u"schema") {
                inSchema = false;
            } else if (xml.name() == u"key") {
                key.clear();
            }
        }
    }
    return xml.hasError() ? QHash<QString, QString>() : out;
}

}  // namespace pellucine

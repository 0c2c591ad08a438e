#include "platform/linux/updater/AppcastParser.h"

#include <QXmlStreamReader>

#include "base/VersionComparator.h"

namespace pellucine {

using namespace Qt::Literals::StringLiterals;

namespace {

bool isAppcast(const QXmlStreamReader& reader) {
    return reader.namespaceUri() == AppcastParser::appcastNamespace;
}

bool isPlain(const QXmlStreamReader& reader, QLatin1String name) {
    return reader.namespaceUri().isEmpty() && reader.name() == name;
}

std::optional<QString> nonEmpty(QString text) {
    text = text.trimmed();
    return text.isEmpty() ? std::nullopt : std::optional<QString>(std::move(text));
}

std::optional<QString> appcastAttribute(const QXmlStreamAttributes& attributes,
                                        QLatin1String name) {
    if (!attributes.hasAttribute(AppcastParser::appcastNamespace, name)) {
        return std::nullopt;
    }
    return nonEmpty(attributes.value(AppcastParser::appcastNamespace, name).toString());
}

struct ItemFields {
    AppcastItem item;
    std::optional<QString> version;
    std::optional<QString> shortVersion;
    std::optional<QString> enclosureVersion;
    std::optional<QString> enclosureShortVersion;
};

}  // namespace

Appcast AppcastParser::parse(const QByteArray& data) const {
    if (data.size() > maximumFeedSize) {
        throw AppcastError(
            QStringLiteral("The update feed is larger than %1 bytes.").arg(maximumFeedSize));
    }
    QXmlStreamReader reader(data);
    const auto fail = [&reader](const QString& why) {
        return AppcastError(QStringLiteral("The update feed is not valid (line %1): %2")
                                .arg(reader.lineNumber())
                                .arg(why));
    };
    const auto resolve = [this](const QString& link) { return feedURL_.resolved(QUrl(link)); };

    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
        if (reader.tokenType() == QXmlStreamReader::DTD) {
            throw fail(QStringLiteral("document type declarations are not allowed"));
        }
    }
    if (reader.hasError()) {
        throw fail(reader.errorString());
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement || !isPlain(reader, "rss"_L1)) {
        throw fail(QStringLiteral("the document is not an RSS feed"));
    }

    Appcast appcast;
    const auto readItem = [&] {
        ItemFields fields;
        AppcastItem& item = fields.item;
        while (reader.readNextStartElement()) {
            if (isPlain(reader, "title"_L1)) {
                item.title = reader.readElementText(QXmlStreamReader::SkipChildElements);
            } else if (isPlain(reader, "enclosure"_L1)) {
                const QXmlStreamAttributes attributes = reader.attributes();
                if (const auto url = nonEmpty(attributes.value("url"_L1).toString())) {
                    item.fileURL = resolve(*url);
                }
                bool ok = false;
                const qint64 length = attributes.value("length"_L1).toLongLong(&ok);
                item.contentLength = ok && length > 0 ? length : 0;
                item.edSignature = appcastAttribute(attributes, "edSignature"_L1);
                fields.enclosureVersion = appcastAttribute(attributes, "version"_L1);
                fields.enclosureShortVersion =
                    appcastAttribute(attributes, "shortVersionString"_L1);
                reader.skipCurrentElement();
            } else if (isAppcast(reader)) {
                const QString name = reader.name().toString();
                const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements);
                if (name == "version"_L1) {
                    fields.version = nonEmpty(text);
                } else if (name == "shortVersionString"_L1) {
                    fields.shortVersion = nonEmpty(text);
                } else if (name == "channel"_L1) {
                    // An empty or unusual name stays a named channel, so it is never taken for
                    // the default one.
                    item.channel = text.trimmed();
                } else if (name == "minimumSystemVersion"_L1) {
                    item.minimumSystemVersion = nonEmpty(text);
                } else if (name == "maximumSystemVersion"_L1) {
                    item.maximumSystemVersion = nonEmpty(text);
                } else if (name == "releaseNotesLink"_L1) {
                    if (const auto link = nonEmpty(text)) {
                        item.releaseNotesURL = resolve(*link);
                    }
                }
            } else {
                reader.skipCurrentElement();
            }
        }
        const std::optional<QString> version =
            fields.version ? fields.version : fields.enclosureVersion;
        if (!version) {
            return;
        }
        item.versionString = *version;
        item.displayVersionString = fields.shortVersion            ? *fields.shortVersion
                                    : fields.enclosureShortVersion ? *fields.enclosureShortVersion
                                                                   : *version;
        item.minimumOperatingSystemVersionIsOK =
            !item.minimumSystemVersion ||
            compareVersions(*item.minimumSystemVersion, systemVersion_) <= 0;
        item.maximumOperatingSystemVersionIsOK =
            !item.maximumSystemVersion ||
            compareVersions(systemVersion_, *item.maximumSystemVersion) <= 0;
        appcast.items.append(std::move(item));
    };

    while (reader.readNextStartElement()) {
        if (!isPlain(reader, "channel"_L1)) {
            reader.skipCurrentElement();
            continue;
        }
        while (reader.readNextStartElement()) {
            if (isPlain(reader, "item"_L1)) {
                readItem();
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    // Anything after the root element is read too, so that trailing garbage is an error.
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        throw fail(reader.errorString());
    }
    return appcast;
}

}  // namespace pellucine

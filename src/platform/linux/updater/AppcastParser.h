#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include "base/Error.h"
#include "platform/AppcastItem.h"

namespace pellucine {

// An update feed that is not a readable RSS document.
class AppcastError final : public Error {
  public:
    using Error::Error;
    QString typeName() const override { return QStringLiteral("pellucine.AppcastError"); }
};

// Reads an update feed: RSS 2.0 whose releases carry their versions, channel, system range,
// signature and release notes in the appcast namespace. Elements are matched by namespace and
// local name, never by prefix. A release without a version is left out; a feed that is not
// well-formed RSS, declares a document type or exceeds the size limit throws AppcastError.
class AppcastParser {
  public:
    static constexpr QLatin1String appcastNamespace{
        "http://www.andymatuschak.org/xml-namespaces/sparkle"};
    static constexpr qint64 maximumFeedSize = 4 * 1024 * 1024;

    // `feedURL` resolves relative links; `systemVersion` is checked against each release's
    // system range.
    AppcastParser(QUrl feedURL, QString systemVersion)
        : feedURL_(std::move(feedURL)), systemVersion_(std::move(systemVersion)) {}

    Appcast parse(const QByteArray& data) const;

  private:
    QUrl feedURL_;
    QString systemVersion_;
};

}  // namespace pellucine

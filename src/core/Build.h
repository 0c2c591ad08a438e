#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <optional>

#include "core/Bundle.h"

namespace pellucine {

// Which build is running: the bundle's version and the build stamp (source revision, its
// subject line, commit time, branch and build time) from the bundle's "build-stamp.json",
// turned into short texts for display. Nothing here fails: what cannot be read takes a default.
class Build {
  public:
    struct Stamp {
        QString sha = QStringLiteral("unknown");
        QString subject = QStringLiteral("unknown");
        // ISO 8601.
        QString committed;
        QString branch = QStringLiteral("unknown");
        // ISO 8601.
        QString builtAt;

        // A JSON object with all five keys as strings (others are ignored); none otherwise.
        static std::optional<Stamp> fromJson(const QByteArray& data);

        friend bool operator==(const Stamp&, const Stamp&) = default;
    };

    // The stamp resource in the "Stamp" folder of the bundle's resources, else at their top;
    // the default stamp when neither can be read.
    static Stamp loadStamp(const Bundle& bundle);

    Build(Bundle bundle, Stamp stamp) : bundle_(std::move(bundle)), stamp_(std::move(stamp)) {}

    // The program's build; its stamp is read once, on first use, from any thread.
    static const Build& main();

    const Stamp& stamp() const { return stamp_; }
    // "CFBundleDisplayName", else "CFBundleName", else "This app".
    QString appName() const;
    // "CFBundleShortVersionString", else "0".
    QString version() const;
    const QString& sha() const { return stamp_.sha; }
    const QString& subject() const { return stamp_.subject; }
    const QString& branch() const { return stamp_.branch; }
    // A "+" ends the revision of a build made from uncommitted changes.
    bool shaHasPlusSuffix() const { return stamp_.sha.endsWith(QLatin1Char('+')); }
    std::optional<QDateTime> committedDate() const;
    std::optional<QDateTime> builtDate() const;
    // "v1.0.0 · 3f2a9c1".
    QString shortVersion() const;
    // "v1.0.0 · 3f2a9c1 · built Dec 7, 3:04 PM", or "… · built unknown".
    QString versionLine(const QLocale& locale = QLocale(),
                        const QTimeZone& zone = QTimeZone::systemTimeZone()) const;

    // Month abbreviation, day, hour and minute in the locale's way, or "unknown".
    static QString formattedDate(const std::optional<QDateTime>& date,
                                 const QLocale& locale = QLocale(),
                                 const QTimeZone& zone = QTimeZone::systemTimeZone());

  private:
    Bundle bundle_;
    Stamp stamp_;
};

}  // namespace pellucine

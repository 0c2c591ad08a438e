#include "settings/ExcludableApplications.h"

#include <QCollator>
#include <QSet>
#include <algorithm>

namespace pellucine::ExcludableApplications {

namespace {

QString sortKey(const RunningApplication& application) {
    return application.localizedName.value_or(application.bundleIdentifier.value_or(QString()));
}

}  // namespace

QList<RunningApplication> list(const QList<RunningApplication>& running,
                               const std::optional<QString>& ownIdentifier,
                               const QStringList& excluded) {
    const QSet<QString> left(excluded.begin(), excluded.end());
    QList<RunningApplication> kept;
    for (const RunningApplication& application : running) {
        if (application.activationPolicy != ActivationPolicy::regular ||
            !application.bundleIdentifier || application.bundleIdentifier == ownIdentifier ||
            left.contains(*application.bundleIdentifier)) {
            continue;
        }
        kept.append(application);
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(kept.begin(), kept.end(),
                     [&collator](const RunningApplication& a, const RunningApplication& b) {
                         return collator.compare(sortKey(a), sortKey(b)) < 0;
                     });
    return kept;
}

QString title(const RunningApplication& application) {
    return sortKey(application);
}

}  // namespace pellucine::ExcludableApplications

#include "settings/ExcludableApplications.h"

#include <QCollator>
#include <QSet>
#include <algorithm>

namespace pellucine::ExcludableApplications {

namespace {

QString sortKey(const RunningApplication& application) {
    return application.localizedName.value_or(application.bundleIdentifier.value_or(QString()));
}

bool isOwn(const RunningApplication& application, const Own& own) {
    return application.processIdentifier == own.processIdentifier ||
           (own.identifier && (application.bundleIdentifier == own.identifier ||
                               application.aliases.contains(*own.identifier)));
}

}  // namespace

QList<RunningApplication> list(const QList<RunningApplication>& running, const Own& own,
                               const QStringList& excluded) {
    QSet<QString> left(excluded.begin(), excluded.end());
    QList<RunningApplication> kept;
    for (const RunningApplication& application : running) {
        if (application.activationPolicy != ActivationPolicy::regular ||
            !application.bundleIdentifier || isOwn(application, own) ||
            left.contains(*application.bundleIdentifier)) {
            continue;
        }
        // Later processes of the same application are left out with the first.
        left.insert(*application.bundleIdentifier);
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

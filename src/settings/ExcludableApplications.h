#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/RunningApplication.h"

namespace pellucine {

namespace ExcludableApplications {

// The program itself, however the workspace names it.
struct Own {
    std::optional<QString> identifier;
    qint32 processIdentifier = 0;
};

// The running applications that can be left out of previews: regular ones with an identifier,
// once per identifier however many processes share it, never the program itself (its process,
// or its identifier as identifier or alias) and none left out already; ordered by name (else
// identifier) ignoring case; applications with equal names keep the workspace's order.
QList<RunningApplication> list(const QList<RunningApplication>& running, const Own& own,
                               const QStringList& excluded);

// The title an application has in the list: its name, else its identifier.
QString title(const RunningApplication& application);

}  // namespace ExcludableApplications
}  // namespace pellucine

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/RunningApplication.h"

namespace pellucine {

namespace ExcludableApplications {

// The running applications that can be left out of previews: regular ones with an identifier
// that is not the program's own and not left out already, ordered by name (else identifier)
// ignoring case; applications with equal names keep the workspace's order.
QList<RunningApplication> list(const QList<RunningApplication>& running,
                               const std::optional<QString>& ownIdentifier,
                               const QStringList& excluded);

// The title an application has in the list: its name, else its identifier.
QString title(const RunningApplication& application);

}  // namespace ExcludableApplications
}  // namespace pellucine

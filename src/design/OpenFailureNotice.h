#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace pellucine {

// Says that nothing on the desktop opened a folder, link or address, and offers what was to be
// opened for copying. Non-modal; it deletes itself when closed. Main thread.
namespace OpenFailureNotice {

inline constexpr QLatin1String objectName{"openFailure"};
inline const QString noBrowser = QStringLiteral("No web browser opened the link.");
inline const QString noFileManager = QStringLiteral("No file manager opened the folder.");

// `what` says what failed, `copyable` is the path or address, selectable and copied by its
// button. Returns the notice, shown near `near` (none: centred on the screen).
QWidget* show(QWidget* near, const QString& what, const QString& copyable);
// What an opener calls when nothing opened: shows the notice near `near`, or nothing once `near`
// is gone; centred on the screen when there is no `near`.
std::function<void()> whenNothingOpened(QWidget* near, const QString& what,
                                        const QString& copyable);

}  // namespace OpenFailureNotice
}  // namespace pellucine

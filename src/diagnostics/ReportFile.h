#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace pellucine::ReportProblem {

struct Environment;

// Where saved reports go and what they are called.
namespace ReportFile {

// `appName`-report-yyyy-MM-dd-HHmm.txt for `localTime`, in ASCII digits on the 24-hour clock
// whatever the user's locale; a `copy` above 1 adds "-<copy>" before the extension.
QString name(const QString& appName, const QDateTime& localTime, int copy = 1);

// Writes `content` in UTF-8 to a new file in the desktop folder, or in the reports folder when
// there is no desktop folder or it cannot be written. A name already taken (an earlier report in
// the same minute) is never replaced: the next free copy number is used. Returns the file's
// path, or none when nothing could be written.
std::optional<QString> save(const QString& content, const QString& appName,
                            const Environment& environment);

// How texts say where `file` is: "on your Desktop" in the desktop folder, else "in " and the
// file's folder.
QString place(const QString& file, const Environment& environment);
bool isOnDesktop(const QString& file, const Environment& environment);
// Where the next save is going to put a file, said as `place` says it: the desktop folder when
// it is a folder that can be written, else the reports folder.
QString nextPlace(const Environment& environment);

}  // namespace ReportFile
}  // namespace pellucine::ReportProblem

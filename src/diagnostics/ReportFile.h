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

// Where a save put the report, or why it could not.
struct Saved {
    // The file's path; none when nothing could be written.
    std::optional<QString> path;
    // Without a path: the folder tried last and the system's reason ("/home/u/Desktop: No space
    // left on device").
    QString failure;
};

// Writes `content` in UTF-8 to a new file in the desktop folder, or in the reports folder when
// there is no desktop folder or it cannot be written. A name already taken (an earlier report in
// the same minute) is never replaced: the next free copy number is used.
Saved save(const QString& content, const QString& appName, const Environment& environment);

// How texts say where `file` is: "on your Desktop" in the desktop folder, else "in " and the
// file's folder.
QString place(const QString& file, const Environment& environment);
bool isOnDesktop(const QString& file, const Environment& environment);
// Where the next save is going to put a file, said as `place` says it: the desktop folder when
// it is a folder that can be written, else the reports folder.
QString nextPlace(const Environment& environment);

}  // namespace ReportFile
}  // namespace pellucine::ReportProblem

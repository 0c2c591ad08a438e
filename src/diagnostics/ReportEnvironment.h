#pragma once

#include <QString>
#include <QTimeZone>
#include <chrono>
#include <functional>
#include <memory>

#include "base/Clock.h"
#include "diagnostics/FileRevealing.h"
#include "diagnostics/MailComposing.h"
#include "diagnostics/ReportFacts.h"

class QNetworkAccessManager;

namespace pellucine {
class Appearance;
struct AppPaths;
class UrlOpener;
}  // namespace pellucine

namespace pellucine::ReportProblem {

// What the report module needs of the machine: time, folders, the network and the desktop's
// mail, file and link handlers. The program builds one with `standard`; tests build their own.
struct Environment {
    static constexpr std::chrono::milliseconds defaultTimeout{20000};

    const WallClock* clock = &systemWallClock();
    // The zone of the time in a report's file name.
    QTimeZone timeZone = QTimeZone::systemTimeZone();
    // The user's desktop folder; empty when the user has none.
    QString desktopFolder;
    // Where reports are saved when there is no desktop folder; made when first needed.
    QString reportsFolder;
    std::function<Facts()> facts = &Facts::current;
    // Not owned; none means every send fails as unreachable.
    QNetworkAccessManager* network = nullptr;
    // The longest wait for the service without any progress.
    std::chrono::milliseconds timeout = defaultTimeout;
    // None when the desktop offers no way to attach a file to a new mail.
    std::shared_ptr<MailComposing> mail;
    std::shared_ptr<FileRevealing> files;
    // Not owned.
    UrlOpener* urls = nullptr;
    // The scheme the report window follows; not owned. None draws it light.
    const Appearance* appearance = nullptr;

    // The running user's folders, "xdg-email" for mail and the file manager for revealing.
    // `urls` and `network` must outlive every report.
    static Environment standard(const AppPaths& paths, UrlOpener& urls,
                                QNetworkAccessManager& network);
    // The desktop folder to use: none when `desktop` is empty or is the home folder itself,
    // which the desktop's user-folder settings use to turn a folder off.
    static QString desktopFolderOf(const QString& desktop, const QString& home);
};

}  // namespace pellucine::ReportProblem

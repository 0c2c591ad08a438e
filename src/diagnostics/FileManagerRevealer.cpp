#include "diagnostics/FileManagerRevealer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

#include "platform/UrlOpener.h"

namespace pellucine {

void FileManagerRevealer::reveal(const QString& file, std::function<void()> failed) {
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(file).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        urls_.openOrReport(folder, std::move(failed));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    UrlOpener* urls = &urls_;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [urls, folder, failed = std::move(failed)](QDBusPendingCallWatcher* finished) {
                         if (finished->isError()) {
                             urls->openOrReport(folder, failed);
                         }
                         finished->deleteLater();
                     });
}

}  // namespace pellucine

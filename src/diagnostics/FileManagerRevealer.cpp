#include "diagnostics/FileManagerRevealer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

#include "platform/UrlOpener.h"

namespace pellucine {

void FileManagerRevealer::reveal(const QString& file) {
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(file).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        urls_.open(folder);
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
                     [urls, folder](QDBusPendingCallWatcher* finished) {
                         if (finished->isError()) {
                             urls->open(folder);
                         }
                         finished->deleteLater();
                     });
}

}  // namespace pellucine

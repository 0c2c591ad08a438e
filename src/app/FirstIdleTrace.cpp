#include "app/FirstIdleTrace.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <memory>

namespace pellucine {

namespace {

Q_LOGGING_CATEGORY(startupLog, "pellucine.startup", QtWarningMsg)

}  // namespace

void traceFirstIdle() {
    QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher();
    if (dispatcher == nullptr || !startupLog().isInfoEnabled()) {
        return;
    }
    // The loop signals its first wait before it runs the launch work already queued, so listen
    // only from a call queued after that work.
    QTimer::singleShot(0, dispatcher, [dispatcher] {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                       dispatcher, [connection] {
                                           QObject::disconnect(*connection);
                                           qCInfo(startupLog, "idle after launch");
                                       });
    });
}

}  // namespace pellucine

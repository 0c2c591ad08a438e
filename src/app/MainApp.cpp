#include "app/MainApp.h"

#include <QGuiApplication>
#include <QTimer>

#include "app/AppDelegate.h"
#include "app/AppEnvironment.h"

namespace pellucine {

MainApp::MainApp(std::unique_ptr<AppDelegate> delegate, QObject* parent)
    : QObject(parent), delegate_(std::move(delegate)) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    AppDelegate* target = delegate_.get();
    // Launching has finished once the event loop runs.
    QTimer::singleShot(0, target, &AppDelegate::applicationDidFinishLaunching);
    connect(qGuiApp, &QCoreApplication::aboutToQuit, target,
            &AppDelegate::applicationWillTerminate);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, target,
            [target](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    target->applicationDidBecomeActive();
                }
            });
}

MainApp::~MainApp() = default;

AppModel& MainApp::model() {
    return AppEnvironment::shared()->model();
}

}  // namespace pellucine

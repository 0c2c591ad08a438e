#pragma once

#include <QObject>

namespace pellucine {

// The program's own requests to its shell, posted by other parts (window search, the settings
// window) and heard by the delegate once launch has subscribed. Main thread.
class ShellNotifications final : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    void postNeedsPermissions() { emit needsPermissions(); }
    void postShowDiagnostics() { emit showDiagnostics(); }

  signals:
    // A feature could not run for lack of a permission: the welcome window at its
    // permissions step.
    void needsPermissions();
    void showDiagnostics();
};

}  // namespace pellucine

#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <functional>

#include "platform/DesktopAppearance.h"

namespace pellucine {

// The freedesktop settings portal's org.freedesktop.appearance color-scheme: read once, then
// followed through the portal's SettingChanged signal. Says nothing where no portal answers on
// the bus. Main thread.
class PortalSchemeWatch final : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void(SchemePreference)>;

    // `changed` hears every value read, the first included.
    PortalSchemeWatch(QDBusConnection bus, Handler changed);

  private slots:
    void settingChanged(const QDBusMessage& message);

  private:
    void read(const QString& method);
    void take(const QVariant& value);

    QDBusConnection bus_;
    Handler changed_;
};

}  // namespace pellucine

#include "platform/linux/PortalSchemeWatch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include "platform/linux/DesktopSchemeReadings.h"

namespace pellucine {

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
const QString group = QStringLiteral("org.freedesktop.appearance");
const QString key = QStringLiteral("color-scheme");

// The portal's older Read wraps the value in one more variant than ReadOne.
QVariant unwrapped(QVariant value) {
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = qvariant_cast<QDBusVariant>(value).variant();
    }
    return value;
}

}  // namespace

PortalSchemeWatch::PortalSchemeWatch(QDBusConnection bus, Handler changed)
    : bus_(std::move(bus)), changed_(std::move(changed)) {
    if (!bus_.isConnected()) {
        return;
    }
    bus_.connect(service, path, interface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QDBusMessage)));
    read(QStringLiteral("ReadOne"));
}

void PortalSchemeWatch::read(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call << group << key;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *finished;
                if (!reply.isError()) {
                    take(reply.argumentAt<0>().variant());
                } else if (method == QStringLiteral("ReadOne") &&
                           reply.error().type() == QDBusError::UnknownMethod) {
                    // Portals before version 2 have only Read.
                    read(QStringLiteral("Read"));
                }
            });
}

void PortalSchemeWatch::settingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == group &&
        arguments[1].toString() == key) {
        take(arguments[2]);
    }
}

void PortalSchemeWatch::take(const QVariant& value) {
    const QVariant plain = unwrapped(value);
    bool ok = false;
    const uint number = plain.toUInt(&ok);
    changed_(ok ? schemeOfPortalValue(number) : SchemePreference::none);
}

}  // namespace pellucine

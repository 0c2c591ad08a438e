#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "platform/linux/PortalSchemeWatch.h"

namespace pellucine {
namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

// A settings portal of version 2 and later, which answers ReadOne.
class Portal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

  public:
    uint value = 1;

  public slots:
    QDBusVariant ReadOne(const QString& group, const QString& key) {
        return QDBusVariant(group == appearance && key == colorScheme ? QVariant(value)
                                                                      : QVariant(QString()));
    }

  signals:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

// An older portal: only Read, whose value comes wrapped in one more variant.
class OldPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

  public slots:
    QDBusVariant Read(const QString&, const QString&) {
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant(2U))));
    }
};

// A session bus of the test's own, with the portal on one connection and the watch on another.
class PortalSchemeWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            GTEST_SKIP() << "no dbus-daemon";
        }
        bus_.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address=1")});
        ASSERT_TRUE(bus_.waitForReadyRead(10000)) << "dbus-daemon did not start";
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    }
    void TearDown() override {
        for (const QString& name : connections_) {
            QDBusConnection::disconnectFromBus(name);
        }
        bus_.kill();
        bus_.waitForFinished();
    }
    QDBusConnection connection(const QString& name) {
        connections_.append(name);
        return QDBusConnection::connectToBus(address_, name);
    }
    bool publish(QObject& portal) {
        QDBusConnection side = connection(QStringLiteral("portal"));
        return side.registerObject(
                   portalPath, &portal,
                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
               side.registerService(portalService);
    }

    QList<SchemePreference> heard;

  private:
    QProcess bus_;
    QString address_;
    QStringList connections_;
};

TEST_F(PortalSchemeWatchTest, ReadsThePreferenceThenFollowsItsChangesOnly) {
    Portal portal;
    ASSERT_TRUE(publish(portal));
    PortalSchemeWatch watch(connection(QStringLiteral("watch")),
                            [this](SchemePreference value) { heard.append(value); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() == 1; }));
    EXPECT_EQ(heard.first(), SchemePreference::dark);

    emit portal.SettingChanged(appearance, QStringLiteral("accent-color"),
                               QDBusVariant(QVariant(2U)));
    emit portal.SettingChanged(appearance, colorScheme, QDBusVariant(QVariant(2U)));
    emit portal.SettingChanged(appearance, colorScheme, QDBusVariant(QVariant(0U)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() == 3; }));
    EXPECT_EQ(heard, (QList<SchemePreference>{SchemePreference::dark, SchemePreference::light,
                                              SchemePreference::none}));
}

TEST_F(PortalSchemeWatchTest, AnOlderPortalIsReadThroughRead) {
    OldPortal portal;
    ASSERT_TRUE(publish(portal));
    PortalSchemeWatch watch(connection(QStringLiteral("watch")),
                            [this](SchemePreference value) { heard.append(value); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard, QList<SchemePreference>{SchemePreference::light});
}

}  // namespace
}  // namespace pellucine

#include "PortalSchemeWatchTest.moc"

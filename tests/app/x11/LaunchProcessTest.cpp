#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "X11TestDesktop.h"
#include "base/AppPaths.h"
#include "base/RecordingEventLog.h"
#include "preferences/PreferenceStore.h"
#include "preferences/SettingsFileStore.h"
#include "support/ProgramProcesses.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using testing::X11TestDesktop;

// The program itself on the fixture's desktop, with its own runtime, data and configuration
// folders: what it records while it starts and quits, and the windows it shows.
class LaunchProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        ASSERT_TRUE(runtime.isValid() && home.isValid());
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        desktop = std::make_unique<X11TestDesktop>();
        environment = testing::programEnvironment(home.path(), runtime.path(),
                                                  paths.applicationSupport, paths.defaults);
    }

    QProcess& launch(const QStringList& arguments = {}) {
        return processes.launch(QStringLiteral(PELLUCINE_PROGRAM), arguments, environment);
    }

    // A later launch: the welcome flow was completed, and the synced record was last changed at
    // `modified`.
    void completeEarlierLaunch(const QDateTime& modified) {
        SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths));
        defaults.setValue(QStringLiteral("hasCompletedTaskSwitcherOnboarding"), true);
        RecordingEventLog events;
        PreferenceStore store(defaults, paths, systemWallClock(), events);
        PortablePreferences portable;
        portable.modifiedAt = modified;
        store.savePortablePreferences(portable);
    }
    QDateTime storedModification() const {
        SettingsFileStore defaults(SettingsFileStore::standardFilePath(paths));
        RecordingEventLog events;
        return PreferenceStore(defaults, paths, systemWallClock(), events)
            .loadPortablePreferences()
            .modifiedAt;
    }

    // The shell's own events in the log, in order.
    QStringList shellEvents() const {
        static const QStringList shell{"launch",
                                       "quit",
                                       "menu-bar-visibility",
                                       "dock-visibility",
                                       "deep-link",
                                       "onboarding-shown",
                                       "settings-opened",
                                       "permissions-missing-at-launch"};
        QFile log(paths.applicationSupport + QStringLiteral("/pellucine/diagnostics/flight.jsonl"));
        QStringList names;
        if (log.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : log.readAll().split('\n')) {
                const QString name =
                    QJsonDocument::fromJson(line).object().value("event").toString();
                if (shell.contains(name)) {
                    names << name;
                }
            }
        }
        return names;
    }
    bool eventsBecome(const QStringList& expected) const {
        const bool reached = X11TestDesktop::waitUntil([&] { return shellEvents() == expected; });
        EXPECT_TRUE(reached) << shellEvents().join(' ').toStdString();
        return reached;
    }
    // The client of the program with this title, once mapped.
    std::optional<xcb_window_t> shown(const QString& title) const {
        std::optional<xcb_window_t> window;
        X11TestDesktop::waitUntil([&] {
            window = desktop->findClient(title);
            return window && desktop->isViewable(*window);
        });
        return window;
    }
    // The sizes of the pictures the window offers as its icon (_NET_WM_ICON: width, height and
    // that many pixels, for each picture), each with whether any of its pixels shows.
    QList<std::pair<QSize, bool>> iconPictures(xcb_window_t window) const {
        xcb_connection_t* c = desktop->get();
        const auto cookie = xcb_get_property(c, 0, window, desktop->atom("_NET_WM_ICON"),
                                             XCB_ATOM_CARDINAL, 0, 1u << 20);
        QList<std::pair<QSize, bool>> pictures;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
        if (reply == nullptr) {
            return pictures;
        }
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        const qsizetype count = reply->format == 32 ? xcb_get_property_value_length(reply) / 4 : 0;
        for (qsizetype at = 0; at + 2 <= count;) {
            const qsizetype pixels = qsizetype(values[at]) * values[at + 1];
            if (pixels <= 0 || at + 2 + pixels > count) {
                break;
            }
            bool shows = false;
            for (qsizetype i = 0; i < pixels && !shows; ++i) {
                shows = qAlpha(values[at + 2 + i]) > 0;
            }
            pictures.append({QSize(int(values[at]), int(values[at + 1])), shows});
            at += 2 + pixels;
        }
        free(reply);
        return pictures;
    }
    static void expectCleanExit(QProcess& process) {
        // Waiting on a process that has already ended answers false.
        ASSERT_TRUE(process.state() == QProcess::NotRunning || process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    QTemporaryDir runtime{QDir::tempPath() + QStringLiteral("/pellucine-run-XXXXXX")};
    QTemporaryDir home;
    AppPaths paths = AppPaths::under(home.path());
    std::unique_ptr<X11TestDesktop> desktop;
    QProcessEnvironment environment;
    testing::ProgramProcesses processes;
};

TEST_F(LaunchProcessTest, TheFirstLaunchShowsTheWelcomeInFrontAndATermSignalQuitsCleanly) {
    QProcess& program = launch();
    ASSERT_TRUE(eventsBecome({"menu-bar-visibility", "launch", "onboarding-shown"}));
    const auto welcome = shown(QStringLiteral("Welcome to PELLUCINE"));
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *welcome; }));
    // The window manager shows the program's own icon, not its generic one.
    const auto pictures = iconPictures(*welcome);
    ASSERT_FALSE(pictures.isEmpty()) << "no _NET_WM_ICON";
    for (const auto& [size, shows] : pictures) {
        EXPECT_GE(size.width(), 16);
        EXPECT_TRUE(shows) << "a picture of " << size.width() << " is blank";
    }

    program.terminate();
    expectCleanExit(program);
    // "quit" was written before the process ended.
    EXPECT_EQ(shellEvents(),
              (QStringList{"menu-bar-visibility", "launch", "onboarding-shown", "quit"}));
}

TEST_F(LaunchProcessTest, ALaterLaunchOpensSettingsThenEarlyLinksAndTheQuitCommandStampsNothing) {
    const QDateTime modified = QDateTime::fromString("2025-05-05T05:05:05Z", Qt::ISODate);
    completeEarlierLaunch(modified);
    QProcess& program = launch({"pellucine://diagnostics"});
    // No tray on this desktop: the settings window, on the turn after launch, so after the link
    // that came with the launch.
    ASSERT_TRUE(eventsBecome({"menu-bar-visibility", "launch", "deep-link", "settings-opened"}));
    ASSERT_TRUE(shown(QStringLiteral("PELLUCINE Diagnostics")));
    const auto settings = shown(QStringLiteral("PELLUCINE Settings"));
    ASSERT_TRUE(settings);
    EXPECT_FALSE(iconPictures(*settings).isEmpty()) << "no _NET_WM_ICON";

    // Started again: the running program brings Settings forward.
    expectCleanExit(launch());
    ASSERT_TRUE(eventsBecome(
        {"menu-bar-visibility", "launch", "deep-link", "settings-opened", "settings-opened"}));
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return desktop->activeWindow() == *settings; }));

    QProcess keys;
    keys.start(QStringLiteral("xdotool"), {"key", "ctrl+q"});
    ASSERT_TRUE(keys.waitForFinished(5000));
    expectCleanExit(program);
    EXPECT_EQ(shellEvents().last(), "quit");
    EXPECT_EQ(shellEvents().count("quit"), 1);
    EXPECT_EQ(storedModification(), modified);
}

}  // namespace
}  // namespace pellucine

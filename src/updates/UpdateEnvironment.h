#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <optional>

#include "core/Bundle.h"

namespace pellucine {

// Where new versions of this copy come from.
enum class UpdateSource {
    // The update feed: this copy checks and replaces itself.
    feed,
    // The package manager or a new install: the copy was installed by the package or the
    // install script and never checks.
    packageManager,
    // Nowhere: the build carries no update feed.
    none,
};

// What the update controller reads of the program and its process: the bundle's information
// keys, where the running program lives, whether it was installed, and the two test variables.
struct UpdateEnvironment {
    static constexpr QLatin1String testFeedVariable{"PELLUCINE_UPDATE_TEST_FEED"};
    static constexpr QLatin1String testInstallVariable{"PELLUCINE_UPDATE_TEST_INSTALL"};
    // What an install puts next to its "bin" folder, below "share".
    static constexpr QLatin1String installedAutostartEntry{
        "pellucine/autostart/com.orrinvale.pellucine.desktop"};

    Bundle bundle;
    // The program's file: the AppImage when it runs from one, else the executable.
    QString executablePath;
    QProcessEnvironment variables;
    // The program was installed by the package or the install script.
    bool installed = false;

    // The running process: the program's bundle, executable and environment.
    static UpdateEnvironment ofProcess();
    // Whether the program at `executablePath` is one an install put there: it lies in a "bin"
    // folder whose sibling "share" holds the installed autostart entry.
    static bool isInstalledProgram(const QString& executablePath);

    // The test feed variable's value when it is set, an empty one included.
    std::optional<QString> testFeed() const;
    // The bundle's "SUFeedURL".
    std::optional<QString> bundleFeed() const;
    // The bundle's feed, else the test feed.
    std::optional<QString> feed() const;
    // A test feed is set: the feed; else an installed copy: the package manager; else the
    // bundle's feed when there is one.
    UpdateSource updateSource() const;
    // The update source is the feed.
    bool canUpdateItself() const;
    // A test feed is set and the test install variable is exactly "1".
    bool wantsTestInstall() const;
    // The bundle's short version, else "0.0.0".
    QString currentVersion() const;
    // The bundle's build version, else "0".
    QString buildVersion() const;
};

}  // namespace pellucine

#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <optional>

#include "core/Bundle.h"

namespace pellucine {

// What the update controller reads of the program and its process: the bundle's information
// keys, where the running program lives and the two test variables.
struct UpdateEnvironment {
    static constexpr QLatin1String testFeedVariable{"PELLUCINE_UPDATE_TEST_FEED"};
    static constexpr QLatin1String testInstallVariable{"PELLUCINE_UPDATE_TEST_INSTALL"};
    // A copy in such a folder may replace itself.
    static constexpr QLatin1String applicationsFolder{"/Applications/"};

    Bundle bundle;
    // The program's file: the AppImage when it runs from one, else the executable.
    QString executablePath;
    QProcessEnvironment variables;

    // The running process: the program's bundle, executable and environment.
    static UpdateEnvironment ofProcess();

    // The test feed variable's value when it is set, an empty one included.
    std::optional<QString> testFeed() const;
    // The bundle's "SUFeedURL".
    std::optional<QString> bundleFeed() const;
    // The bundle's feed, else the test feed.
    std::optional<QString> feed() const;
    // A test feed is set, or the bundle has a feed and the program's path lies in an
    // Applications folder.
    bool canUpdateItself() const;
    // A test feed is set and the test install variable is exactly "1".
    bool wantsTestInstall() const;
    // The bundle's short version, else "0.0.0".
    QString currentVersion() const;
    // The bundle's build version, else "0".
    QString buildVersion() const;
};

}  // namespace pellucine

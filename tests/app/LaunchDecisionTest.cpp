#include <gtest/gtest.h>

#include "app/LaunchDecision.h"

namespace pellucine {
namespace {

// Counts its calls; the road decides whether the preferences are read at all.
struct PreferenceReads {
    int count = 0;
    MachinePreferences preferences;
    std::function<MachinePreferences()> loader() {
        return [this] {
            ++count;
            return preferences;
        };
    }
};

QProcessEnvironment environmentWith(const QString& key, const QString& value) {
    QProcessEnvironment environment;
    environment.insert(key, value);
    return environment;
}

TEST(LaunchDecisionTest, ATestHostStartsProhibitedWithoutProbeOrPreferencesWhateverTheValue) {
    for (const QString& value : {QString(), QStringLiteral("/tmp/config.xctestconfiguration")}) {
        PreferenceReads reads;
        const LaunchDecision decision =
            decide(environmentWith(testHostVariable, value),
                   {QStringLiteral("--probe-private-capture")}, reads.loader());
        EXPECT_EQ(decision, (LaunchDecision{LaunchMode::testHost, ActivationPolicy::prohibited}));
        EXPECT_EQ(reads.count, 0);
    }
    // Only the exact name marks a test host.
    PreferenceReads reads;
    EXPECT_EQ(decide(environmentWith(QStringLiteral("xctestconfigurationfilepath"), {}), {},
                     reads.loader())
                  .mode,
              LaunchMode::application);
}

TEST(LaunchDecisionTest, TheProbeRunsForTheExactOptionAnywhereOnTheCommandLine) {
    const QString probe = QStringLiteral("--probe-private-capture");
    const QString other = QStringLiteral("pellucine://settings");
    for (const QStringList& arguments :
         {QStringList{probe}, QStringList{probe, other}, QStringList{other, probe},
          QStringList{other, probe, QStringLiteral("--preview-report")}}) {
        PreferenceReads reads;
        const LaunchDecision decision = decide({}, arguments, reads.loader());
        EXPECT_EQ(decision, (LaunchDecision{LaunchMode::privateCaptureProbe, std::nullopt}))
            << arguments.join(' ').toStdString();
        EXPECT_EQ(reads.count, 0);
    }
    for (const QStringList& arguments :
         {QStringList{probe + QStringLiteral("=1")}, QStringList{QStringLiteral("--probe-private")},
          QStringList{probe.toUpper()}, QStringList{QStringLiteral(" ") + probe}}) {
        PreferenceReads reads;
        EXPECT_EQ(decide({}, arguments, reads.loader()).mode, LaunchMode::application)
            << arguments.join(' ').toStdString();
        EXPECT_EQ(reads.count, 1);
    }
}

TEST(LaunchDecisionTest, TheApplicationStartsAsAnAccessoryOnlyWhenItIsToStayOutOfTheSwitcher) {
    PreferenceReads reads;
    EXPECT_EQ(decide({}, {}, reads.loader()).policy, ActivationPolicy::regular);
    reads.preferences.showInDockAndAppSwitcher = false;
    reads.preferences.showMenuBarIcon = false;
    EXPECT_EQ(decide({}, {}, reads.loader()).policy, ActivationPolicy::accessory);
    EXPECT_EQ(reads.count, 2);
}

}  // namespace
}  // namespace pellucine

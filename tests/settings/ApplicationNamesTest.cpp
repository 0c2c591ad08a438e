#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "settings/ApplicationNames.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

TEST(ApplicationNames, InstalledEntriesNameTheirIdentifiersOthersNothing) {
    testing::TempFolder temp;
    ASSERT_TRUE(QDir().mkpath(temp.file("applications/org")));
    QFile entry(temp.file("applications/org/example.Viewer.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer\n");
    entry.close();

    const ApplicationNameLookup names =
        ApplicationNames::fromDesktopEntries({temp.file("applications")});
    EXPECT_EQ(names(QStringLiteral("org-example.Viewer")), QStringLiteral("Viewer"));
    EXPECT_EQ(names(QStringLiteral("org.example.Missing")), std::nullopt);
}

}  // namespace
}  // namespace pellucine

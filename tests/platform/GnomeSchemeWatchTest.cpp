#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "platform/linux/GnomeSchemeWatch.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

// A gsettings that answers `get` as GNOME's would, then reports one change from `monitor` and
// keeps running as the real monitor does.
QString fakeGsettings(const testing::TempFolder& folder) {
    const QString path = folder.file(QStringLiteral("gsettings"));
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\n"
        "[ \"$2 $3\" = \"org.gnome.desktop.interface color-scheme\" ] || exit 1\n"
        "case \"$1\" in\n"
        "  get) echo \"'prefer-dark'\" ;;\n"
        "  monitor) echo \"color-scheme: 'default'\"; echo \"color-scheme: 'prefer-light'\";"
        " exec cat ;;\n"
        "  *) exit 1 ;;\n"
        "esac\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(GnomeSchemeWatchTest, ReadsTheSettingThenFollowsTheMonitorsLines) {
    const testing::TempFolder folder;
    QList<SchemePreference> heard;
    const GnomeSchemeWatch watch(fakeGsettings(folder),
                                 [&heard](SchemePreference value) { heard.append(value); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() == 3; }));
    EXPECT_EQ(heard, (QList<SchemePreference>{SchemePreference::dark, SchemePreference::none,
                                              SchemePreference::light}));
}

}  // namespace
}  // namespace pellucine

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "core/DesktopFixture.h"
#include "panels/DesktopEntryIcons.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

class DesktopEntryIconsTest : public testing::DesktopFixture {
  protected:
    void write(const QString& path, const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    qint32 addApp(qint32 pid, const QString& location) {
        RunningApplication app;
        app.processIdentifier = pid;
        app.bundleURL = QUrl::fromLocalFile(location);
        desktop.addApplication(app);
        return pid;
    }

    testing::TempFolder folder;
    DesktopEntryIcons icons{desktop};
};

TEST_F(DesktopEntryIconsTest, IconKeyComesFromTheDesktopEntryGroupOnly) {
    EXPECT_EQ(DesktopEntryIcons::iconKey("[Desktop Action new]\nIcon=other\n"
                                         "[Desktop Entry]\n# Icon=commented\nName=Mail\n"
                                         " Icon = mail-client \nIcon=second\n"),
              "mail-client");
    EXPECT_EQ(DesktopEntryIcons::iconKey("Icon=outside\n[Desktop Entry]\nName=x\n"), "");
    EXPECT_EQ(DesktopEntryIcons::iconKey("[Desktop Entry]\nIconName=x\nIcon[de]=y\n"), "");
    EXPECT_EQ(DesktopEntryIcons::iconKey(""), "");
}

TEST_F(DesktopEntryIconsTest, IconsByFileOrThemeAndNothingForAnythingElse) {
    QImage png(20, 10, QImage::Format_ARGB32);
    png.fill(Qt::red);
    ASSERT_TRUE(png.save(folder.file("mail.png")));
    write(folder.file("mail.desktop"),
          "[Desktop Entry]\nIcon=" + folder.file("mail.png").toUtf8() + "\n");
    write(folder.file("broken.desktop"), "[Desktop Entry]\nIcon=/no/such/icon.png\n");
    write(folder.file("themed.desktop"), "[Desktop Entry]\nIcon=pellucine-no-such-theme-icon\n");
    addApp(20, folder.file("mail.desktop"));
    addApp(21, folder.file("broken.desktop"));
    addApp(22, folder.file("themed.desktop"));
    addApp(23, folder.file("mail.png"));
    addApp(24, folder.file("gone.desktop"));

    const QImage icon = icons.icon(20);
    ASSERT_FALSE(icon.isNull());
    // Scaled into the icon square, keeping its proportions.
    EXPECT_EQ(icon.size(), QSize(DesktopEntryIcons::side, DesktopEntryIcons::side / 2));
    EXPECT_TRUE(icons.icon(21).isNull());
    EXPECT_TRUE(icons.icon(22).isNull());
    // A location that is no desktop entry, a missing entry, an application not running.
    EXPECT_TRUE(icons.icon(23).isNull());
    EXPECT_TRUE(icons.icon(24).isNull());
    EXPECT_TRUE(icons.icon(99).isNull());
    // Read once per entry.
    QFile::remove(folder.file("mail.png"));
    EXPECT_FALSE(icons.icon(20).isNull());
}

}  // namespace
}  // namespace pellucine

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "platform/linux/IconLookup.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

class IconLookupTest : public ::testing::Test {
  protected:
    void picture(const QString& name, int side) {
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(folder.file(name), "PNG"));
    }
    void text(const QString& name) {
        QFile file(folder.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    QString found(const QString& name) const {
        const QString path = IconLookup::pixmapFile(folder.path(), name);
        return path.isEmpty() ? QString() : path.mid(folder.path().size() + 1);
    }

    testing::TempFolder folder;
};

TEST_F(IconLookupTest, PixmapsAreFoundByTheirNameWithOrWithoutExtensionOrSize) {
    picture("org.example.editor.png", 16);
    picture("mini.term_32x32.png", 32);
    picture("mini.term_48x48.png", 48);
    picture("mini.term_9x16.png", 16);
    picture("clock.png", 16);
    text("clock");
    // A dotted name is a name first, not a file with an extension.
    EXPECT_EQ(found("org.example.editor"), "org.example.editor.png");
    EXPECT_EQ(found("org.example.editor.png"), "org.example.editor.png");
    // Sized pictures: the largest square one.
    EXPECT_EQ(found("mini.term"), "mini.term_48x48.png");
    // A bare name never picks the extensionless file of that name.
    EXPECT_EQ(found("clock"), "clock.png");
    // Neither a prefix of a longer name nor a path out of the folder.
    EXPECT_EQ(found("mini"), "");
    EXPECT_EQ(found("org.example"), "");
    EXPECT_EQ(found("../clock.png"), "");
    EXPECT_EQ(found(".."), "");
    EXPECT_EQ(found(""), "");
}

TEST_F(IconLookupTest, IconValuesGivePicturesFittedToTheSideOrNothing) {
    picture("big_256x256.png", 256);
    picture("small.png", 16);
    text("broken.png");
    const QStringList folders{folder.path()};
    EXPECT_EQ(IconLookup::fromIconValue("big", 64, folders).size(), QSize(64, 64));
    EXPECT_EQ(IconLookup::fromIconValue("small", 64, folders).size(), QSize(64, 64));
    EXPECT_EQ(IconLookup::fromIconValue(folder.file("small.png"), 8, {}).size(), QSize(8, 8));
    EXPECT_TRUE(IconLookup::fromIconValue("broken", 64, folders).isNull());
    EXPECT_TRUE(IconLookup::fromIconValue(folder.file("missing.png"), 64, folders).isNull());
    EXPECT_TRUE(IconLookup::fromIconValue("missing", 64, folders).isNull());
    EXPECT_TRUE(IconLookup::fromIconValue("", 64, folders).isNull());
    EXPECT_TRUE(IconLookup::fromIconValue("small", 0, folders).isNull());
}

}  // namespace
}  // namespace pellucine

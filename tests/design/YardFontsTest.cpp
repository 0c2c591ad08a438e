#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QResource>
#include <cmath>
#include <cstdint>

#include "design/YardFonts.h"

namespace pellucine {
namespace {

QRawFont bundledFace(const QString& file) {
    QFile data(QStringLiteral(":/pellucine/fonts/") + file);
    if (!data.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QRawFont(data.readAll(), 12);
}

// The face Qt resolved `font` to is the bundled file when their header and naming tables are
// byte for byte the same.
bool drawsWith(const QFont& font, const QString& file) {
    const QRawFont used = QRawFont::fromFont(font);
    const QRawFont bundled = bundledFace(file);
    return used.isValid() && bundled.isValid() &&
           used.fontTable("head") == bundled.fontTable("head") &&
           used.fontTable("name") == bundled.fontTable("name");
}

struct FontCase {
    const char* name;
    QFont (*make)();
    double size;
    int weight;
    bool monospaced;
    const char* file;
};

const FontCase fonts[] = {
    {"kicker", Yard::kickerFont, 10.5, QFont::Bold, true, "NotoSansMono-Bold.ttf"},
    {"tag", Yard::tagFont, 11, QFont::DemiBold, true, "NotoSansMono-SemiBold.ttf"},
    {"display", Yard::displayFont, 28, QFont::Black, false, "NotoSans-CondensedBlack.ttf"},
    {"body", Yard::bodyFont, 13, QFont::Normal, false, "NotoSans-Regular.ttf"},
    {"label", Yard::labelFont, 13, QFont::Medium, false, "NotoSans-Medium.ttf"},
    {"hint", Yard::hintFont, 11.5, QFont::Normal, false, "NotoSans-Regular.ttf"},
    {"readout", Yard::readoutFont, 12, QFont::Normal, true, "NotoSansMono-Regular.ttf"},
    {"key", Yard::keyFont, 11, QFont::Normal, true, "NotoSansMono-Regular.ttf"},
};

TEST(YardFonts, RegistersEveryBundledFaceFromTheResources) {
    const QStringList families = Yard::registerBundledFonts();
    for (const QString& family : {Yard::sansFamily, Yard::monoFamily, Yard::symbolFamily}) {
        EXPECT_TRUE(families.contains(family)) << family.toStdString();
    }
    for (const QString& family : Yard::keySymbolFamilies) {
        EXPECT_TRUE(families.contains(family)) << family.toStdString();
    }
    for (const QString& file : Yard::bundledFontFiles()) {
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    }
    // A second registration adds nothing.
    EXPECT_EQ(Yard::registerBundledFonts(), families);
}

TEST(YardFonts, BundledFontBytesAreTheResourceItselfAndMissingFilesGiveNothing) {
    Yard::registerBundledFonts();
    for (const QString& file : Yard::bundledFontFiles()) {
        const QResource resource(file);
        const QByteArray data = Yard::bundledFontData(file);
        ASSERT_EQ(data.size(), resource.size()) << file.toStdString();
        if (resource.compressionAlgorithm() == QResource::NoCompression) {
            EXPECT_EQ(static_cast<const void*>(data.constData()),
                      static_cast<const void*>(resource.data()))
                << file.toStdString();
        }
        EXPECT_TRUE(QRawFont(data, 12).isValid()) << file.toStdString();
    }
    EXPECT_TRUE(Yard::bundledFontData(QStringLiteral(":/pellucine/fonts/Missing.ttf")).isEmpty());
}

// How many of the whole pages inside `bytes` this process has in memory now.
int residentPages(QByteArrayView bytes) {
    const int pagemap = open("/proc/self/pagemap", O_RDONLY);
    if (pagemap < 0) {
        return -1;
    }
    const auto pageSize = static_cast<quintptr>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<quintptr>(bytes.data());
    int resident = 0;
    for (quintptr page = (start + pageSize - 1) / pageSize;
         (page + 1) * pageSize <= start + static_cast<quintptr>(bytes.size()); ++page) {
        std::uint64_t entry = 0;
        const auto offset = static_cast<off_t>(page * sizeof(entry));
        if (pread(pagemap, &entry, sizeof(entry), offset) == sizeof(entry) && (entry >> 63) != 0) {
            ++resident;
        }
    }
    close(pagemap);
    return resident;
}

QImage drawn(const QFont& font) {
    QImage image(240, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(image.rect(), QStringLiteral("Ærøskøbing ⌘⌥ fig 0123"));
    return image;
}

TEST(YardFonts, GivingBackTheFontPagesKeepsEveryFaceWholeAndDrawing) {
    Yard::registerBundledFonts();
    const QFont body = Yard::font(17);
    const QImage before = drawn(body);
    QList<QByteArray> hashes;
    for (const QString& file : Yard::bundledFontFiles()) {
        hashes.append(
            QCryptographicHash::hash(Yard::bundledFontData(file), QCryptographicHash::Sha256));
    }
    Yard::releaseBundledFontPages();
    const QStringList files = Yard::bundledFontFiles();
    // Counted before any is read again: a read maps its neighbours' pages too.
    for (const QString& file : files) {
        if (QResource(file).compressionAlgorithm() == QResource::NoCompression) {
            EXPECT_EQ(residentPages(Yard::bundledFontData(file)), 0) << file.toStdString();
        }
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        // Read again from the program's file, the bytes are the same.
        EXPECT_EQ(
            QCryptographicHash::hash(Yard::bundledFontData(files[i]), QCryptographicHash::Sha256),
            hashes[i])
            << files[i].toStdString();
    }
    // Faces already in use and new ones draw as before.
    EXPECT_EQ(drawn(body), before);
    QImage blank(240, 40, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::white);
    EXPECT_NE(drawn(Yard::font(19, QFont::Bold)), blank);
    Yard::releaseBundledFontPages();
    EXPECT_EQ(drawn(body), before);
}

TEST(YardFonts, WithTheSystemFontsHiddenOnlyBundledFamiliesRemain) {
    // The suite also runs under a font configuration without system fonts; there the
    // other font tests can only pass with the faces compiled into the program.
    if (!qEnvironmentVariableIsSet("FONTCONFIG_FILE")) {
        GTEST_SKIP() << "the system's fonts are visible in this run";
    }
    const QStringList bundled = Yard::registerBundledFonts();
    // Qt lists the generic names itself, whatever is installed.
    const QStringList generic{QStringLiteral("Monospace"), QStringLiteral("Sans Serif"),
                              QStringLiteral("Serif")};
    for (const QString& family : QFontDatabase::families()) {
        EXPECT_TRUE(bundled.contains(family) || generic.contains(family)) << family.toStdString();
    }
}

TEST(YardFonts, EachFontDrawsWithItsBundledFaceAtItsSize) {
    for (const FontCase& c : fonts) {
        SCOPED_TRACE(c.name);
        const QFont font = c.make();
        const QFontInfo info(font);
        EXPECT_TRUE(drawsWith(font, QString::fromLatin1(c.file)));
        EXPECT_EQ(info.family(), c.monospaced ? Yard::monoFamily : Yard::sansFamily);
        EXPECT_EQ(info.weight(), c.weight);
        // Qt renders whole pixel sizes: a half size lands on the next pixel.
        EXPECT_EQ(info.pixelSize(), static_cast<int>(std::floor(c.size + 0.5)));
        const QFontMetricsF metrics(font);
        EXPECT_EQ(metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W'), c.monospaced);
    }
    EXPECT_EQ(QFontInfo(Yard::displayFont()).styleName(), QStringLiteral("Condensed Black"));
}

TEST(YardFonts, DesignPixelsBecomeQtPointsThroughTheLogicalDpi) {
    EXPECT_DOUBLE_EQ(Yard::pointSizeForPixels(13, 96), 9.75);
    EXPECT_DOUBLE_EQ(Yard::pointSizeForPixels(13, 72), 13);
    EXPECT_DOUBLE_EQ(Yard::pointSizeForPixels(28, 144), 14);
    // The offscreen screen's logical DPI is 96.
    EXPECT_DOUBLE_EQ(Yard::bodyFont().pointSizeF(), 9.75);
    EXPECT_EQ(QFontMetricsF(Yard::font(20)).height(), QFontMetricsF([] {
                                                          QFont f(Yard::sansFamily);
                                                          f.setPixelSize(20);
                                                          return f;
                                                      }())
                                                          .height());
}

TEST(YardFonts, KeySymbolsComeFromBundledFacesNotFromAFallback) {
    const QFontMetricsF metrics(Yard::keyFont());
    const QList<QRawFont> symbolFaces{bundledFace(QStringLiteral("NotoSansSymbols2-Regular.ttf")),
                                      bundledFace(QStringLiteral("NotoSansMath-Regular.ttf")),
                                      bundledFace(QStringLiteral("NotoSansSymbols-Regular.ttf"))};
    for (char32_t key : {U'⌘', U'⌥', U'⇧', U'⌃', U'⇥'}) {
        EXPECT_TRUE(metrics.inFontUcs4(key)) << static_cast<unsigned>(key);
        bool covered = false;
        for (const QRawFont& face : symbolFaces) {
            covered = covered || face.supportsCharacter(key);
        }
        EXPECT_TRUE(covered) << static_cast<unsigned>(key);
    }
    EXPECT_EQ(Yard::keyFont().families().mid(1), Yard::keySymbolFamilies);
}

TEST(YardFonts, TrackingIsAbsoluteSpacingInPixels) {
    const QFont base = Yard::kickerFont();
    const QFont spaced = Yard::tracked(base, 1.5);
    EXPECT_EQ(spaced.letterSpacingType(), QFont::AbsoluteSpacing);
    EXPECT_DOUBLE_EQ(spaced.letterSpacing(), 1.5);
    const QString text = QStringLiteral("KICKER");
    EXPECT_NEAR(
        QFontMetricsF(spaced).horizontalAdvance(text) - QFontMetricsF(base).horizontalAdvance(text),
        1.5 * text.size(), 0.01);
}

}  // namespace
}  // namespace pellucine

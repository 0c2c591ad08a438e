#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "Sampling.h"
#include "design/Symbols.h"

namespace pellucine {
namespace {

using testing::inkCount;
using testing::matches;

// Every symbol name the status menu, its rows, the controls and the panels draw.
const char* const usedNames[] = {
    "rectangle.stack", "arrow.down.circle.fill", "info.circle", "gearshape", "magnifyingglass",
    "sparkles.rectangle.stack", "waveform.path.ecg", "exclamationmark.bubble", "globe", "power",
    "exclamationmark.triangle.fill", "chevron.down", "checkmark", "ellipsis.circle", "xmark",
    "lock.fill", "macwindow", "minus", "arrow.up.forward.app", "arrow.up.left.and.arrow.down.right",
    "arrow.down.right.and.arrow.up.left", "rectangle.inset.filled",
    "rectangle.lefthalf.inset.filled", "rectangle.righthalf.inset.filled",
    "rectangle.inset.topleft.filled", "rectangle.inset.topright.filled",
    "rectangle.inset.bottomleft.filled", "rectangle.inset.bottomright.filled",
    // Settings, welcome, updates and report windows.
    "command", "rectangle.stack.fill", "cursorarrow.click.2", "dock.rectangle", "minus.square",
    "rectangle.split.2x1", "exclamationmark.circle", "checkmark.circle", "checkmark.circle.fill",
    "arrow.clockwise.circle.fill", "arrow.triangle.2.circlepath", "arrow.up", "questionmark.circle",
    "tray.and.arrow.down.fill"};

QImage canvas(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage drawn(const QString& name, qreal points, SymbolWeight weight, const QList<QColor>& palette,
             bool* result = nullptr, int side = 40) {
    QImage image = canvas(side);
    QPainter painter(&image);
    const bool ok = Symbols::draw(painter, name, image.rect(), points, weight, palette);
    painter.end();
    if (result != nullptr) {
        *result = ok;
    }
    return image;
}

TEST(Symbols, EveryNameTheViewsUseDrawsInsideItsSquare) {
    for (const char* name : usedNames) {
        SCOPED_TRACE(name);
        const QString symbol = QString::fromLatin1(name);
        ASSERT_TRUE(Symbols::contains(symbol));
        bool ok = false;
        const QImage image = drawn(symbol, 20, SymbolWeight::regular, {Qt::black}, &ok);
        EXPECT_TRUE(ok);
        EXPECT_GT(inkCount(image), 20);
        // The 24-point square centred in the 40-pixel canvas: nothing is drawn outside it.
        QImage outside = image.copy();
        QPainter clear(&outside);
        clear.setCompositionMode(QPainter::CompositionMode_Clear);
        clear.fillRect(QRectF(8, 8, 24, 24).adjusted(-1, -1, 1, 1), Qt::transparent);
        clear.end();
        EXPECT_EQ(inkCount(outside), 0);
    }
    EXPECT_EQ(Symbols::names().size(), static_cast<qsizetype>(std::size(usedNames)));
}

TEST(Symbols, UnknownNamesAndEmptyPalettesDrawNothing) {
    for (const QString& name : {QStringLiteral("no.such.symbol"), QString(),
                                QStringLiteral("Magnifyingglass"), QStringLiteral("xmark ")}) {
        bool ok = true;
        EXPECT_EQ(inkCount(drawn(name, 20, SymbolWeight::regular, {Qt::black}, &ok)), 0);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(Symbols::imageSize(name, 20).isEmpty());
        EXPECT_TRUE(Symbols::image(name, 20, SymbolWeight::regular, {Qt::black}).isNull());
    }
    bool ok = true;
    EXPECT_EQ(inkCount(drawn(QStringLiteral("xmark"), 20, SymbolWeight::regular, {}, &ok)), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(inkCount(drawn(QStringLiteral("xmark"), 0, SymbolWeight::regular, {Qt::black}, &ok)),
              0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(inkCount(drawn(QStringLiteral("xmark"), -4, SymbolWeight::regular, {Qt::black}, &ok)),
              0);
}

TEST(Symbols, TwoColourSymbolsLayerTheMarkOverTheDiscOrCutItOut) {
    const QString name = QStringLiteral("arrow.down.circle.fill");
    const QColor mark(255, 255, 255);
    const QColor disc(0x3f, 0x7d, 0x5a);
    // An 80-point symbol is a 96-pixel square at (2, 2): the arrow's shaft crosses the centre,
    // and the left of the disc holds no arrow.
    const QPoint centre(50, 50);
    const QPoint discOnly(16, 50);

    const QImage palette = drawn(name, 80, SymbolWeight::regular, {mark, disc}, nullptr, 100);
    EXPECT_TRUE(matches(palette.pixelColor(centre), mark));
    EXPECT_TRUE(matches(palette.pixelColor(discOnly), disc));

    const QImage mono = drawn(name, 80, SymbolWeight::regular, {disc}, nullptr, 100);
    EXPECT_EQ(mono.pixelColor(centre).alpha(), 0);
    EXPECT_TRUE(matches(mono.pixelColor(discOnly), disc));

    // Extra palette colours are not needed; one-colour symbols take the first.
    const QImage single =
        drawn(QStringLiteral("lock.fill"), 20, SymbolWeight::regular, {mark, disc, Qt::red});
    EXPECT_FALSE(testing::hasPixelNear(single, single.rect(), disc));
}

TEST(Symbols, HeavierWeightsDrawMoreInkAndLighterOnesDrawRegular) {
    const QString name = QStringLiteral("xmark");
    const int regular = inkCount(drawn(name, 20, SymbolWeight::regular, {Qt::black}));
    const int semibold = inkCount(drawn(name, 20, SymbolWeight::semibold, {Qt::black}));
    const int bold = inkCount(drawn(name, 20, SymbolWeight::bold, {Qt::black}));
    EXPECT_GT(semibold, regular);
    EXPECT_GT(bold, semibold);
    EXPECT_EQ(inkCount(drawn(name, 20, SymbolWeight::light, {Qt::black})), regular);
}

TEST(Symbols, SizeFollowsThePointSizeAndTheDeviceRatio) {
    const QImage image =
        Symbols::image(QStringLiteral("gearshape"), 13, SymbolWeight::regular, {Qt::black}, 2);
    EXPECT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_GT(inkCount(image), 0);
    const int small =
        inkCount(drawn(QStringLiteral("gearshape"), 10, SymbolWeight::regular, {Qt::black}));
    const int large =
        inkCount(drawn(QStringLiteral("gearshape"), 26, SymbolWeight::regular, {Qt::black}));
    EXPECT_GT(large, 4 * small);
}

}  // namespace
}  // namespace pellucine

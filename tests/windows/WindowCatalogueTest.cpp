#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "GlanceGallery.h"
#include "design/Yard.h"
#include "design/YardFonts.h"
#include "windows/catalogue/WindowCatalogue.h"

namespace pellucine::testing {
namespace {

using namespace Qt::StringLiterals;

TEST(WindowCatalogueTest, RunsOnOneLaptopScreenWithOnlyTheBundledFaces) {
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    EXPECT_EQ(QGuiApplication::screens().size(), 1);
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1280, 800));
    WindowCatalogue catalogue;
    const QStringList families = QFontDatabase::families();
    EXPECT_TRUE(families.contains(Yard::sansFamily));
    EXPECT_FALSE(families.contains(QStringLiteral("DejaVu Sans")));
}

TEST(WindowCatalogueTest, OpensEveryWindowShownInEitherScheme) {
    WindowCatalogue catalogue;
    ASSERT_EQ(WindowCatalogue::names().size(), 23);
    for (const QString& name : WindowCatalogue::names()) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            SCOPED_TRACE(name.toStdString());
            QWidget* window = catalogue.open(name, scheme);
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->isWindow());
            EXPECT_TRUE(window->isVisible());
            EXPECT_FALSE(window->size().isEmpty());
            EXPECT_LE(window->width(), 1280);
            EXPECT_LE(window->height(), 800);
            EXPECT_EQ(Yard::scheme(window), scheme);
            EXPECT_EQ(catalogue.settingsView() != nullptr,
                      name.startsWith(u"settings-") || name.startsWith(u"guide-"));
        }
    }
    // Opening another window discards the last one.
    QPointer<QWidget> first = catalogue.open(QStringLiteral("diagnostics"), ColorScheme::light);
    catalogue.open(QStringLiteral("peek"), ColorScheme::light);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(catalogue.open(QStringLiteral("settings-nowhere"), ColorScheme::light), nullptr);
}

TEST(WindowCatalogueTest, GlanceSheetsKeepTheirBackdropOnlyWhereTheScreenHasRoom) {
    const QSize screen = gallery::sampleScreenSize;
    EXPECT_EQ(gallery::sheetMargins({600, 400}, screen), QSize(28, 28));
    // Exactly room for the full margin, then one pixel less.
    EXPECT_EQ(gallery::sheetMargins({1224, 744}, screen), QSize(28, 28));
    EXPECT_EQ(gallery::sheetMargins({1226, 746}, screen), QSize(27, 27));
    // The widest glance the screen allows, and one that fills or outgrows it.
    EXPECT_EQ(gallery::sheetMargins({1240, 400}, screen), QSize(20, 28));
    EXPECT_EQ(gallery::sheetMargins({1280, 800}, screen), QSize(0, 0));
    EXPECT_EQ(gallery::sheetMargins({1300, 900}, screen), QSize(0, 0));

    WindowCatalogue catalogue;
    for (const QString& name : {u"glance-grid"_s, u"glance-dock"_s, u"glance-compact"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QWidget* sheet = catalogue.open(name, ColorScheme::light);
        ASSERT_NE(sheet, nullptr);
        EXPECT_LE(sheet->width(), screen.width());
        EXPECT_LE(sheet->height(), screen.height());
    }
}

}  // namespace
}  // namespace pellucine::testing

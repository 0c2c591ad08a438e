#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "design/Yard.h"
#include "design/YardFonts.h"
#include "windows/catalogue/WindowCatalogue.h"

namespace pellucine::testing {
namespace {

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

}  // namespace
}  // namespace pellucine::testing

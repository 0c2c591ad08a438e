#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QWidget>
#include <memory>

#include "design/Appearance.h"
#include "design/Yard.h"

namespace pellucine {
namespace {

QPalette darkDesktop() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(30, 30, 30));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    return palette;
}

QPalette lightDesktop() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    palette.setColor(QPalette::WindowText, QColor(20, 20, 20));
    return palette;
}

class AppearanceTest : public ::testing::Test {
  protected:
    AppearanceTest() { QApplication::setPalette(lightDesktop()); }
    ~AppearanceTest() override { QApplication::setPalette(saved_); }

  private:
    QPalette saved_ = QApplication::palette();
};

TEST_F(AppearanceTest, ReadsTheSchemeFromTheDesktopPalette) {
    EXPECT_EQ(Appearance::schemeOf(darkDesktop()), ColorScheme::dark);
    EXPECT_EQ(Appearance::schemeOf(lightDesktop()), ColorScheme::light);
    QPalette flat;
    flat.setColor(QPalette::Window, Qt::gray);
    flat.setColor(QPalette::WindowText, Qt::gray);
    EXPECT_EQ(Appearance::schemeOf(flat), ColorScheme::light);
}

TEST_F(AppearanceTest, FollowsDesktopChangesAndSignalsOnlyRealChanges) {
    Appearance appearance;
    QSignalSpy changed(&appearance, &Appearance::schemeChanged);
    EXPECT_EQ(appearance.scheme(), ColorScheme::light);

    QApplication::setPalette(darkDesktop());
    EXPECT_EQ(appearance.scheme(), ColorScheme::dark);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<ColorScheme>(), ColorScheme::dark);

    QPalette stillDark = darkDesktop();
    stillDark.setColor(QPalette::Window, QColor(10, 10, 10));
    QApplication::setPalette(stillDark);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(AppearanceTest, AForcedSchemeWinsUntilItIsCleared) {
    Appearance appearance;
    QSignalSpy changed(&appearance, &Appearance::schemeChanged);

    appearance.setForcedScheme(ColorScheme::dark);
    EXPECT_EQ(appearance.scheme(), ColorScheme::dark);
    appearance.setForcedScheme(ColorScheme::dark);
    EXPECT_EQ(changed.count(), 1);

    // The desktop turning dark changes nothing visible while dark is forced, and turning
    // light again leaves the forced scheme alone.
    QApplication::setPalette(darkDesktop());
    QApplication::setPalette(lightDesktop());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(appearance.systemScheme(), ColorScheme::light);

    appearance.setForcedScheme(std::nullopt);
    EXPECT_EQ(appearance.scheme(), ColorScheme::light);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(appearance.forcedScheme().has_value());
}

TEST_F(AppearanceTest, TheDesktopsStatedSchemeWinsOverThePaletteAndLosesToAForcedOne) {
    Appearance appearance;
    QSignalSpy changed(&appearance, &Appearance::schemeChanged);

    appearance.setStatedScheme(ColorScheme::dark);
    EXPECT_EQ(appearance.scheme(), ColorScheme::dark);
    QApplication::setPalette(lightDesktop());
    EXPECT_EQ(appearance.scheme(), ColorScheme::dark);

    appearance.setForcedScheme(ColorScheme::light);
    EXPECT_EQ(appearance.scheme(), ColorScheme::light);
    appearance.setStatedScheme(std::nullopt);
    appearance.setForcedScheme(std::nullopt);
    // No preference stated: the palette tells again.
    QApplication::setPalette(darkDesktop());
    EXPECT_EQ(appearance.scheme(), ColorScheme::dark);
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(AppearanceTest, AFollowingWindowTakesEveryChangeAndOutlivesNothing) {
    Appearance appearance;
    auto window = std::make_unique<QWidget>();
    auto* child = new QWidget(window.get());
    Yard::setWindowGround(window.get());
    Yard::follow(window.get(), appearance);
    EXPECT_EQ(Yard::scheme(child), ColorScheme::light);

    appearance.setForcedScheme(ColorScheme::dark);
    EXPECT_EQ(Yard::scheme(child), ColorScheme::dark);
    EXPECT_EQ(window->palette().color(QPalette::Window), Yard::windowGround(ColorScheme::dark));

    window.reset();
    appearance.setForcedScheme(ColorScheme::light);  // must not reach the destroyed window
}

TEST(YardScheme, AWidgetTakesTheNearestSchemeAboveItAndDefaultsToLight) {
    QWidget outer;
    auto* middle = new QWidget(&outer);
    auto* inner = new QWidget(middle);
    EXPECT_EQ(Yard::scheme(inner), ColorScheme::light);
    EXPECT_EQ(Yard::scheme(nullptr), ColorScheme::light);

    Yard::setScheme(&outer, ColorScheme::dark);
    EXPECT_EQ(Yard::scheme(inner), ColorScheme::dark);
    EXPECT_EQ(&Yard::palette(inner), &Yard::Palette::dark());

    Yard::setScheme(middle, ColorScheme::light);
    EXPECT_EQ(Yard::scheme(inner), ColorScheme::light);
    EXPECT_EQ(Yard::scheme(&outer), ColorScheme::dark);
}

}  // namespace
}  // namespace pellucine

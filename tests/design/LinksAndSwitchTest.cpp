#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QTest>
#include <cmath>

#include "Sampling.h"
#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardSwitch.h"

namespace pellucine {
namespace {

using testing::blend;
using testing::matches;
using testing::renderOver;

// Receives the locations the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    QList<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(Links, StayOnOneLineAtTheirFullWidth) {
    const QString title =
        QStringLiteral("A rather long link title that would be cut short in a narrow column");
    PaneLink link(title, Yard::labelFont());
    const QFontMetricsF metrics(link.font());
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.sizeHint().width(),
              static_cast<int>(std::ceil(metrics.horizontalAdvance(title))));
    EXPECT_EQ(link.minimumSizeHint(), link.sizeHint());
    EXPECT_EQ(link.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    PaneLink broken(QStringLiteral("two\nlines"), Yard::bodyFont());
    EXPECT_EQ(broken.title(), QStringLiteral("two lines"));
}

TEST(Links, APaneLinkRunsItsActionAndIsReadAsALink) {
    int runs = 0;
    PaneLink link(QStringLiteral("Open Switcher settings"), Yard::hintFont(), [&runs] { ++runs; });
    link.resize(link.sizeHint());
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(link.width() - 2, link.height() / 2));
    EXPECT_EQ(runs, 1);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&link);
    EXPECT_EQ(face->role(), QAccessible::Link);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Open Switcher settings"));
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(runs, 2);
    link.setEnabled(false);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(runs, 2);
}

TEST(Links, AWebLinkShowsAnArrowAndItsAddressAndOpensIt) {
    UrlCatcher catcher;
    const QUrl url(QStringLiteral("https://example.org/privacy?from=settings"));
    WebLink link(QStringLiteral("Privacy"), url);
    EXPECT_EQ(link.title(), QStringLiteral("Privacy ↗"));
    EXPECT_EQ(link.toolTip(), url.toString());
    // The body face whatever the caller uses elsewhere.
    EXPECT_DOUBLE_EQ(link.font().pointSizeF(), Yard::bodyFont().pointSizeF());
    EXPECT_EQ(link.font().weight(), Yard::bodyFont().weight());
    EXPECT_TRUE(link.font().underline());
    link.resize(link.sizeHint());
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(3, link.height() / 2));
    EXPECT_EQ(catcher.opened, QList<QUrl>{url});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&link)->role(), QAccessible::Link);
}

TEST(Links, DrawUnderlinedInTheAccentColour) {
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        const Yard::Palette& p = Yard::palette(scheme);
        QWidget window;
        Yard::setScheme(&window, scheme);
        auto* link = new PaneLink(QStringLiteral("____"), Yard::bodyFont(), &window);
        link->resize(link->sizeHint());
        const QImage image = renderOver(*link, p.ground);
        EXPECT_TRUE(testing::hasPixelNear(image, image.rect(), p.accentType));
        EXPECT_FALSE(testing::hasPixelNear(image, image.rect(), p.fore));
    }
}

TEST(YardSwitch, TheKnobGrowsAndSlidesFromOffToOn) {
    const Yard::Palette& p = Yard::Palette::dark();
    const YardSwitch::Look off = YardSwitch::look(0, p);
    EXPECT_EQ(off.knob, QRectF(4, 4, 14, 14));
    EXPECT_EQ(off.trackFill, p.sheet);
    EXPECT_TRUE(matches(off.trackBorder,
                        QColor(p.fore.red(), p.fore.green(), p.fore.blue(), qRound(0.6 * 255))));
    EXPECT_TRUE(matches(off.knobFill,
                        QColor(p.fore.red(), p.fore.green(), p.fore.blue(), qRound(0.75 * 255))));
    const YardSwitch::Look on = YardSwitch::look(1, p);
    EXPECT_EQ(on.knob, QRectF(19, 3, 16, 16));
    EXPECT_TRUE(matches(on.trackFill, p.accent));
    EXPECT_TRUE(matches(on.trackBorder, p.accent));
    EXPECT_TRUE(matches(on.knobFill, p.onAccent));
    const YardSwitch::Look half = YardSwitch::look(0.5, p);
    EXPECT_DOUBLE_EQ(half.knob.width(), 15);
    EXPECT_DOUBLE_EQ(half.knob.left(), 11.5);
}

TEST(YardSwitch, ClicksAndSpaceFlipItAndTheChangeAnimates) {
    QWidget window;
    auto* toggle = new YardSwitch(QStringLiteral("Show minimized windows"), false, &window);
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(toggle->size(), QSize(38, 22));
    // A corner of the track counts.
    QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_LT(toggle->progress(), 1.0);  // on its way
    toggle->finishTransition();
    EXPECT_DOUBLE_EQ(toggle->progress(), 1.0);

    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Space);
    EXPECT_FALSE(toggle->isChecked());
    toggle->finishTransition();
    EXPECT_DOUBLE_EQ(toggle->progress(), 0.0);
}

TEST(YardSwitch, ADisabledSwitchFadesAndIgnoresClicks) {
    QWidget window;
    Yard::setScheme(&window, ColorScheme::light);
    const Yard::Palette& p = Yard::Palette::light();
    auto* toggle = new YardSwitch(QStringLiteral("x"), true, &window);
    toggle->resize(toggle->sizeHint());
    const QImage enabled = renderOver(*toggle, p.ground);
    // Track in the accent colour beside the knob, knob in on-accent.
    EXPECT_TRUE(matches(enabled.pixelColor(10, 11), p.accent));
    EXPECT_TRUE(matches(enabled.pixelColor(27, 11), p.onAccent));
    EXPECT_TRUE(matches(enabled.pixelColor(0, 0), p.ground));

    window.setEnabled(false);
    QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(19, 11));
    EXPECT_TRUE(toggle->isChecked());
    const QImage disabled = renderOver(*toggle, p.ground);
    EXPECT_TRUE(matches(disabled.pixelColor(10, 11), blend(p.ground, p.accent, 0.38)));
    // The knob covers the track even when faded.
    EXPECT_TRUE(matches(disabled.pixelColor(27, 11), blend(p.ground, p.onAccent, 0.38)));
}

TEST(YardSwitch, IsACheckBoxNamedByItsLabel) {
    YardSwitch toggle(QStringLiteral("Launch at login"), true);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&toggle);
    EXPECT_EQ(face->role(), QAccessible::CheckBox);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Launch at login"));
    EXPECT_TRUE(face->state().checked);
    toggle.setChecked(false);
    EXPECT_FALSE(face->state().checked);
    EXPECT_EQ(toggle.label(), QStringLiteral("Launch at login"));
}

}  // namespace
}  // namespace pellucine

#include "LinksAndSwitchTest.moc"

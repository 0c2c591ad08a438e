#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "design/Eliding.h"
#include "design/Readout.h"
#include "design/Yard.h"
#include "design/YardCard.h"
#include "windows/catalogue/LayoutCheck.h"
#include "windows/catalogue/TextContrast.h"
#include "windows/catalogue/WindowCatalogue.h"

namespace pellucine::testing {
namespace {

using namespace Qt::StringLiterals;

constexpr QSize screen{1280, 800};

const QString hint = u"Pauses this long before the previews appear, from 100 to 1000 ms."_s;

QStringList problemsOf(const QWidget& window) {
    QStringList problems;
    for (const LayoutFault& fault : checkLayout(window, screen)) {
        problems << fault.path + u": "_s + fault.problem;
    }
    return problems;
}

// A window of two rows under one another, laid out as a page lays out its rows.
struct TwoRows {
    TwoRows() {
        window.setObjectName(u"page"_s);
        auto* layout = new QVBoxLayout(&window);
        first = new QLabel(u"Show the Dock bar"_s);
        first->setObjectName(u"first"_s);
        second = new QLabel(hint);
        second->setObjectName(u"second"_s);
        second->setWordWrap(true);
        layout->addWidget(first);
        layout->addWidget(second);
        window.resize(220, 160);
        window.show();
        layout->activate();
    }
    QWidget window;
    QLabel* first = nullptr;
    QLabel* second = nullptr;
};

TEST(LayoutCheckTest, PassesAWindowLaidOutByItsLayout) {
    TwoRows rows;
    EXPECT_EQ(problemsOf(rows.window), QStringList());
    EXPECT_EQ(widgetPath(*rows.second), u"QWidget#page/QLabel#second"_s);
}

TEST(LayoutCheckTest, FindsAWrappedHintOneLineTooShort) {
    TwoRows rows;
    const int needed = rows.second->heightForWidth(rows.second->width());
    rows.second->setGeometry(rows.second->x(), rows.second->y(), rows.second->width(), needed);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
    const int line = rows.second->fontMetrics().lineSpacing();
    rows.second->setGeometry(rows.second->x(), rows.second->y(), rows.second->width(),
                             needed - line);
    const QStringList problems = problemsOf(rows.window);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].startsWith(u"QWidget#page/QLabel#second: text needs"_s))
        << problems[0].toStdString();
}

TEST(LayoutCheckTest, FindsALineCutShortAndIgnoresHiddenWidgets) {
    TwoRows rows;
    rows.first->resize(rows.first->sizeHint().width() - 1, rows.first->height());
    EXPECT_EQ(problemsOf(rows.window).size(), 1);
    rows.first->hide();
    EXPECT_EQ(problemsOf(rows.window), QStringList());
}

// Code that cuts a text to its room itself keeps the whole one as the tooltip; unless the
// widget asks for eliding, the check holds it to the whole text.
TEST(LayoutCheckTest, FindsATextElidedWhereElidingIsNotAskedFor) {
    TwoRows rows;
    const QString whole = rows.first->text();
    rows.first->setToolTip(whole);
    EXPECT_EQ(problemsOf(rows.window), QStringList()) << "shown whole";
    for (const QString& cut : {u"Show the Dock…"_s, u"…the Dock bar"_s, u"Show…bar"_s}) {
        rows.first->setText(cut);
        const QStringList problems = problemsOf(rows.window);
        ASSERT_EQ(problems.size(), 1) << cut.toStdString();
        EXPECT_TRUE(problems[0].startsWith(u"QWidget#page/QLabel#first: text elided"_s))
            << problems[0].toStdString();
    }
    // Asked for; an ellipsis of the text's own; one that shortens some other text.
    Yard::allowEliding(*rows.first);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
    Yard::allowEliding(*rows.first, false);
    rows.first->setToolTip(u"Export"_s);
    rows.first->setText(u"Export…"_s);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
    rows.first->setToolTip(whole);
    rows.first->setText(u"Hide…"_s);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
}

TEST(LayoutCheckTest, FindsAReadoutNarrowerThanItsValueButLetsAPathLoseItsMiddle) {
    TwoRows rows;
    auto* readout = new Readout(u"1.0.0 (41)"_s);
    readout->setObjectName(u"readout"_s);
    rows.window.layout()->addWidget(readout);
    readout->show();
    rows.window.layout()->activate();
    EXPECT_EQ(problemsOf(rows.window), QStringList());
    readout->resize(readout->sizeHint().width() / 2, readout->height());
    const QStringList problems = problemsOf(rows.window);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].startsWith(u"QWidget#page/pellucine::Readout#readout: text elided"_s))
        << problems[0].toStdString();
    readout->setPath(true);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
}

TEST(LayoutCheckTest, FindsOverlappingRowsButNotRowsThatTouch) {
    TwoRows rows;
    const QRect above = rows.first->geometry();
    rows.second->move(rows.second->x(), above.bottom() + 1);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
    rows.second->move(rows.second->x(), above.bottom());
    const QStringList problems = problemsOf(rows.window);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0],
              u"QWidget#page/QLabel#second: overlaps QWidget#page/QLabel#first by "_s +
                  QString::number(std::min(above.right(), rows.second->geometry().right()) -
                                  std::max(above.left(), rows.second->x()) + 1) +
                  u"x1"_s);
}

TEST(LayoutCheckTest, LetsAPlaceholderThatTakesNoClicksLieOverItsField) {
    TwoRows rows;
    auto* placeholder = new QLabel(u"Optional"_s, &rows.window);
    placeholder->setGeometry(rows.second->x(), rows.second->y(), placeholder->sizeHint().width(),
                             placeholder->sizeHint().height());
    placeholder->show();
    EXPECT_EQ(problemsOf(rows.window).size(), 1);
    placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    EXPECT_EQ(problemsOf(rows.window), QStringList());
}

TEST(LayoutCheckTest, FindsAChildOutsideItsWindowAndAWindowLargerThanTheScreen) {
    TwoRows rows;
    rows.first->move(rows.window.width() - rows.first->width() + 1, rows.first->y());
    QStringList problems = problemsOf(rows.window);
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems[0].startsWith(u"QWidget#page/QLabel#first: reaches outside"_s));

    QWidget wide;
    wide.resize(screen.width() + 1, 100);
    problems = problemsOf(wide);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(u"larger than the 1280x800 screen"_s));
    wide.resize(screen);
    EXPECT_EQ(problemsOf(wide), QStringList());
}

// Texts reach 4.5:1 against what is drawn behind them, large ones 3:1; a disabled control's
// text is exempt.
TEST(LayoutCheckTest, FindsTextFaintAgainstWhatIsBehindIt) {
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(u"#659478"_s, u"#659478"_s), 1.0);

    const Yard::Palette& dark = Yard::Palette::dark();
    // #807b73 on the dark ground is 4.2:1.
    const QColor between(u"#807b73"_s);
    struct Row {
        const char* name;
        QColor ink;
        int pixels;
        bool bold;
        bool enabled;
        bool faint;
    };
    const Row rows[] = {
        {"the light scheme's ink", Yard::Palette::light().fore, 13, false, true, true},
        {"the dark scheme's ink", dark.fore, 13, false, true, false},
        {"the dark scheme's muted", dark.muted, 13, false, true, false},
        {"4.2:1 at body size", between, 13, false, true, true},
        {"4.2:1 at 24 px", between, 24, false, true, false},
        {"4.2:1 at 18 px bold", between, 18, true, true, true},
        {"4.2:1 at 19 px bold", between, 19, true, true, false},
        {"half-transparent ink", QColor(245, 243, 238, 60), 13, false, true, true},
        {"a disabled control's text", Yard::Palette::light().fore, 13, false, false, false},
    };
    for (const Row& row : rows) {
        QWidget window;
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(dark.fore, dark.ground));
        auto* layout = new QVBoxLayout(&window);
        auto* label = new QLabel(u"Dock hover delay"_s);
        QFont font = label->font();
        font.setPixelSize(row.pixels);
        font.setBold(row.bold);
        label->setFont(font);
        QPalette ink = label->palette();
        ink.setColor(QPalette::WindowText, row.ink);
        label->setPalette(ink);
        label->setEnabled(row.enabled);
        layout->addWidget(label);
        window.show();
        EXPECT_EQ(checkTextContrast(window).size(), row.faint ? 1 : 0) << row.name;
    }
}

// The contrast rule over a real page: a row in the light scheme's ink planted on the dark
// Dock page is the one fault found there.
TEST(LayoutCheckTest, FindsALightInkRowPlantedOnTheDarkDockPage) {
    WindowCatalogue catalogue;
    QWidget* window = catalogue.open(u"settings-dock"_s, ColorScheme::dark);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(checkTextContrast(*window).size(), 0);
    auto* card = window->findChild<YardCard*>();
    ASSERT_NE(card, nullptr);
    auto* planted = new QLabel(u"Dock hover delay"_s);
    planted->setObjectName(u"planted"_s);
    QPalette ink = planted->palette();
    ink.setColor(QPalette::WindowText, Yard::Palette::light().fore);
    planted->setPalette(ink);
    card->addWidget(planted);
    planted->show();
    QApplication::processEvents();
    const QList<LayoutFault> faults = checkTextContrast(*window);
    ASSERT_EQ(faults.size(), 1);
    EXPECT_TRUE(faults[0].path.endsWith(u"QLabel#planted"_s)) << faults[0].path.toStdString();
    EXPECT_TRUE(faults[0].problem.contains(u"below 4.5:1"_s)) << faults[0].problem.toStdString();
}

// Writes the window's picture into `folder` as "<name>.png", and its faults beside it.
void keep(QWidget& window, const QString& folder, const QString& name, const QStringList& faults) {
    QDir().mkpath(folder);
    window.grab().save(folder + u'/' + name + u".png"_s);
    QFile list(folder + u'/' + name + u".txt"_s);
    if (!faults.isEmpty() && list.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        list.write(faults.join(u'\n').toUtf8() + '\n');
    }
}

TEST(LayoutCheckTest, EveryCatalogueWindowIsLaidOutRightInBothSchemes) {
    const QString output = QStringLiteral(PELLUCINE_LAYOUT_OUTPUT);
    QDir(output + u"/faults"_s).removeRecursively();
    WindowCatalogue catalogue;
    for (const QString& name : WindowCatalogue::names()) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            const QString shot = name + (scheme == ColorScheme::light ? u"-light"_s : u"-dark"_s);
            SCOPED_TRACE(shot.toStdString());
            QWidget* window = catalogue.open(name, scheme);
            ASSERT_NE(window, nullptr);
            QStringList faults = problemsOf(*window);
            for (const LayoutFault& fault : checkTextContrast(*window)) {
                faults << fault.path + u": "_s + fault.problem;
            }
            keep(*window, output + u"/gallery"_s, shot, {});
            if (!faults.isEmpty()) {
                keep(*window, output + u"/faults"_s, shot, faults);
            }
            EXPECT_EQ(faults, QStringList())
                << "picture and faults in " << output.toStdString() << "/faults";
        }
    }
}

}  // namespace
}  // namespace pellucine::testing

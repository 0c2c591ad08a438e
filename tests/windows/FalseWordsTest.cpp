#include <gtest/gtest.h>

#include <QRegularExpression>

#include "settings/PellucinePageGuide.h"
#include "support/QtPrinters.h"
#include "windows/catalogue/ShownTexts.h"
#include "windows/catalogue/WindowCatalogue.h"

namespace pellucine::testing {
namespace {

using namespace Qt::StringLiterals;

// Names of another desktop's places and keys, each a whole word, and that desktop's modifier
// symbols anywhere. The tray icon and its menu are called only that.
const QRegularExpression falseWords(
    uR"((?<![\w-])(macOS|Mac|Apple|iCloud|Spaces|Safari|Finder|System Settings|Login Items|)"
    uR"(Applications folder|Command-Tab|[Mm]enu[ -][Bb]ar|status (menu|item))(?![\w-])|[⌘⌥⌃])"_s);

QStringList falseWordsIn(const QStringList& texts) {
    QStringList found;
    for (const QString& text : texts) {
        for (auto it = falseWords.globalMatch(text); it.hasNext();) {
            found << it.next().captured() + u" in \""_s + text + u'"';
        }
    }
    return found;
}

TEST(FalseWordsTest, TheRuleFindsWholeWordsOnly) {
    EXPECT_EQ(falseWordsIn({u"Needs macOS 14"_s, u"on this Mac."_s, u"⌘ Q"_s, u"Alt+⌥"_s}).size(),
              4);
    EXPECT_EQ(falseWordsIn({u"System Settings › General"_s, u"(Command-Tab)"_s}).size(), 2);
    EXPECT_EQ(falseWordsIn(
                  {u"Show the menu bar icon"_s, u"Menu-bar icon changed"_s, u"the status menu"_s})
                  .size(),
              3);
    // Words that merely contain one, and the true names.
    EXPECT_EQ(falseWordsIn({u"machine"_s, u"Macintosh-like"_s, u"Pineapple"_s, u"MacOSX"_s,
                            u"workspaces"_s, u"Super+Tab"_s, u"autostart"_s, u"pre-Mac"_s,
                            u"the tray menu"_s, u"menu above"_s}),
              QStringList());
}

TEST(FalseWordsTest, NoWindowOrPageNamesAnotherDesktop) {
    WindowCatalogue catalogue;
    for (const QString& name : WindowCatalogue::names()) {
        SCOPED_TRACE(name.toStdString());
        QWidget* window = catalogue.open(name, ColorScheme::light);
        ASSERT_NE(window, nullptr);
        const QStringList texts = shownTexts(window);
        // The peek is a picture alone.
        EXPECT_EQ(texts.isEmpty(), name == u"peek"_s);
        EXPECT_EQ(falseWordsIn(texts), QStringList());
    }
}

TEST(FalseWordsTest, NoGuideNamesAnotherDesktopWhateverTheBuild) {
    for (const bool sync : {false, true}) {
        for (const UpdateSource updates :
             {UpdateSource::feed, UpdateSource::packageManager, UpdateSource::none}) {
            GuideFacts facts;
            facts.syncAvailable = sync;
            facts.updates = updates;
            for (const SettingsView::Bay page : SettingsView::bays()) {
                EXPECT_EQ(falseWordsIn(PellucinePageGuide::paragraphs(facts, page, u"a.org"_s)),
                          QStringList());
            }
        }
    }
}

}  // namespace
}  // namespace pellucine::testing

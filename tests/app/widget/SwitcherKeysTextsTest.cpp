#include <gtest/gtest.h>

#include "app/MenuHeader.h"
#include "app/StatusItem.h"
#include "app/StatusMenuModel.h"
#include "settings/AboutPage.h"
#include "settings/OnboardingView.h"
#include "settings/PellucinePageGuide.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

// Every text outside the Switcher page that names the strip's keys, as the tray, the guide, the
// welcome window and About show them for one binding.
QStringList textsFor(const std::optional<SwitcherBinding>& keys) {
    StatusMenuState state;
    state.switcherKeys = keys;
    const StatusMenuModel menu = makeStatusMenu(state);
    const MenuHeader header(statusMenuWidth(menu.rows),
                            menu.row(StatusMenuItem::header).content.trailing.keys);
    GuideFacts facts;
    facts.searchKeys = {"Shift", "Super", "Space"};
    facts.switcherKeys = keys;
    return QStringList{header.capLabels().join('|'), header.accessibleName(),
                       StatusItem::toolTip(keys),
                       AboutPage::productNote(keys, QStringLiteral("the Dock bar")),
                       OnboardingView::searchRowTemplate(facts.searchKeys, keys)}
           << PellucinePageGuide::paragraphs(facts, SettingsView::Bay::switcher, "example.org");
}

TEST(SwitcherKeysTextsTest, EveryTextNamesTheKeysInEffectOrThatTheStripIsOff) {
    struct Row {
        const char* name;
        std::optional<SwitcherBinding> keys;
        QStringList expected;
        // Nothing may name these keys.
        QStringList never;
    };
    const QString off = SwitcherBinding::notice(std::nullopt);
    const Row rows[] = {
        {"default",
         SwitcherBinding{},
         {"Super|Tab", "PELLUCINE. Super+Tab.",
          "PELLUCINE: window previews for Super+Tab and the Dock bar",
          "Window previews above the switcher strip (Super+Tab) and the Dock bar.",
          "Press {Shift}{Super}{Space}, or {F} while {Super}{Tab} is up, then type part of its "
          "title.",
          "Hold {Super} and press {Tab}. The highlighted app's windows appear above the switcher "
          "strip; {Tab} and {Shift}{Tab} still move between apps."},
         {"Ctrl"}},
        {"fallback",
         SwitcherBinding{KeyModifiers::command | KeyModifiers::control},
         {"Super|Ctrl|Tab", "PELLUCINE. Super+Ctrl+Tab.",
          "PELLUCINE: window previews for Super+Ctrl+Tab and the Dock bar",
          "Window previews above the switcher strip (Super+Ctrl+Tab) and the Dock bar.",
          "Press {Shift}{Super}{Space}, or {F} while {Super}{Ctrl}{Tab} is up, then type part of "
          "its title.",
          "Hold {Super}{Ctrl} and press {Tab}. The highlighted app's windows appear above the "
          "switcher strip; {Tab} and {Shift}{Tab} still move between apps."},
         {"Super+Tab", "{Super}{Tab}", "{Super} and press"}},
        {"off",
         std::nullopt,
         {"", "PELLUCINE.", "PELLUCINE: window previews for the Dock bar",
          "Window previews above the Dock bar; the switcher strip is off.",
          "Press {Shift}{Super}{Space}, then type part of its title.", off},
         {"Tab", "{F}"}},
    };
    for (const Row& row : rows) {
        const QStringList texts = textsFor(row.keys);
        for (qsizetype i = 0; i < row.expected.size(); ++i) {
            EXPECT_EQ(texts[i], row.expected[i]) << row.name << " text " << i;
        }
        for (const QString& text : texts) {
            for (const QString& never : row.never) {
                EXPECT_FALSE(text.contains(never)) << row.name << ": " << qPrintable(text);
            }
        }
    }
}

}  // namespace
}  // namespace pellucine

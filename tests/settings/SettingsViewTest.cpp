#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include "SettingsFixture.h"
#include "design/BayHeader.h"
#include "design/FadingScrollView.h"
#include "design/KeyCap.h"
#include "design/KeyHint.h"
#include "design/PaneLink.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "settings/PellucinePageGuide.h"
#include "settings/SettingsSidebar.h"

namespace pellucine {
namespace {

using Bay = SettingsView::Bay;
using testing::SettingsFixture;

TEST(SettingsBays, NamesMatchExactlyAndUpdatesLeadsToTheAboutPage) {
    QStringList raw;
    for (const Bay bay : SettingsView::bays()) {
        raw << SettingsView::rawValue(bay);
        EXPECT_EQ(SettingsView::bayNamed(SettingsView::rawValue(bay)), bay);
    }
    EXPECT_EQ(raw, QStringList({"general", "switcher", "dock", "about"}));
    using Destination = SettingsView::Destination;
    EXPECT_EQ(SettingsView::destination(u"about"), (Destination{Bay::about, std::nullopt}));
    EXPECT_EQ(SettingsView::destination(u"updates"),
              (Destination{Bay::about, QStringLiteral("updates")}));
    for (const char16_t* unknown : {u"About", u"permissions", u"", u" dock", u"bay-top"}) {
        EXPECT_EQ(SettingsView::destination(unknown), std::nullopt);
    }
}

// The rail's legend names the keys the switcher strip opens on, the fallback included.
TEST(SettingsSidebarLegend, ShowsTheSwitcherKeysInEffect) {
    const auto labels = [](const SwitcherBinding& keys) {
        const SettingsSidebar sidebar(keys);
        QStringList caps;
        for (const KeyCap* cap : sidebar.findChildren<KeyCap*>()) {
            caps << cap->label();
        }
        return caps;
    };
    EXPECT_EQ(labels(SwitcherBinding{}), (QStringList{"Super", "Tab"}));
    EXPECT_EQ(labels(SwitcherBinding::preferred().last()), (QStringList{"Super", "Ctrl", "Tab"}));
}

class SettingsViewTest : public SettingsFixture {
  protected:
    void request(const QString& page) { model->pendingSettingsBay().set(page); }
    int scrollValue() { return view().pageArea()->verticalScrollBar()->value(); }
    void finishScroll() {
        if (QPropertyAnimation* animation = view().scrollAnimation()) {
            animation->setCurrentTime(animation->duration());
        }
    }
    // An About page taller than the window with the updates card far down.
    void useTallAboutPage() {
        aboutPage = [](SettingsView&) {
            auto* page = new QWidget;
            auto* column = new QVBoxLayout(page);
            auto* filler = new QWidget;
            filler->setFixedHeight(1500);
            column->addWidget(filler);
            auto* updates = new QWidget;
            updates->setObjectName(QStringLiteral("updates"));
            updates->setFixedHeight(300);
            column->addWidget(updates);
            return page;
        };
    }
    int updatesTop() {
        QWidget* updates = view().page()->findChild<QWidget*>(QStringLiteral("updates"));
        return updates->mapTo(view().pageArea()->widget(), QPoint(0, 0)).y();
    }
};

TEST_F(SettingsViewTest, RequestsAreClearedWhetherOrNotTheyNameAPage) {
    shown();
    request(QStringLiteral("about"));
    EXPECT_EQ(view().bay(), Bay::about);
    EXPECT_EQ(model->pendingSettingsBay().value(), std::nullopt);
    EXPECT_EQ(view().header()->title()->text(), QStringLiteral("ABOUT"));
    EXPECT_TRUE(view().sidebar()->row(Bay::about)->isCurrent());
    EXPECT_FALSE(view().sidebar()->row(Bay::general)->isCurrent());

    for (const QString& unknown : {QStringLiteral("About"), QStringLiteral("permissions")}) {
        request(unknown);
        EXPECT_EQ(view().bay(), Bay::about);
        EXPECT_EQ(model->pendingSettingsBay().value(), std::nullopt);
    }
}

TEST_F(SettingsViewTest, ARequestLeftWhileClosedWaitsForTheNextShowing) {
    settingsWindow();
    request(QStringLiteral("dock"));
    EXPECT_EQ(view().bay(), Bay::general);
    EXPECT_EQ(model->pendingSettingsBay().value(), QStringLiteral("dock"));
    shown();
    EXPECT_EQ(view().bay(), Bay::dock);
    EXPECT_EQ(model->pendingSettingsBay().value(), std::nullopt);

    close();
    request(QStringLiteral("switcher"));
    EXPECT_EQ(view().bay(), Bay::dock);
    shown();
    EXPECT_EQ(view().bay(), Bay::switcher);
}

TEST_F(SettingsViewTest, TheUpdatesRequestScrollsToTheCardAndAPageSwitchStartsAtTheTop) {
    useTallAboutPage();
    settingsWindow().resize(900, 680);
    request(QStringLiteral("updates"));
    shown();
    EXPECT_EQ(view().bay(), Bay::about);
    ASSERT_NE(view().scrollAnimation(), nullptr);
    EXPECT_EQ(view().scrollAnimation()->duration(), 200);
    finishScroll();
    EXPECT_GT(updatesTop(), 0);
    EXPECT_EQ(scrollValue(),
              std::min(updatesTop(), view().pageArea()->verticalScrollBar()->maximum()));
    EXPECT_EQ(view().scrollTarget(), std::nullopt);

    view().setBay(Bay::dock);
    view().setBay(Bay::about);
    scheduler.runUntilIdle();
    EXPECT_EQ(scrollValue(), 0);
}

TEST_F(SettingsViewTest, TheLastPageShownOutlivesTheWindow) {
    EXPECT_EQ(resume.lastSettingsPane(), QStringLiteral("general"));
    shown();
    view().sidebar()->row(Bay::switcher)->click();
    EXPECT_EQ(view().bay(), Bay::switcher);
    EXPECT_EQ(resume.lastSettingsPane(), QStringLiteral("switcher"));
    request(QStringLiteral("updates"));
    EXPECT_EQ(resume.lastSettingsPane(), QStringLiteral("about"));
    close();
    window.reset();
    EXPECT_EQ(resume.lastSettingsPane(), QStringLiteral("about"));
}

TEST_F(SettingsViewTest, EscapeClosesTheWindowUnlessAControlTakesIt) {
    shown();
    QApplication::setActiveWindow(&settingsWindow());
    QTest::keyClick(&settingsWindow(), Qt::Key_Escape);
    EXPECT_FALSE(settingsWindow().isVisible());
    EXPECT_EQ(settingsWindow().windowTitle(), QStringLiteral("PELLUCINE Settings"));
    EXPECT_GE(settingsWindow().minimumWidth(), 900);
}

TEST_F(SettingsViewTest, ARowLeftBehindDrawsNoFocusRingWhenTheWindowIsActiveAgain) {
    shown();
    QApplication::setActiveWindow(&settingsWindow());
    view().setBay(Bay::dock);
    SettingsSidebar::BayRow* general = view().sidebar()->row(Bay::general);
    SettingsSidebar::BayRow* dock = view().sidebar()->row(Bay::dock);
    // Activation hands the focus back to the row that had it.
    general->setFocus(Qt::ActiveWindowFocusReason);
    ASSERT_TRUE(general->hasFocus());
    EXPECT_FALSE(general->showsFocus());
    general->clearFocus();
    general->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(general->showsFocus());
    // The keyboard's focus shows on any row; the current page's row shows it however it came.
    general->clearFocus();
    general->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(general->showsFocus());
    dock->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(dock->showsFocus());
    EXPECT_FALSE(general->showsFocus());
    // A row clicked while the keyboard's focus is on another takes the focus from it.
    general->setFocus(Qt::TabFocusReason);
    view().sidebar()->row(Bay::switcher)->click();
    EXPECT_FALSE(general->showsFocus());
    EXPECT_TRUE(view().sidebar()->row(Bay::switcher)->hasFocus());
}

TEST_F(SettingsViewTest, TheGuideClosesOnAPageChangeAndItsLinksNavigateFirst) {
    shown();
    model->portablePreferences().modify(
        [](PortablePreferences& p) { p.dockHoverDelayMilliseconds = 450; });
    view().setBay(Bay::dock);
    view().guideButton()->click();
    ASSERT_NE(view().guide(), nullptr);
    EXPECT_TRUE(view().isShowingHelp());
    EXPECT_EQ(view().guide()->page(), Bay::dock);
    const QList<KeyHint*> paragraphs = view().guide()->findChildren<KeyHint*>();
    ASSERT_FALSE(paragraphs.isEmpty());
    EXPECT_TRUE(paragraphs.first()->templateText().contains(u"hold still for 450 ms"));

    ASSERT_EQ(view().guide()->links().size(), 1);
    view().guide()->links().first()->click();
    EXPECT_EQ(view().bay(), Bay::switcher);
    EXPECT_FALSE(view().isShowingHelp());
    EXPECT_TRUE(view().guide() == nullptr || !view().guide()->isVisible());

    view().guideButton()->click();
    ASSERT_NE(view().guide(), nullptr);
    view().guide()->doneButton()->click();
    EXPECT_FALSE(view().isShowingHelp());
    EXPECT_EQ(view().bay(), Bay::switcher);

    view().guideButton()->click();
    view().setBay(Bay::general);
    EXPECT_FALSE(view().isShowingHelp());
    EXPECT_EQ(commits(), 0);
}

TEST(PageGuide, ParagraphsCarryTheLiveValues) {
    const GuideFacts facts{{"Ctrl", "Alt", "K"}, 300, false};
    const QStringList general = PellucinePageGuide::paragraphs(facts, Bay::general, "example.org");
    ASSERT_EQ(general.size(), 5);
    EXPECT_TRUE(general[2].startsWith(u"Export Settings writes a file"));
    const GuideFacts synced{{}, 300, true};
    EXPECT_TRUE(PellucinePageGuide::paragraphs(synced, Bay::general, {})[2].startsWith(
        u"Keep settings in sync copies"));

    EXPECT_EQ(PellucinePageGuide::paragraphs(facts, Bay::switcher, {})[3],
              QStringLiteral("Press {F} while the strip is up, or {Ctrl}{Alt}{K} from anywhere, to "
                             "search every window. Type part of a title or app name, then {↩}."));
    EXPECT_EQ(
        PellucinePageGuide::paragraphs({{}, 1000, false}, Bay::dock, {})[0],
        QStringLiteral("Point at Mousepad in the Dock bar and hold still for 1000 ms: its windows "
                       "rise above the icon. Move to the next icon and they swap at once."));
    EXPECT_EQ(PellucinePageGuide::paragraphs(facts, Bay::about, "example.org")[1],
              QStringLiteral("Check Now asks example.org right away and answers here."));
    // Only a copy with the feed is promised a check.
    for (const UpdateSource source : {UpdateSource::packageManager, UpdateSource::none}) {
        const QStringList about =
            PellucinePageGuide::paragraphs({{}, 300, false, source}, Bay::about, "example.org");
        ASSERT_EQ(about.size(), 3);
        EXPECT_TRUE(about[0].contains(u"never checks for updates")) << about[0].toStdString();
        EXPECT_FALSE(about.join(u' ').contains(u"Check Now"));
        EXPECT_FALSE(about.join(u' ').contains(u"once a day"));
    }
    EXPECT_TRUE(PellucinePageGuide::paragraphs({{}, 300, false, UpdateSource::packageManager},
                                               Bay::about, {})[0]
                    .contains(u"package manager"));

    // A key name with a space stays one cap.
    const QList<KeyHint::Token> tokens =
        KeyHint::tokens(PellucinePageGuide::keyRun({"⌘", "Key 123"}));
    ASSERT_EQ(tokens.size(), 2);
    EXPECT_EQ(tokens[1].text, QStringLiteral("Key 123"));

    EXPECT_EQ(PellucinePageGuide::seeAlso(Bay::general), QList<Bay>({Bay::switcher, Bay::about}));
    EXPECT_EQ(PellucinePageGuide::seeAlso(Bay::switcher), QList<Bay>({Bay::dock, Bay::general}));
    EXPECT_EQ(PellucinePageGuide::seeAlso(Bay::dock), QList<Bay>({Bay::switcher}));
    EXPECT_EQ(PellucinePageGuide::seeAlso(Bay::about), QList<Bay>({Bay::general}));
}

}  // namespace
}  // namespace pellucine

#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <tuple>

#include "SettingsFixture.h"
#include "design/FadingScrollView.h"
#include "design/KeyHint.h"
#include "design/NumberWell.h"
#include "design/PaneLink.h"
#include "design/Readout.h"
#include "design/RowText.h"
#include "design/SettingRow.h"
#include "design/YardButton.h"
#include "design/YardCard.h"
#include "design/YardSelect.h"
#include "design/YardSelectList.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"
#include "preferences/PermissionService.h"
#include "settings/DockPage.h"
#include "settings/DockWording.h"
#include "settings/ExcludableApplications.h"
#include "settings/GeneralPage.h"
#include "settings/HotkeyField.h"
#include "settings/OnboardingView.h"
#include "settings/PreviewWidth.h"
#include "settings/SwitchRow.h"
#include "settings/SwitcherPage.h"
#include "support/OpenFailureNotices.h"

namespace pellucine {
namespace {

using Bay = SettingsView::Bay;
using testing::SettingsFixture;

class SettingsPagesTest : public SettingsFixture {
  protected:
    SwitcherPage* switcher() { return page<SwitcherPage>(Bay::switcher); }
    DockPage* dock() { return page<DockPage>(Bay::dock); }
    GeneralPage* general() { return page<GeneralPage>(Bay::general); }

    // Flips the switch as a user would and returns what changed in the records.
    QStringList flip(SwitchRow* row) {
        const PortablePreferences p = portable();
        const MachinePreferences m = machine();
        row->toggle()->click();
        return changedKeys(p, m, portable(), machine());
    }

    void addApplication(qint32 pid, const QString& id, const std::optional<QString>& name,
                        ActivationPolicy policy = ActivationPolicy::regular) {
        RunningApplication app;
        app.processIdentifier = pid;
        app.bundleIdentifier = id;
        app.localizedName = name;
        app.activationPolicy = policy;
        desktop.addApplication(app);
    }
    QStringList optionTitles() {
        QStringList titles;
        for (const SelectOption& option : switcher()->excludeSelect()->options()) {
            titles << option.title;
        }
        return titles;
    }
};

TEST_F(SettingsPagesTest, EachSwitchChangesExactlyItsOwnSettingWithOneCommit) {
    shown();
    const QMap<QString, QString> fields{
        {"Minimized windows", "includeMinimizedWindows"},
        {"Windows from other desktops (workspaces)", "includeWindowsFromOtherSpaces"},
        {"Windows from other displays", "includeWindowsFromOtherDisplays"},
        {"Show a full-size peek while hovering a preview", "enableFullSizeHoverPeek"},
        {"Keep recent previews ready", "keepPreviewsReady"},
        {"Keep password managers private", "keepPasswordManagersPrivate"},
        {"Window search", "machine.windowSearchEnabled"},
        {"Show previews when I point at a Dock app", "enableDockHoverPreviews"},
        {"Show window controls", "showDockPreviewControls"},
        {"Skip apps with only one window", "skipSingleWindowDockPreviews"},
        {"Show in the Dock and the app switcher", "machine.showInDockAndAppSwitcher"},
        {"Show the tray icon", "machine.showMenuBarIcon"},
    };
    int flipped = 0;
    for (const Bay bay : {Bay::switcher, Bay::dock, Bay::general}) {
        view().setBay(bay);
        for (SwitchRow* row : view().page()->findChildren<SwitchRow*>()) {
            const QString label = row->toggle()->label();
            if (!fields.contains(label)) {
                continue;  // launch at login and sync have their own tests
            }
            for (int time = 0; time < 2; ++time) {
                const int before = commits();
                const bool was = row->toggle()->isChecked();
                EXPECT_EQ(flip(row), QStringList{fields[label]}) << label.toStdString();
                EXPECT_EQ(commits(), before + 1) << label.toStdString();
                EXPECT_EQ(row->toggle()->isChecked(), !was) << label.toStdString();
            }
            ++flipped;
        }
    }
    EXPECT_EQ(flipped, fields.size());
}

TEST_F(SettingsPagesTest, RecordsChangedElsewhereShowWithoutCountingAsChanges) {
    shown();
    SwitcherPage* page = switcher();
    PortablePreferences imported = portable();
    imported.previewWidth = 600.5;
    imported.includeMinimizedWindows = false;
    imported.excludedDockAppBundleIdentifiers = {"org.a.alpha"};
    model->portablePreferences().set(imported);
    MachinePreferences other = machine();
    other.windowSearchEnabled = false;
    other.windowSearchHotkey = {40, KeyCombo::control | KeyCombo::option};
    model->machinePreferences().set(other);
    model->loginItem().refresh();
    model->syncStatus().set(AppModel::SyncStatus::syncing());

    EXPECT_EQ(page->widthSlider()->value(), PreviewWidth::sliderStep(600));
    EXPECT_EQ(page->widthReadout()->text(), QStringLiteral("600 px"));
    EXPECT_EQ(page->widthWord()->text(), QStringLiteral("Standard"));
    for (const SwitcherPage::PresetChip* chip : page->presetChips()) {
        EXPECT_FALSE(chip->isSelected());
    }
    EXPECT_FALSE(page->switches().first()->toggle()->isChecked());
    EXPECT_EQ(page->hotkeyField()->combo(), other.windowSearchHotkey);
    EXPECT_FALSE(page->hotkeyField()->isEnabled());
    EXPECT_EQ(page->excludedRows(), QStringList{"org.a.alpha"});
    EXPECT_EQ(portable().previewWidth, 600.5);

    for (const Bay bay : {Bay::dock, Bay::general, Bay::switcher}) {
        view().setBay(bay);
    }
    EXPECT_EQ(commits(), 0);
    EXPECT_EQ(portable(), imported);
}

TEST(PreviewWidth, WordsReadoutsPresetsAndSteps) {
    const QList<std::pair<double, QString>> words{
        {360, "Compact"},  {480, "Compact"},    {499.99, "Compact"}, {500, "Standard"},
        {680, "Standard"}, {699.9, "Standard"}, {700, "Large"},      {800, "Large"}};
    for (const auto& [width, word] : words) {
        EXPECT_EQ(PreviewWidth::word(width), word) << width;
    }
    EXPECT_EQ(PreviewWidth::readout(600.5), QStringLiteral("600 px"));
    EXPECT_EQ(PreviewWidth::readout(799.99), QStringLiteral("799 px"));
    EXPECT_EQ(PreviewWidth::selectedPreset(600), 1);
    for (const double width : {600.5, 610.0, 640.0, 0.0}) {
        EXPECT_EQ(PreviewWidth::selectedPreset(width), std::nullopt) << width;
    }
    EXPECT_EQ(PreviewWidth::sliderStep(360), 0);
    EXPECT_EQ(PreviewWidth::sliderStep(800), 22);
    EXPECT_EQ(PreviewWidth::sliderStep(5000), 22);
    EXPECT_EQ(PreviewWidth::sliderStep(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(PreviewWidth::widthAtStep(12), 600);
    EXPECT_EQ(PreviewWidth::widthAtStep(-3), 360);
}

TEST_F(SettingsPagesTest, ADragCommitsOnceAndKeysAndChipsCommitEachChange) {
    shown();
    QSlider* slider = switcher()->widthSlider();
    slider->setSliderDown(true);
    for (int step = PreviewWidth::sliderStep(620); step <= PreviewWidth::sliderStep(700); ++step) {
        slider->setSliderPosition(step);
        EXPECT_EQ(portable().previewWidth, PreviewWidth::widthAtStep(step));
    }
    EXPECT_EQ(switcher()->widthWord()->text(), QStringLiteral("Large"));
    EXPECT_EQ(commits(), 0);
    slider->setSliderDown(false);
    EXPECT_EQ(commits(), 1);
    EXPECT_TRUE(view().saving().isSaved());

    slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(portable().previewWidth, 720);
    EXPECT_EQ(commits(), 2);

    SwitcherPage::PresetChip* large = switcher()->presetChips().last();
    EXPECT_EQ(large->accessibleName(), QStringLiteral("Large preview width"));
    large->click();
    EXPECT_EQ(portable().previewWidth, 760);
    EXPECT_TRUE(large->isSelected());
    EXPECT_EQ(slider->value(), PreviewWidth::sliderStep(760));
    large->click();
    EXPECT_EQ(commits(), 4);
}

TEST_F(SettingsPagesTest, TheWheelOverTheWidthSliderScrollsThePageUntilTheSliderHasFocus) {
    shown();
    settingsWindow().resize(settingsWindow().minimumSize());
    QSlider* slider = switcher()->widthSlider();
    QScrollBar* scroll = view().pageArea()->verticalScrollBar();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    ASSERT_GT(scroll->maximum(), 0);
    const auto wheel = [slider](int notches) {
        const QPointF at = QRectF(slider->rect()).center();
        QWheelEvent event(at, slider->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        // As the mouse sends it: only such a wheel goes on to the parents when it is ignored.
        QSpontaneKeyEvent::setSpontaneous(&event);
        QCoreApplication::instance()->notify(slider, &event);
    };
    const double width = portable().previewWidth;
    wheel(3);
    EXPECT_EQ(portable().previewWidth, width);
    EXPECT_GT(scroll->value(), 0);
    EXPECT_FALSE(slider->hasFocus());
    EXPECT_EQ(commits(), 0);

    // Focused, the slider is what the user means to move.
    QApplication::setActiveWindow(&settingsWindow());
    slider->setFocus();
    const int scrolled = scroll->value();
    wheel(1);
    EXPECT_NE(portable().previewWidth, width);
    EXPECT_EQ(scroll->value(), scrolled);
    EXPECT_EQ(commits(), 1);
}

TEST_F(SettingsPagesTest, TurningKeepReadyOffEmptiesTheCacheBeforeTheCommit) {
    shown();
    model->previewCache().store(QImage(4, 4, QImage::Format_RGB32), 7, scheduler.now());
    SwitchRow* row = switcher()->keepReadyRow();
    EXPECT_TRUE(row->text()->hint()->text().startsWith(u"Each window's last picture"));
    row->toggle()->click();
    EXPECT_TRUE(model->previewCache().entries().empty());
    EXPECT_FALSE(store.loadPortablePreferences().keepPreviewsReady);
    EXPECT_TRUE(row->text()->hint()->text().startsWith(u"Pictures are taken only"));
    row->toggle()->click();
    EXPECT_TRUE(model->previewCache().entries().empty());
    EXPECT_EQ(switcher()->switches().at(5)->text()->hint()->text(),
              QStringLiteral("Listed, never photographed: 1Password, KeePassXC, Bitwarden, and "
                             "others."));
}

TEST_F(SettingsPagesTest, TheSwitcherCardShowsTheKeysInEffectAndWhy) {
    const auto texts = [this] {
        SwitcherPage* page = switcher();
        const YardText* shownNote = page->keysCard()->note();
        const std::optional<QString> note =
            shownNote->isHidden() ? std::nullopt : std::optional(shownNote->text());
        const QString search = page->switches().at(6)->text()->keyHint()->templateText();
        return std::tuple(page->keysCard()->kicker()->text(), note,
                          page->keysHint()->templateText(), search);
    };
    const auto [title, note, hint, search] = texts();
    EXPECT_EQ(title, QStringLiteral("SUPER+TAB"));
    EXPECT_EQ(note, std::nullopt);
    EXPECT_TRUE(hint.startsWith(u"Hold {Super} and press {Tab}:")) << hint.toStdString();
    EXPECT_TRUE(search.contains(u"{F} while {Super}{Tab} is up")) << search.toStdString();

    window.reset();
    const SwitcherBinding fallback{KeyModifiers::command | KeyModifiers::control};
    desktop.simulatedSwitcher().setBinding(fallback);
    const auto [fallbackTitle, fallbackNote, fallbackHint, fallbackSearch] = texts();
    EXPECT_EQ(fallbackTitle, QStringLiteral("SUPER+CTRL+TAB"));
    EXPECT_EQ(fallbackNote, SwitcherBinding::notice(fallback));
    EXPECT_TRUE(fallbackHint.startsWith(u"Hold {Super}{Ctrl} and press {Tab}:"));
    EXPECT_TRUE(fallbackSearch.contains(u"{F} while {Super}{Ctrl}{Tab} is up"));

    window.reset();
    desktop.simulatedSwitcher().setBinding(std::nullopt);
    const auto [offTitle, offNote, offHint, offSearch] = texts();
    EXPECT_EQ(offTitle, QStringLiteral("SUPER+TAB"));
    ASSERT_TRUE(offNote);
    EXPECT_TRUE(offNote->contains(u"switcher is off")) << offNote->toStdString();
}

TEST_F(SettingsPagesTest, TheHotkeyIsStoredMaskedAndTheConflictShowsOnlyWithSearchOn) {
    shown();
    SwitcherPage* page = switcher();
    EXPECT_EQ(page->hotkeyField()->accessibleName(),
              QStringLiteral("Window search hotkey, Shift Super Space"));
    // Caps Lock and Fn bits never reach the record.
    emit page->hotkeyField()->onChange(KeyCombo{49, 0x10000 | 0x800000 | KeyCombo::command});
    EXPECT_EQ(machine().windowSearchHotkey, (KeyCombo{49, KeyCombo::command}));
    EXPECT_EQ(commits(), 1);
    EXPECT_EQ(page->hotkeyField()->combo(), machine().windowSearchHotkey);

    EXPECT_FALSE(page->conflictLine()->isVisibleTo(page));
    model->windowSearchHotkeyProblem().set(QStringLiteral("macOS: Spotlight"));
    EXPECT_TRUE(page->conflictLine()->isVisibleTo(page));
    EXPECT_EQ(page->conflictLabel()->text(),
              QStringLiteral("Also held by macOS: Spotlight. Pick another combination, or change "
                             "it there."));
    page->switches().at(6)->toggle()->click();  // window search off
    EXPECT_FALSE(page->conflictLine()->isVisibleTo(page));
    EXPECT_FALSE(page->hotkeyField()->isEnabled());
    page->hotkeyField()->click();
    EXPECT_FALSE(page->hotkeyField()->isRecording());
    page->switches().at(6)->toggle()->click();
    EXPECT_TRUE(page->conflictLine()->isVisibleTo(page));
}

TEST(ExcludableApplications, KeepsRegularOthersAndSortsByNameIgnoringCase) {
    qint32 pid = 100;
    const auto app = [&pid](const char* id, const char* name,
                            ActivationPolicy policy = ActivationPolicy::regular) {
        RunningApplication a;
        a.processIdentifier = ++pid;
        a.bundleIdentifier = id ? std::optional<QString>(id) : std::nullopt;
        a.localizedName = name ? std::optional<QString>(name) : std::nullopt;
        a.activationPolicy = policy;
        return a;
    };
    const QList<RunningApplication> running{
        app("com.g", "gamma"),    app("com.own", "Pellucine"),
        app("com.b", "Beta"),     app("com.agent", "Agent", ActivationPolicy::accessory),
        app(nullptr, "Nameless"), app("com.x", "Excluded"),
        app("com.a", "alpha"),    app("com.b2", "Beta"),
        app("org.zz", nullptr),
    };
    QStringList ids;
    for (const RunningApplication& a :
         ExcludableApplications::list(running, {QStringLiteral("com.own"), 1}, {"com.x"})) {
        ids << *a.bundleIdentifier;
    }
    EXPECT_EQ(ids, QStringList({"com.a", "com.b", "com.b2", "com.g", "org.zz"}));
    EXPECT_EQ(ExcludableApplications::list(running, {std::nullopt, 1}, {}).size(), 7);
}

TEST(ExcludableApplications, OffersEachApplicationOnceAndNeverTheProgramItself) {
    const auto app = [](qint32 pid, const char* id, const char* name) {
        RunningApplication a;
        a.processIdentifier = pid;
        a.bundleIdentifier = QString::fromUtf8(id);
        a.localizedName = QString::fromUtf8(name);
        return a;
    };
    RunningApplication ownByAlias = app(40, "pellucine", "PELLUCINE");
    ownByAlias.aliases = {QStringLiteral("com.orrinvale.pellucine")};
    const QList<RunningApplication> running{
        app(20, "xterm", "XTerm"),      app(21, "xterm", "XTerm"),
        app(7, "pellucine-dev", "Dev"), ownByAlias,
        app(22, "xterm", "XTerm"),      app(30, "org.xfce.mousepad", "Mousepad")};
    const ExcludableApplications::Own own{QStringLiteral("com.orrinvale.pellucine"), 7};
    const QList<RunningApplication> offered = ExcludableApplications::list(running, own, {});
    QStringList titles;
    for (const RunningApplication& a : offered) {
        titles << ExcludableApplications::title(a);
    }
    // The own process by its number, the own application by its alias; XTerm once, its first.
    EXPECT_EQ(titles, QStringList({"Mousepad", "XTerm"}));
    EXPECT_EQ(offered.last().processIdentifier, 20);
    // Left out already: none of its processes comes back.
    EXPECT_EQ(ExcludableApplications::list(running, own, {"xterm"}).size(), 1);
}

TEST_F(SettingsPagesTest, LeavingAppsOutAndBringingThemBack) {
    addApplication(11, "org.a.alpha", "Alpha");
    addApplication(12, "com.b.zed", "Zed");
    addApplication(13, "com.orrinvale.pellucine", "Pellucine");
    applicationNames = [](const QString& id) -> std::optional<QString> {
        if (id == QLatin1String("com.b.zed")) {
            return QStringLiteral("Zed");
        }
        return std::nullopt;
    };
    shown();
    SwitcherPage* page = switcher();
    EXPECT_EQ(optionTitles(), QStringList({"Alpha", "Zed"}));
    EXPECT_EQ(page->emptyExclusionsText()->text(), QStringLiteral("Every app shows previews."));

    page->excludeSelect()->setOpen(true);
    QTest::keyClick(page->excludeSelect()->list(), Qt::Key_Return);
    page->chooseApplication(QStringLiteral("com.b.zed"));
    EXPECT_EQ(portable().excludedDockAppBundleIdentifiers,
              QStringList({"com.b.zed", "org.a.alpha"}));
    EXPECT_EQ(commits(), 2);
    EXPECT_FALSE(page->excludeSelect()->selection().isValid());
    EXPECT_TRUE(optionTitles().isEmpty());
    // Ordered by identifier, labelled by the installed name or else the identifier.
    EXPECT_EQ(page->excludedRows(), QStringList({"Zed", "org.a.alpha"}));

    // Gone, or already out: nothing changes.
    page->chooseApplication(QStringLiteral("org.a.alpha"));
    page->chooseApplication(QStringLiteral("com.quit.meanwhile"));
    EXPECT_EQ(commits(), 2);

    auto* again =
        view().page()->findChild<QWidget*>(QStringLiteral("com.b.zed"))->findChild<YardButton*>();
    ASSERT_NE(again, nullptr);
    again->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(portable().excludedDockAppBundleIdentifiers, QStringList{"org.a.alpha"});
    EXPECT_EQ(optionTitles(), QStringList{"Zed"});

    // A new process keeps them.
    close();
    window.reset();
    PreferenceStore restarted(store.defaults(), temp.paths(), scheduler.clocks().wall, events);
    EXPECT_EQ(restarted.loadPortablePreferences().excludedDockAppBundleIdentifiers,
              QStringList{"org.a.alpha"});
}

TEST_F(SettingsPagesTest, DockRowsFollowTheSwitchAndTheLinkSavesNothing) {
    shown();
    DockPage* page = dock();
    model->portablePreferences().modify(
        [](PortablePreferences& p) { p.dockHoverDelayMilliseconds = 450; });
    page->previewsSwitch()->toggle()->click();
    EXPECT_FALSE(page->dependentRows()->isVisibleTo(page));
    EXPECT_EQ(portable().dockHoverDelayMilliseconds, 450);
    page->previewsSwitch()->toggle()->click();
    EXPECT_TRUE(page->dependentRows()->isVisibleTo(page));
    EXPECT_EQ(page->delayWell()->value(), 450);
    const int before = commits();
    page->switcherLink()->click();
    EXPECT_EQ(view().bay(), Bay::switcher);
    EXPECT_EQ(commits(), before);
}

TEST_F(SettingsPagesTest, DockRowsSpanTheCardShowEveryHintLineAndStayPutWhenPreviewsFlip) {
    shown();
    DockPage* page = dock();
    QWidget* card = page->parentWidget();
    const auto laidOut = [] { QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); };
    laidOut();
    EXPECT_EQ(page->width(), card->width() - 2 * YardCard::sidePadding);
    const QList<SettingRow*> rows = page->findChildren<SettingRow*>();
    ASSERT_EQ(rows.size(), 5);
    for (const SettingRow* row : rows) {
        SCOPED_TRACE(row->text()->label()->text().toStdString());
        const QRect control(row->control()->mapTo(page, QPoint()), row->control()->size());
        EXPECT_EQ(row->mapTo(page, QPoint(row->width(), 0)).x(), page->width());
        EXPECT_EQ(control.right(), page->width() - 1);
        if (const YardText* hint = row->text()->hint()) {
            EXPECT_GE(hint->height(), hint->heightForWidth(hint->width()));
        }
    }

    auto* toggle = page->previewsSwitch()->toggle();
    const QPoint at = toggle->mapToGlobal(QPoint());
    toggle->click();
    laidOut();
    EXPECT_EQ(toggle->mapToGlobal(QPoint()), at);
    EXPECT_EQ(page->width(), card->width() - 2 * YardCard::sidePadding);
    toggle->click();
    laidOut();
    EXPECT_EQ(toggle->mapToGlobal(QPoint()), at);
}

TEST_F(SettingsPagesTest, LeftOutAppsTheHotkeyAndTheResetQuestionSitWhereTheyBelong) {
    shown();
    // New rows are shown, then laid out, by posted events.
    const auto laidOut = [] {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    SwitcherPage* page = switcher();
    laidOut();
    // The empty line and its rule take the card's width, and the line its every word.
    YardText* empty = page->emptyExclusionsText();
    ASSERT_NE(empty, nullptr);
    QWidget* column = page->excludeSelect()->parentWidget()->parentWidget();
    const auto rightEdge = [column](const QWidget* widget) {
        return widget->mapTo(column, QPoint(widget->width(), 0)).x();
    };
    EXPECT_EQ(rightEdge(empty), rightEdge(page->excludeSelect()));
    EXPECT_GE(empty->height(), empty->heightForWidth(empty->width()));
    EXPECT_EQ(empty->heightForWidth(empty->width()), QFontMetrics(empty->font()).height());
    // The hotkey's label stands on the field's caption baseline.
    const auto* hotkeyRow = qobject_cast<SettingRow*>(page->hotkeyField()->parentWidget());
    ASSERT_NE(hotkeyRow, nullptr);
    const YardText* label = hotkeyRow->text()->label();
    EXPECT_EQ(label->mapTo(hotkeyRow, QPoint(0, label->firstBaseline())).y(),
              page->hotkeyField()->y() + page->hotkeyField()->firstBaseline());
    // A left-out app's button stands at the card's trailing edge.
    model->portablePreferences().modify(
        [](PortablePreferences& p) { p.excludedDockAppBundleIdentifiers = {"org.a.alpha"}; });
    laidOut();
    const QList<SettingRow*> rows = page->findChildren<SettingRow*>(QStringLiteral("org.a.alpha"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rightEdge(rows.first()->control()), rightEdge(page->excludeSelect()));

    GeneralPage* general = this->general();
    view().transfer().setConfirmingReset(true);
    laidOut();
    const auto* question =
        general->resetConfirmation()->findChild<YardText*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->heightForWidth(question->width()), QFontMetrics(question->font()).height());
    QWidget* card = general->resetButton()->parentWidget()->parentWidget();
    EXPECT_EQ(general->keepButton()->mapTo(card, QPoint(general->keepButton()->width(), 0)).x(),
              general->resetButton()->mapTo(card, QPoint(general->resetButton()->width(), 0)).x());
    EXPECT_EQ(general->resetButton()->mapTo(card, QPoint(general->resetButton()->width(), 0)).x(),
              card->width() - YardCard::sidePadding);
}

TEST_F(SettingsPagesTest, TheDelayWellCommitsClampedChangesAndEscapeStaysInIt) {
    shown();
    QApplication::setActiveWindow(&settingsWindow());
    DockPage* page = dock();
    QLineEdit* field = page->delayWell()->field();
    const QList<std::pair<QString, qint64>> typed{{"50", 100}, {"5000", 1000}, {"1000", 1000}};
    int expectedCommits = 0;
    for (const auto& [text, stored] : typed) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
        expectedCommits += text == QLatin1String("1000") ? 0 : 1;
        EXPECT_EQ(portable().dockHoverDelayMilliseconds, stored) << text.toStdString();
        EXPECT_EQ(commits(), expectedCommits) << text.toStdString();
    }
    field->setFocus();
    QTest::keyClicks(field, "7");
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(settingsWindow().isVisible());
    EXPECT_EQ(portable().dockHoverDelayMilliseconds, 1000);
}

TEST_F(SettingsPagesTest, EveryLayoutChoiceCommitsEvenTheSameOne) {
    shown();
    YardSelect* select = dock()->layoutSelect();
    QStringList titles;
    for (const SelectOption& option : select->options()) {
        titles << option.title;
    }
    EXPECT_EQ(titles, QStringList({"Automatic", "Thumbnails", "Compact List"}));
    for (int time = 1; time <= 2; ++time) {
        select->setOpen(true);
        if (time == 1) {
            QTest::keyClick(select->list(), Qt::Key_Down);
        }
        QTest::keyClick(select->list(), Qt::Key_Return);
        EXPECT_EQ(portable().dockPreviewStyle, DockPreviewStyle::thumbnails);
        EXPECT_EQ(select->selectedTitle(), QStringLiteral("Thumbnails"));
        EXPECT_EQ(commits(), time);
    }
}

TEST(GeneralPageRules, LaunchHintAndSyncHintSayWhatIsTrue) {
    const QString plain = "Starts quietly, so previews work from your first switch of the day.";
    const QString approval = "Your desktop needs your OK in its autostart settings.";
    EXPECT_EQ(GeneralPage::launchAtLoginHint(false, std::nullopt), plain);
    EXPECT_EQ(GeneralPage::launchAtLoginHint(true, QStringLiteral("refused")), approval);
    EXPECT_EQ(GeneralPage::launchAtLoginHint(false, QStringLiteral("refused")), "refused");

    EXPECT_TRUE(
        GeneralPage::syncHint(false, QStringLiteral("/s")).startsWith(u"This build doesn't sync."));
    EXPECT_TRUE(GeneralPage::syncHint(true, std::nullopt).endsWith(u"to turn this on."));
    EXPECT_TRUE(GeneralPage::syncHint(true, QStringLiteral("/s")).endsWith(u"through /s."));
    // A folder chosen while the switch is off is not said to be syncing.
    EXPECT_TRUE(
        GeneralPage::syncHint(true, QStringLiteral("/s"), false).startsWith(u"Turn this on"));
}

TEST_F(SettingsPagesTest, LaunchAtLoginShowsTheSystemsAnswerAndNeverCommits) {
    shown();
    GeneralPage* page = general();
    SimulatedLoginItems& items = desktop.simulatedLoginItems();
    items.failRequests(QStringLiteral("Permission denied"));
    page->launchAtLoginRow()->toggle()->click();
    EXPECT_FALSE(page->launchAtLoginRow()->toggle()->isChecked());
    EXPECT_EQ(page->launchAtLoginRow()->text()->hint()->text(),
              QStringLiteral("The desktop didn't allow it: Permission denied"));
    EXPECT_EQ(view().loginItemError(), page->launchAtLoginRow()->text()->hint()->text());

    items.setStatus(LoginItemStatus::requiresApproval);
    model->loginItem().refresh();
    EXPECT_TRUE(
        page->launchAtLoginRow()->text()->hint()->text().startsWith(u"Your desktop needs your OK"));
    EXPECT_TRUE(page->openLoginItemsButton()->isVisibleTo(page));
    items.setStatus(LoginItemStatus::notRegistered);
    model->loginItem().refresh();
    EXPECT_TRUE(page->launchAtLoginRow()->text()->hint()->text().startsWith(u"The desktop didn't"));
    EXPECT_FALSE(page->openLoginItemsButton()->isVisibleTo(page));

    items.failRequests(std::nullopt);
    page->launchAtLoginRow()->toggle()->click();
    EXPECT_TRUE(page->launchAtLoginRow()->toggle()->isChecked());
    EXPECT_TRUE(page->launchAtLoginRow()->text()->hint()->text().startsWith(u"Starts quietly"));
    EXPECT_EQ(items.requests(), QStringList({"register", "register"}));
    EXPECT_EQ(commits(), 0);
}

TEST_F(SettingsPagesTest, TheAutostartFolderIsMadeAndOneNothingOpensIsOfferedForCopying) {
    shown();
    const QString folder = temp.paths().defaults + "/autostart";
    desktop.simulatedSession().setRefusesUrls(true);
    general()->openLoginItemsButton()->click();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(desktop.simulatedSession().openedUrls(), QList<QUrl>{QUrl::fromLocalFile(folder)});
    EXPECT_EQ(testing::takeOpenFailureNotices(),
              (QList<std::pair<QString, QString>>{{"No file manager opened the folder.", folder}}));
}

TEST_F(SettingsPagesTest, TheSyncSwitchNeedsAFolderAndAChosenFolderIsUsedAtOnce) {
    shown();
    GeneralPage* page = general();
    YardSwitch* toggle = page->syncRow()->toggle();
    EXPECT_FALSE(page->syncStatusLine()->isVisibleTo(page));
    EXPECT_TRUE(page->chooseFolderButton()->isVisibleTo(page));
    EXPECT_TRUE(page->syncRow()->text()->hint()->text().endsWith(u"to turn this on."));

    // Without a folder the switch asks for one, and a cancelled choice leaves it off.
    toggle->click();
    EXPECT_FALSE(toggle->isChecked());
    dialogs.answerFolder(std::nullopt);
    scheduler.runUntilIdle();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(portable().syncEnabled);
    EXPECT_EQ(sync.pullCount, 0);

    toggle->click();
    dialogs.answerFolder(temp.file("Sync"));
    scheduler.runUntilIdle();
    EXPECT_EQ(defaults.value(QStringLiteral("cloudSyncFolder")).toString(), temp.file("Sync"));
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(sync.pullCount, 1);
    EXPECT_EQ(sync.pushed.size(), 1);
    EXPECT_EQ(
        page->syncRow()->text()->hint()->text(),
        "Your settings stay up to date across your computers through " + temp.file("Sync") + ".");

    // Another folder while on: pulled from and pushed to straight away.
    page->chooseFolderButton()->click();
    dialogs.answerFolder(temp.file("Other"));
    scheduler.runUntilIdle();
    EXPECT_EQ(sync.pullCount, 2);
    EXPECT_EQ(sync.pushed.size(), 2);

    sync.pullSteps.push_back({0, CloudStoreError(CloudErrorCode::accountTemporarilyUnavailable)});
    page->chooseFolderButton()->click();
    dialogs.answerFolder(temp.file("Gone"));
    scheduler.runUntilIdle();
    EXPECT_EQ(sync.pullCount, 3);
    EXPECT_EQ(sync.pushed.size(), 2) << "what could not be read is never overwritten";
    EXPECT_TRUE(page->syncStatusLine()->isVisibleTo(page));
    EXPECT_EQ(page->syncStatusLine()->ink(), &Yard::Palette::accentType);
    EXPECT_TRUE(page->syncStatusLine()->text().startsWith(u"Sync folder not found."));
    // The whole message shows, wrapped to the card's width.
    settingsWindow().resize(settingsWindow().minimumSize());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    YardText* line = page->syncStatusLine();
    EXPECT_GE(line->height(), line->heightForWidth(line->width()));
    EXPECT_EQ(page->syncingReadout()->text(), QStringLiteral("on"));

    toggle->click();
    EXPECT_FALSE(page->syncStatusLine()->isVisibleTo(page));
    EXPECT_EQ(page->syncingReadout()->text(), QStringLiteral("off"));
    // A folder chosen while off is kept for later and starts nothing.
    page->chooseFolderButton()->click();
    dialogs.answerFolder(temp.file("Later"));
    scheduler.runUntilIdle();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(sync.pullCount, 3);
    EXPECT_EQ(defaults.value(QStringLiteral("cloudSyncFolder")).toString(), temp.file("Later"));
    EXPECT_TRUE(page->syncRow()->text()->hint()->text().startsWith(u"Turn this on"));
}

TEST_F(SettingsPagesTest, ResetAsksOnceAndKeepChangesNothing) {
    shown();
    GeneralPage* page = general();
    view().saving().commitPortable([](PortablePreferences& p) { p.previewWidth = 420; });
    page->resetButton()->click();
    EXPECT_FALSE(page->resetButton()->isEnabled());
    EXPECT_TRUE(page->resetConfirmation()->isVisibleTo(page));
    page->keepButton()->click();
    EXPECT_FALSE(page->resetConfirmation()->isVisibleTo(page));
    EXPECT_EQ(portable().previewWidth, 420);
    EXPECT_EQ(commits(), 1);

    page->resetButton()->click();
    page->confirmResetButton()->click();
    EXPECT_EQ(portable().previewWidth, 600);
    EXPECT_FALSE(page->resetConfirmation()->isVisibleTo(page));
    EXPECT_TRUE(page->resetButton()->isEnabled());
    EXPECT_EQ(commits(), 2);
}

TEST(GeneralPageRules, TheUpdateCheckRowPromisesACheckOnlyWithTheFeed) {
    using Texts = GeneralPage::UpdateCheckTexts;
    const auto texts = [](UpdateSource source, bool automatic) {
        const Texts t = GeneralPage::updateCheckTexts(source, automatic, "h.example.com");
        return std::pair(t.hint, t.readout);
    };
    EXPECT_EQ(texts(UpdateSource::feed, true),
              std::pair(QString("From h.example.com. Sends only PELLUCINE's version."),
                        QString("once a day")));
    EXPECT_EQ(texts(UpdateSource::feed, false).second, "off");
    for (const bool automatic : {true, false}) {
        EXPECT_EQ(texts(UpdateSource::packageManager, automatic),
                  std::pair(QString("Never: new versions come from your package manager or a "
                                    "new install."),
                            QString("never")));
        EXPECT_EQ(texts(UpdateSource::none, automatic),
                  std::pair(QString("Never: this build has no update feed."), QString("never")));
    }
}

TEST_F(SettingsPagesTest, ABuildWithoutAFeedListsNoCheckAmongWhatLeavesThisComputer) {
    shown();
    GeneralPage* page = general();
    EXPECT_EQ(page->updateChecksReadout()->text(), QStringLiteral("never"));
    EXPECT_FALSE(page->changeLink()->isVisibleTo(page));
    view().saving().commitMachine([](MachinePreferences& m) { m.automaticUpdateChecks = false; });
    EXPECT_EQ(page->updateChecksReadout()->text(), QStringLiteral("never"));
    EXPECT_EQ(commits(), 1);
}

// The Dock page, shown again, and the welcome window's Dock step, once told, name the Dock the
// previews sit on now.
TEST_F(SettingsPagesTest, TheDockPageAndTheWelcomeDockStepNameTheDockInUse) {
    PermissionService permissions(desktop, scheduler, events);
    OnboardingView welcome(permissions, scheduler, OnboardingView::Step::dock, {}, {});
    shown();
    ASSERT_NE(dock(), nullptr);
    using Kind = SystemDock::Kind;
    const QList<std::pair<const char*, Kind>> rows{{"a taskbar", Kind::taskbar},
                                                   {"none", Kind::none},
                                                   {"the Dock bar", Kind::dockBar},
                                                   {"the desktop's own Dock", Kind::systemDock}};
    for (const auto& [name, kind] : rows) {
        SCOPED_TRACE(name);
        desktop.simulatedDockRequests().setKind(kind);
        close();
        shown();
        const DockWording wording = DockWording::of(kind);
        DockPage* page = view().page()->findChild<DockPage*>();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->dockLine()->text(), wording.inUse);
        EXPECT_TRUE(page->previewsSwitch()->toggle()->label().endsWith(u' ' + wording.appNoun +
                                                                       QStringLiteral(" app")));
        welcome.setDock(desktop.systemDock().kind());
        EXPECT_EQ(welcome.dockHeading()->text(), wording.heading);
    }
    EXPECT_EQ(commits(), 0);
}

}  // namespace
}  // namespace pellucine

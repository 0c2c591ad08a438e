#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTest>

#include "../DiagnosticsBench.h"
#include "../ReportBench.h"
#include "design/FadingScrollView.h"
#include "design/PaneLink.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "diagnostics/DiagnosticsWindow.h"
#include "diagnostics/FileDialogSavePanel.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;
using testing::eventLine;
using testing::eventLines;
using testing::runUntil;

class DiagnosticsViewTest : public testing::DiagnosticsFixture {
  protected:
    DiagnosticsWindow& open(std::function<void()> showPermissions = {}) {
        if (!window) {
            if (!showPermissions) {
                showPermissions = [this] { ++permissionRequests; };
            }
            window = std::make_unique<DiagnosticsWindow>(
                DiagnosticsView::Context{diagnostics(), panel, std::move(showPermissions)});
        }
        window->present();
        QApplication::setActiveWindow(window.get());
        return *window;
    }
    DiagnosticsView& view() { return *window->view(); }
    QString cell(int index) { return DiagnosticsView::cellValue(view().cells()[index]); }
    PaneLink* fix(int index) { return DiagnosticsView::cellFixLink(view().cells()[index]); }
    int rowCount() {
        return static_cast<int>(
            view().eventList()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size());
    }

    int permissionRequests = 0;
    std::unique_ptr<DiagnosticsWindow> window;
};

TEST_F(DiagnosticsViewTest, ShowsTheNewestHundredAndFiftyEventsWhenShown) {
    writeLog(eventLines(200));
    open();
    EXPECT_EQ(window->windowTitle(), u"PELLUCINE Diagnostics"_s);
    EXPECT_EQ(window->size(), QSize(760, 560));
    EXPECT_EQ(window->minimumSize(), QSize(680, 460));
    EXPECT_EQ(waits, 1);
    ASSERT_EQ(view().entries().size(), 150);
    EXPECT_TRUE(view().entries().first().detail.contains(u"200"_s));
    EXPECT_TRUE(view().entries().last().detail.contains(u"51"_s));
    EXPECT_EQ(cell(3), u"Newest 150"_s);
    EXPECT_EQ(rowCount(), 150);
    EXPECT_FALSE(view().emptyText()->isVisible());

    // Events written while the window is open wait for "Refresh"; a line that cannot be read
    // is missing from the list.
    writeLog(eventLines(148) + "{torn\n" + eventLine(149, "later") + '\n');
    EXPECT_EQ(view().entries().size(), 150);
    view().refreshButton()->click();
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(view().entries().size(), 149);
    EXPECT_EQ(view().entries().first().title, u"Later"_s);
    EXPECT_EQ(cell(3), u"149"_s);
    EXPECT_EQ(rowCount(), 149);

    writeLog({});
    view().refresh();
    EXPECT_EQ(cell(3), u"0"_s);
    EXPECT_TRUE(view().emptyText()->isVisible());
    EXPECT_EQ(view().emptyText()->text(), u"Nothing recorded yet. Use PELLUCINE, then refresh."_s);
    EXPECT_FALSE(view().scrollView()->isVisible());
}

TEST_F(DiagnosticsViewTest, ARowShowsItsDetailOnlyWhenItHasOne) {
    writeLog(R"({"event":"quit","at":"2026-03-14T09:26:53.589Z"})"
             "\n" +
             eventLine(7) + '\n');
    open();
    const auto rows = view().eventList()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(rows.size(), 2);
    // Newest first: the row with a detail, then the one without.
    EXPECT_EQ(rows[0]->findChildren<YardText*>().size(), 3);
    EXPECT_EQ(rows[1]->findChildren<YardText*>().size(), 2);
}

TEST_F(DiagnosticsViewTest, PermissionCellsFollowTheModelWithAFixForAnythingMissing) {
    model->permissions().accessibility().set(PermissionState::granted);
    model->permissions().screenRecording().set(PermissionState::restartRequired);
    open();
    EXPECT_EQ(cell(0), u"Granted"_s);
    EXPECT_EQ(fix(0), nullptr);
    EXPECT_EQ(cell(1), u"Turn on, then relaunch"_s);
    ASSERT_NE(fix(1), nullptr);
    EXPECT_EQ(fix(1)->title(), u"Fix…"_s);
    EXPECT_EQ(cell(2), u"2"_s);

    model->permissions().accessibility().set(PermissionState::notDetermined);
    model->permissions().screenRecording().set(PermissionState::denied);
    EXPECT_EQ(cell(0), u"Not checked"_s);
    EXPECT_NE(fix(0), nullptr);
    EXPECT_EQ(cell(1), u"Not granted"_s);
    EXPECT_NE(fix(1), nullptr);
    model->permissions().screenRecording().set(PermissionState::granted);
    EXPECT_EQ(fix(1), nullptr);

    displays = 3;
    view().refresh();
    EXPECT_EQ(cell(2), u"3"_s);
}

TEST_F(DiagnosticsViewTest, FixClosesTheWindowThenAsksForThePermissions) {
    model->permissions().accessibility().set(PermissionState::denied);
    open();
    fix(0)->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(permissionRequests, 1);
}

TEST_F(DiagnosticsViewTest, WithoutTheDelegateFixOnlyCloses) {
    model->permissions().accessibility().set(PermissionState::denied);
    DiagnosticsWindow bare(DiagnosticsView::Context{diagnostics(), panel, {}});
    bare.present();
    QApplication::setActiveWindow(&bare);
    ASSERT_NE(DiagnosticsView::cellFixLink(bare.view()->cells()[0]), nullptr);
    DiagnosticsView::cellFixLink(bare.view()->cells()[0])->click();
    EXPECT_FALSE(bare.isVisible());
}

TEST_F(DiagnosticsViewTest, EscapeClosesAndTheSameWindowComesBack) {
    DiagnosticsWindow* first = &open();
    QTest::keyClick(first, Qt::Key_Escape);
    ASSERT_TRUE(runUntil([first] { return !first->isVisible(); }));
    first->resize(900, 700);
    EXPECT_EQ(&open(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->size(), QSize(760, 560));
}

TEST_F(DiagnosticsViewTest, SavingWritesTheSupportFileAndSaysWhenItCannot) {
    writeLog(eventLines(3));
    open();
    const QString target = folder.file(u"support.json"_s);
    panel.answer = target;
    view().saveButton()->click();
    ASSERT_EQ(panel.requests.size(), 1);
    EXPECT_EQ(panel.requests[0].sheetOn, window.get());
    EXPECT_EQ(panel.requests[0].defaultName, u"PELLUCINE-Support.json"_s);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(testing::readFile(target), *diagnostics().supportFileData());
    EXPECT_FALSE(view().failureText()->isVisible());

    panel.answer = folder.file(u"missing/support.json"_s);
    view().saveButton()->click();
    EXPECT_TRUE(view().failureText()->isVisible());
    EXPECT_TRUE(view().failureText()->text().startsWith(
        u"The support file could not be saved as %1: "_s.arg(*panel.answer)));

    panel.answer.reset();
    view().saveButton()->click();
    EXPECT_TRUE(view().failureText()->isVisible());
    panel.answer = target;
    view().saveButton()->click();
    EXPECT_FALSE(view().failureText()->isVisible());
}

TEST_F(DiagnosticsViewTest, TheFileDialogAnswersOnceForACancelAndForAChoice) {
    FileDialogSavePanel dialogs(folder.path());
    QList<std::optional<QString>> answers;
    const auto choose = [&](QWidget* sheetOn) {
        dialogs.choose({u"PELLUCINE-Support.json"_s, u"JSON (*.json)"_s, u"json"_s, sheetOn},
                       [&answers](const std::optional<QString>& path) { answers.append(path); });
        QFileDialog* dialog = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QFileDialog*>(widget);
                candidate && candidate->isVisible()) {
                dialog = candidate;
            }
        }
        return dialog;
    };

    open();
    QFileDialog* sheet = choose(window.get());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->parentWidget(), window.get());
    sheet->reject();
    ASSERT_EQ(answers.size(), 1);
    EXPECT_FALSE(answers[0]);

    QFileDialog* standalone = choose(nullptr);
    ASSERT_NE(standalone, nullptr);
    EXPECT_EQ(standalone->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(standalone->selectedFiles(), QStringList{folder.file(u"PELLUCINE-Support.json"_s)});
    static_cast<QDialog*>(standalone)->accept();
    ASSERT_EQ(answers.size(), 2);
    EXPECT_EQ(answers[1], folder.file(u"PELLUCINE-Support.json"_s));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace pellucine

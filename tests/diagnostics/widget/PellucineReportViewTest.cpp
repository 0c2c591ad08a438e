#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include "../DiagnosticsBench.h"
#include "../ReportBench.h"
#include "ReportWidgets.h"
#include "design/OpenFailureNotice.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "diagnostics/PellucineReportView.h"
#include "diagnostics/ReportModel.h"
#include "diagnostics/ReportWindow.h"
#include "diagnostics/ThisAppReport.h"
#include "preferences/InMemoryKeyValueStore.h"

namespace pellucine::ReportProblem {
namespace {

using namespace Qt::StringLiterals;
using testing::button;
using testing::shownText;

class PellucineReportViewTest : public testing::DiagnosticsFixture {
  protected:
    ~PellucineReportViewTest() override { testing::discardReportWindows(); }

    PellucineReportView* open(std::optional<Phase> phase = std::nullopt) {
        openWindow(config, phase, bench.environment());
        QApplication::setActiveWindow(currentWindow());
        return qobject_cast<PellucineReportView*>(currentWindow()->content());
    }
    static bool closes() { return testing::closes(currentWindow()); }

    testing::ReportBench bench;
    InMemoryKeyValueStore defaults;
    Config config = Config::thisApp({diagnostics(), defaults, events, bench.desktop()});
};

TEST_F(PellucineReportViewTest, TheComposePageFollowsTheWordsAndTheSend) {
    PellucineReportView* page = open();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(currentWindow()->size(), QSize(600, 470));
    EXPECT_EQ(page->pageTitle(), u"WHAT HAPPENED?"_s);
    EXPECT_TRUE(shownText(page).contains(
        u"Saved with it: PELLUCINE’s version, your Linux version, your computer’s model, a random "
        "install id, and PELLUCINE’s own log of what it did. Never window pictures, window "
        "titles, or app names."_s));
    EXPECT_TRUE(page->placeholder()->isVisible());
    EXPECT_TRUE(page->editor()->hasFocus());

    // Blanks hide the example but do not make a report.
    QTest::keyClicks(page->editor(), u"  "_s);
    EXPECT_FALSE(page->placeholder()->isVisible());
    EXPECT_FALSE(page->sendButton()->isEnabled());
    EXPECT_FALSE(page->emailButton()->isEnabled());
    QTest::keyClicks(page->editor(), u"x"_s);
    EXPECT_TRUE(page->sendButton()->isEnabled());
    EXPECT_TRUE(page->emailButton()->isEnabled());

    page->model()->setPhase(Phase::sending());
    EXPECT_FALSE(page->editor()->isEnabled());
    EXPECT_EQ(page->sendButton()->text(), u"Sending…"_s);
    EXPECT_FALSE(page->sendButton()->isEnabled());
    EXPECT_FALSE(page->emailButton()->isEnabled());
    EXPECT_TRUE(page->cancelButton()->isEnabled());
    QTest::keyClick(page->editor(), Qt::Key_Escape);
    EXPECT_TRUE(closes());
}

TEST_F(PellucineReportViewTest, WithoutAReportServerTheUserIsToldBeforeSendWhereTheFileGoes) {
    PellucineReportView* page = open();
    ASSERT_NE(page->saveNotice(), nullptr);
    EXPECT_TRUE(page->saveNotice()->isVisible());
    EXPECT_EQ(page->saveNotice()->text(),
              u"This build has no report server: Send saves the report as a file on your "
              "Desktop for you to send."_s);
    QTest::keyClicks(page->editor(), u"It froze"_s);
    page->sendButton()->click();
    page = qobject_cast<PellucineReportView*>(currentWindow()->content());
    EXPECT_EQ(page->pageTitle(), u"SAVED ON YOUR DESKTOP"_s);
    EXPECT_TRUE(QFileInfo::exists(bench.file(u"PELLUCINE-report-2026-12-07-2105.txt"_s)));

    testing::discardReportWindows();
    config.endpoint = QUrl(u"https://reports.example.com/report"_s);
    page = open();
    EXPECT_EQ(page->saveNotice(), nullptr);
    EXPECT_TRUE(shownText(page).contains(u"Sent with it: PELLUCINE’s version"_s));
    EXPECT_FALSE(shownText(page).contains(u"Saved with it"_s));
}

TEST_F(PellucineReportViewTest, AFileManagerThatDoesNotOpenLeavesTheReportsPathToCopy) {
    bench.desk->revealFails = true;
    PellucineReportView* page = open(Phase::saved(bench.file(), u"Orrinvale answered 503."_s));
    button(page, u"Show in File Manager"_s)->click();
    QMessageBox* notice = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == OpenFailureNotice::objectName && widget->isVisible()) {
            notice = qobject_cast<QMessageBox*>(widget);
        }
    }
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), u"No file manager opened the folder."_s);
    EXPECT_EQ(notice->informativeText(), bench.file());
    notice->close();
}

TEST_F(PellucineReportViewTest, WithoutASupportAddressTheTextsSaySupport) {
    config.supportEmail.reset();
    Model::draft() = u"It froze"_s;
    PellucineReportView* page = open();
    EXPECT_FALSE(page->emailButton()->isEnabled());

    page = open(Phase::sent(u"R-9"_s));
    EXPECT_EQ(page->pageTitle(), u"SENT"_s);
    EXPECT_TRUE(shownText(page).contains(
        u"Thanks. It's report R-9. Reports don't include your email, so to hear back, write to "
        "support with that number."_s));
    QTest::keyClick(currentWindow(), Qt::Key_Return);
    EXPECT_TRUE(closes());
}

TEST_F(PellucineReportViewTest, TheResultPagesSayWhereTheReportIs) {
    PellucineReportView* page = open(Phase::saved(bench.file(), u"Orrinvale answered 503."_s));
    EXPECT_EQ(page->pageTitle(), u"SAVED ON YOUR DESKTOP"_s);
    EXPECT_TRUE(shownText(page).contains(
        u"Orrinvale answered 503. Everything you wrote, and what PELLUCINE attached, is in "
        "ACME-report-2026-12-07-2105.txt on your Desktop."_s));
    EXPECT_EQ(button(page, u"Back"_s), nullptr);
    ASSERT_NE(button(page, u"Report Page ↗"_s), nullptr);
    button(page, u"Show in File Manager"_s)->click();
    EXPECT_EQ(bench.desk->revealed, QStringList{bench.file()});
    QTest::keyClick(currentWindow(), Qt::Key_Escape);
    EXPECT_TRUE(closes());

    config.fallbackPage.reset();
    page = open(Phase::emailed(bench.reports() + u"/r.txt"_s));
    EXPECT_EQ(page->pageTitle(), u"SAVED IN YOUR REPORTS FOLDER"_s);
    const QString text = shownText(page);
    EXPECT_TRUE(
        text.contains(u"A new mail to pellucine@orrinvale.com has the report attached. "_s));
    EXPECT_TRUE(
        text.contains(u"Rather send it from here? Go back, then close the mail that opened."_s));
    EXPECT_EQ(button(page, u"Report Page ↗"_s), nullptr);
    page->model()->setText(u"my words"_s);
    button(page, u"Back"_s)->click();
    EXPECT_EQ(page->pageTitle(), u"WHAT HAPPENED?"_s);
    EXPECT_EQ(page->editor()->toPlainText(), u"my words"_s);
    EXPECT_EQ(Model::draft(), u"my words"_s);
}

}  // namespace
}  // namespace pellucine::ReportProblem

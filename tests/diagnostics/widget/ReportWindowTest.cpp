#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include "../ReportBench.h"
#include "ReportWidgets.h"
#include "design/Appearance.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"
#include "diagnostics/AccentButton.h"
#include "diagnostics/ReportView.h"
#include "diagnostics/ReportWindow.h"

// Fontconfig keeps part of the configuration it parses for the life of the process; the leak
// checker of sanitizer builds reads this.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace pellucine::ReportProblem {
namespace {

using namespace Qt::StringLiterals;
using testing::runUntil;

using testing::button;
using testing::closes;
using testing::shownText;

class ReportWindows : public ::testing::Test {
  protected:
    ~ReportWindows() override { testing::discardReportWindows(); }

    ReportWindow* open(std::optional<Phase> phase = std::nullopt) {
        openWindow(config, phase, environment);
        QApplication::setActiveWindow(currentWindow());
        return currentWindow();
    }
    ReportView* view() const { return qobject_cast<ReportView*>(currentWindow()->content()); }
    void type(const QString& text) const { QTest::keyClicks(view()->editor(), text); }

    testing::ReportBench bench;
    Config config = bench.config();
    Environment environment = bench.environment();
};

TEST_F(ReportWindows, OneWindowKeepsTheWordsThroughClosingAndReopening) {
    ReportWindow* first = open();
    EXPECT_EQ(first->windowTitle(), u"Report a Problem"_s);
    EXPECT_EQ(first->size(), QSize(520, 400));
    type(u"It froze"_s);
    EXPECT_EQ(Model::draft(), u"It froze"_s);
    EXPECT_EQ(open(), first);

    QTest::keyClick(view()->editor(), Qt::Key_Escape);
    ASSERT_TRUE(closes(first));
    ReportWindow* second = open();
    EXPECT_NE(second, first);
    EXPECT_EQ(view()->editor()->toPlainText(), u"It froze"_s);

    // A phase replaces even a shown window, over empty words, and leaves the draft alone.
    ReportWindow* sent = open(Phase::sent(u"R-9"_s));
    EXPECT_NE(sent, second);
    EXPECT_EQ(sent->model()->text(), QString());
    EXPECT_EQ(Model::draft(), u"It froze"_s);
    EXPECT_TRUE(
        shownText(sent).contains(u"Thanks. Your report is R-9. If anybody asks about it, "
                                 "that is the number to give them."_s));
    QTest::keyClick(sent, Qt::Key_Return);
    EXPECT_TRUE(closes(sent));
}

TEST_F(ReportWindows, TheWindowTakesTheProgramsSchemeAndFollowsIt) {
    Appearance appearance;
    appearance.setForcedScheme(ColorScheme::dark);
    environment.appearance = &appearance;
    ReportWindow* window = open();
    EXPECT_EQ(Yard::scheme(view()), ColorScheme::dark);
    appearance.setForcedScheme(ColorScheme::light);
    EXPECT_EQ(Yard::scheme(view()), ColorScheme::light);
    window->close();
}

TEST_F(ReportWindows, HostContentGetsTheModelAndTheHostsSize) {
    std::shared_ptr<Model> given;
    config.contentSize = QSize(600, 470);
    config.content = [&given](const std::shared_ptr<Model>& model) {
        given = model;
        return std::make_unique<QLabel>(u"host page"_s);
    };
    ReportWindow* window = open();
    EXPECT_EQ(given, window->model());
    EXPECT_EQ(window->size(), QSize(600, 470));
    given->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ReportWindows, TheWritingPageFollowsTheWordsAndTheSend) {
    open();
    ReportView* page = view();
    EXPECT_TRUE(page->placeholder()->isVisible());
    EXPECT_EQ(page->placeholder()->text(), u"EX: it froze."_s);
    type(u" "_s);
    EXPECT_FALSE(page->placeholder()->isVisible());
    EXPECT_FALSE(page->sendButton()->isEnabled() || page->emailButton()->isEnabled());
    type(u"x"_s);
    EXPECT_TRUE(page->sendButton()->isEnabled() && page->emailButton()->isEnabled());

    page->model()->setPhase(Phase::sending());
    EXPECT_FALSE(page->editor()->isEnabled());
    EXPECT_EQ(page->sendButton()->text(), u"Sending…"_s);
    EXPECT_TRUE(page->sendButton()->isBusy());
    EXPECT_FALSE(page->sendButton()->isEnabled() || page->emailButton()->isEnabled());
    EXPECT_TRUE(page->cancelButton()->isEnabled());
    QTest::keyClick(currentWindow(), Qt::Key_Escape);
    EXPECT_TRUE(closes(currentWindow()));
}

TEST_F(ReportWindows, OptionalControlsComeWithTheirConfig) {
    config.supportEmail.reset();
    open();
    EXPECT_EQ(view()->emailButton(), nullptr);
    EXPECT_EQ(view()->consentSwitch(), nullptr);
    currentWindow()->close();

    bool allowed = false;
    config = bench.config();
    config.consent = Consent{[&] { return allowed; }, [&](bool on) { allowed = on; }};
    bench.lines.clear();
    Model::draft() = u"words"_s;
    open();
    ReportView* page = view();
    ASSERT_NE(page->consentSwitch(), nullptr);
    EXPECT_FALSE(page->consentSwitch()->isChecked());
    EXPECT_NE(qobject_cast<AccentButton*>(page->emailButton()), nullptr);
    EXPECT_FALSE(page->sendButton()->isEnabled());
    EXPECT_TRUE(page->emailButton()->isEnabled());
    page->consentSwitch()->click();
    EXPECT_TRUE(allowed);
    EXPECT_EQ(bench.lines, QStringList{u"report sending switched on"_s});
    EXPECT_NE(qobject_cast<YardButton*>(button(currentWindow(), u"Email It Instead"_s)), nullptr);
    EXPECT_TRUE(page->sendButton()->isEnabled());
}

TEST_F(ReportWindows, TheSavedPagesSayWhereTheFileIs) {
    ReportWindow* saved = open(Phase::saved(bench.file(), u"Orrinvale answered 503."_s));
    EXPECT_TRUE(shownText(saved).contains(
        u"Orrinvale answered 503. Everything you wrote, and what ACME attached, is in "
        "ACME-report-2026-12-07-2105.txt on your Desktop."_s));
    EXPECT_EQ(button(saved, u"Back"_s), nullptr);
    EXPECT_EQ(button(saved, u"Open the Report Page"_s), nullptr);
    button(saved, u"Show in File Manager"_s)->click();
    EXPECT_EQ(bench.desk->revealed, QStringList{bench.file()});

    config.fallbackPage = QUrl(u"https://example.com/report"_s);
    ReportWindow* emailed = open(Phase::emailed(bench.reports() + u"/r.txt"_s));
    const QString text = shownText(emailed);
    EXPECT_TRUE(text.contains(u"Saved in your reports folder"_s));
    EXPECT_TRUE(
        text.contains(u"A new mail to help@example.com has the report attached. "
                      "Everything you wrote, and what ACME attached, is in r.txt in "_s +
                      QDir::toNativeSeparators(bench.reports()) + u'.'));
    EXPECT_TRUE(text.contains(u"Changed your mind? Go back, and close the mail that opened."_s));
    button(emailed, u"Open the Report Page"_s)->click();
    EXPECT_EQ(bench.desk->opened, QList<QUrl>{*config.fallbackPage});
    button(emailed, u"Back"_s)->click();
    EXPECT_EQ(emailed->model()->phase(), Phase::writing());
    EXPECT_TRUE(view()->editor()->isVisible());
}

TEST_F(ReportWindows, AFailedSendNeverLosesWhatWasTyped) {
    config.endpoint = QUrl(u"https://reports.example.com/report"_s);
    environment.network = nullptr;
    environment.desktopFolder.clear();
    // Nothing can be saved: the reports folder would have to be made below a plain file.
    QFile(bench.reports()).open(QIODevice::WriteOnly);
    open();
    type(u"Line one"_s);
    QTest::keyClick(view()->editor(), Qt::Key_Return);
    type(u"Line two"_s);
    QTest::keyClick(view()->editor(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(runUntil([this] { return !bench.lines.isEmpty(); }));
    EXPECT_EQ(bench.lines.last(),
              u"report not sent (Could not reach Orrinvale (no network access).); saved nothing"_s);
    EXPECT_EQ(view()->editor()->toPlainText(), u"Line one\nLine two"_s);
    EXPECT_TRUE(view()->editor()->isEnabled());
    EXPECT_EQ(Model::draft(), u"Line one\nLine two"_s);

    // Once a file can be written, the words are in it.
    QFile::remove(bench.reports());
    view()->sendButton()->click();
    QFile file(currentWindow()->model()->phase().file());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("What happened:\nLine one\nLine two\n"));
}

}  // namespace
}  // namespace pellucine::ReportProblem

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>
#include <QVBoxLayout>

#include "design/OpenFailureNotice.h"
#include "design/PaneLink.h"
#include "design/YardButton.h"
#include "design/YardCard.h"
#include "design/YardText.h"
#include "diagnostics/DiagnosticsBench.h"
#include "diagnostics/ReportBench.h"
#include "settings/AboutPage.h"
#include "support/FileTraps.h"
#include "support/OpenFailureNotices.h"
#include "updates/UpdatesCard.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;

class AboutPageTest : public testing::DiagnosticsFixture {
  protected:
    AboutPageTest() {
        settingsWindow.setWindowTitle(u"PELLUCINE Settings"_s);
        otherWindow.setWindowTitle(u"PELLUCINE Diagnostics"_s);
    }

    AboutPage& make(bool delegate = true) {
        page = new AboutPage(
            {*model, bundle, diagnostics(), panel, events, *desk, *desk, scheduler.clocks().wall,
             QUrl(u"https://pellucine.example.com"_s), dataFolder(), folder.path(),
             [this] { ++saves; }, [this](const QString& text) { alerts << text; },
             delegate ? std::function<void()>([this] { ++reportWindows; })
                      : std::function<void()>(),
             [this] { ++diagnosticsWindows; }},
            &settingsWindow);
        (new QVBoxLayout(&settingsWindow))->addWidget(page);
        settingsWindow.resize(820, 900);
        settingsWindow.show();
        QApplication::setActiveWindow(&settingsWindow);
        return *page;
    }
    QString dataFolder() const { return folder.path() + u"/.local/share/pellucine"_s; }

    std::shared_ptr<testing::RecordingDesktop> desk = std::make_shared<testing::RecordingDesktop>();
    QWidget settingsWindow;
    QWidget otherWindow;
    AboutPage* page = nullptr;
    int saves = 0;
    int reportWindows = 0;
    int diagnosticsWindows = 0;
    QStringList alerts;
};

TEST_F(AboutPageTest, TheVersionLineEndsWithTheBuildOrDev) {
    EXPECT_EQ(AboutPage::versionLine(u"1.4"_s, bundle), u"v1.4 · build 230"_s);
    EXPECT_EQ(AboutPage::versionLine(u"0.0.0"_s, Bundle({}, {})), u"v0.0.0 · build dev"_s);
    EXPECT_EQ(AboutPage::versionLine(u"1.4"_s, Bundle({{u"CFBundleVersion"_s, 230}}, {})),
              u"v1.4 · build dev"_s);
    make();
    EXPECT_EQ(page->versionText()->text(),
              AboutPage::versionLine(model->updates().currentVersion(), bundle));
    EXPECT_EQ(page->updatesCard()->objectName(), u"updates"_s);
    QStringList kickers;
    for (const YardCard* card : page->findChildren<YardCard*>()) {
        kickers << card->kicker()->text();
    }
    EXPECT_EQ(kickers, (QStringList{u"PELLUCINE"_s, u"UPDATES"_s, u"SUPPORT"_s, u"YOUR DATA"_s}));
}

TEST_F(AboutPageTest, TheDataFolderIsShownUnderTheHomeFolder) {
    EXPECT_EQ(AboutPage::shownLocation(u"/home/ada/.local/share/pellucine"_s, u"/home/ada"_s),
              u"~/.local/share/pellucine"_s);
    EXPECT_EQ(AboutPage::shownLocation(u"/home/ada/.local/share/pellucine"_s, u"/home/ada/"_s),
              u"~/.local/share/pellucine"_s);
    EXPECT_EQ(AboutPage::shownLocation(u"/home/ada"_s, u"/home/ada"_s), u"~"_s);
    // A sibling that merely starts with the same letters is not inside the home folder.
    EXPECT_EQ(AboutPage::shownLocation(u"/home/adam/data/pellucine"_s, u"/home/ada"_s),
              u"/home/adam/data/pellucine"_s);
    EXPECT_EQ(AboutPage::shownLocation(u"/srv/pellucine"_s, u"/"_s), u"/srv/pellucine"_s);
    make();
    EXPECT_EQ(page->locationText()->text(), u"~/.local/share/pellucine"_s);
}

TEST_F(AboutPageTest, ReportAProblemRecordsOncePerClickAndNeedsTheDelegate) {
    make();
    page->reportLink()->click();
    page->reportLink()->click();
    EXPECT_EQ(reportWindows, 2);
    EXPECT_EQ(events.count(u"report-opened"_s), 2);
    page->diagnosticsLink()->click();
    EXPECT_EQ(diagnosticsWindows, 1);

    delete page;
    delete settingsWindow.layout();
    make(false);
    page->reportLink()->click();
    EXPECT_EQ(events.count(u"report-opened"_s), 2);
}

TEST_F(AboutPageTest, TheSupportFileIsASheetOfTheSettingsWindowOnly) {
    make();
    const QString target = folder.file(u"support.json"_s);
    panel.answer = target;
    page->saveSupportFileButton()->click();
    ASSERT_EQ(panel.requests.size(), 1);
    EXPECT_EQ(panel.requests[0].sheetOn, &settingsWindow);
    EXPECT_EQ(panel.requests[0].defaultName, u"PELLUCINE-Support.json"_s);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(testing::readFile(target), *diagnostics().supportFileData());

    otherWindow.show();
    QApplication::setActiveWindow(&otherWindow);
    panel.answer.reset();
    page->saveSupportFile();
    EXPECT_EQ(panel.requests[1].sheetOn, nullptr);
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_EQ(AboutPage::sheetWindow(nullptr), nullptr);

    panel.answer = folder.file(u"missing/support.json"_s);
    page->saveSupportFile();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(
        alerts[0].startsWith(u"The support file could not be saved as %1: "_s.arg(*panel.answer)));
    EXPECT_FALSE(QFileInfo::exists(folder.file(u"missing"_s)));

    // A full disk says which file it could not write, and why.
    panel.answer = target;
    {
        const testing::FileSizeLimit fullDisk(16);
        page->saveSupportFile();
    }
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[1], u"The support file could not be saved as %1: %2"_s.arg(
                             target, qt_error_string(EFBIG)));
    EXPECT_EQ(testing::readFile(target), *diagnostics().supportFileData());
}

TEST_F(AboutPageTest, MailAndTheDataFolderGoToTheDesktop) {
    make();
    page->emailSupportButton()->click();
    EXPECT_EQ(desk->opened,
              QList<QUrl>{QUrl(u"mailto:pellucine@orrinvale.com?subject=PELLUCINE"_s)});

    ASSERT_FALSE(QFileInfo::exists(dataFolder()));
    page->showFolderButton()->click();
    EXPECT_TRUE(QFileInfo(dataFolder()).isDir());
    EXPECT_EQ(desk->revealed, QStringList{dataFolder()});
    // Already there, or impossible to make: it is still shown.
    page->showDataFolder();
    EXPECT_EQ(desk->revealed.size(), 2);
    EXPECT_EQ(page->showFolderButton()->text(), u"Show in File Manager"_s);
}

TEST_F(AboutPageTest, MailLinksAndTheFolderThatNothingOpensAreOfferedForCopying) {
    make();
    desk->opensFail = true;
    desk->revealFails = true;
    const auto lastNotice = [] {
        const auto shown = testing::takeOpenFailureNotices();
        EXPECT_EQ(shown.size(), 1);
        return shown.value(0);
    };

    page->emailSupportButton()->click();
    EXPECT_EQ(lastNotice(),
              std::pair(u"No mail program opened a new mail."_s, u"pellucine@orrinvale.com"_s));
    page->showFolderButton()->click();
    EXPECT_EQ(lastNotice(), std::pair(u"No file manager opened the folder."_s, dataFolder()));
    WebLink* site = nullptr;
    for (WebLink* link : page->findChildren<WebLink*>()) {
        if (link->url() == QUrl(u"https://pellucine.example.com"_s)) {
            site = link;
        }
    }
    ASSERT_NE(site, nullptr);
    site->click();
    EXPECT_EQ(desk->opened.last(), QUrl(u"https://pellucine.example.com"_s));
    EXPECT_EQ(lastNotice(),
              std::pair(u"No web browser opened the link."_s, u"https://pellucine.example.com"_s));

    // A copy button puts the address on the clipboard and leaves the notice up.
    page->emailSupportButton()->click();
    QMessageBox* box = testing::openFailureNotices().value(0);
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == u"Copy"_s) {
            b->click();
        }
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"pellucine@orrinvale.com"_s);
    EXPECT_TRUE(box->isVisible());
    box->close();
}

}  // namespace
}  // namespace pellucine

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "design/Yard.h"
#include "settings/QtDialogHost.h"
#include "settings/SettingsTransferFlow.h"
#include "settings/TitledBoxWidth.h"

namespace pellucine {
namespace {

using namespace Qt::StringLiterals;

// The visible top-level dialog of type T, if one is open.
template <typename T>
T* openDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<T*>(widget); dialog != nullptr && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

class QtDialogHostTest : public ::testing::Test {
  protected:
    void SetUp() override { window.show(); }
    QWidget window;
    QtDialogHost host{&window};
};

TEST_F(QtDialogHostTest, DialogsAreDrawnInTheSchemeOfTheirWindow) {
    const QColor darkText = Yard::qtPalette(ColorScheme::dark).color(QPalette::WindowText);
    Yard::setScheme(&window, ColorScheme::dark);
    host.chooseFolder(u"Choose the Folder to Sync Through"_s, [](const auto&) {});
    auto* folders = openDialog<QFileDialog>();
    ASSERT_NE(folders, nullptr);
    EXPECT_EQ(folders->palette().color(QPalette::WindowText), darkText);
    folders->reject();
    host.alert({u"Sync Failed"_s, u"The folder is gone."_s, u"OK"_s}, [] {});
    auto* box = openDialog<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->palette().color(QPalette::WindowText), darkText);
    box->reject();
    QApplication::processEvents();
}

TEST_F(QtDialogHostTest, MessageBoxesAreTitledWithTheProgramAndTheAction) {
    std::optional<bool> confirmed;
    host.confirm({u"Replace your settings with this file's?"_s, u"A backup is kept."_s,
                  u"Import Settings"_s, true, u"Cancel"_s},
                 [&confirmed](bool yes) { confirmed = yes; });
    auto* box = openDialog<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), u"PELLUCINE — Import Settings"_s);
    EXPECT_EQ(box->text(), u"Replace your settings with this file's?"_s);
    // Escape cancels: the question is never taken as a yes.
    box->reject();
    QApplication::processEvents();
    EXPECT_EQ(confirmed, false);

    bool dismissed = false;
    host.alert({SettingsTransferFlow::failedTitle, u"The file is not a settings file."_s, u"OK"_s},
               [&dismissed] { dismissed = true; });
    box = openDialog<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), u"PELLUCINE — Settings Transfer Failed"_s);
    box->reject();
    QApplication::processEvents();
    EXPECT_TRUE(dismissed);
}

TEST(TitledBoxWidthTest, LeavesRoomForTheFramesPartsWithinTheScreensMargins) {
    constexpr int allowance = TitledBoxWidth::frameAllowance;
    constexpr int margins = 2 * TitledBoxWidth::screenMargin;
    EXPECT_EQ(TitledBoxWidth::minimum(260, 1280), 260 + allowance);
    EXPECT_EQ(TitledBoxWidth::minimum(0, 1280), allowance);
    EXPECT_EQ(TitledBoxWidth::minimum(-5, 1280), allowance) << "no width is below nothing";
    // A title that only just fits, and one a pixel too long: cut, the box kept on the screen.
    EXPECT_EQ(TitledBoxWidth::minimum(1280 - margins - allowance, 1280), 1280 - margins);
    EXPECT_EQ(TitledBoxWidth::minimum(1280 - margins - allowance + 1, 1280), 1280 - margins);
    EXPECT_EQ(TitledBoxWidth::minimum(300, 0), 0) << "no screen known";
}

// Qt sizes a box for its text, which leaves a short alert narrower than its title bar needs.
TEST_F(QtDialogHostTest, AShortMessageBoxIsWideEnoughForItsTitle) {
    host.alert({SettingsTransferFlow::failedTitle, u"Not JSON."_s, u"OK"_s}, [] {});
    auto* box = openDialog<QMessageBox>();
    ASSERT_NE(box, nullptr);
    QFont bold = box->font();
    bold.setBold(true);
    const int title = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
    EXPECT_GE(box->width(), title + TitledBoxWidth::frameAllowance);
    EXPECT_LE(box->width(), box->screen()->availableGeometry().width());
    EXPECT_EQ(box->informativeText(), u"Not JSON."_s) << "the texts survive the added room";
    box->reject();
    QApplication::processEvents();

    host.confirm({u"Put every setting back to its default?"_s, u"Cannot be undone."_s, u"Reset"_s,
                  true, u"Cancel"_s},
                 [](bool) {});
    box = openDialog<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) +
                                TitledBoxWidth::frameAllowance);
    box->reject();
    QApplication::processEvents();
}

TEST_F(QtDialogHostTest, FileDialogsAreTitledWithTheProgramAndTheAction) {
    int answers = 0;
    const auto count = [&answers](const std::optional<QString>& path) {
        EXPECT_FALSE(path.has_value());
        ++answers;
    };
    host.chooseFileToSave({u"Export Settings"_s, u"JSON (*.json)"_s, u"settings.json"_s, u"json"_s},
                          count);
    auto* dialog = openDialog<QFileDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), u"PELLUCINE — Export Settings"_s);
    dialog->reject();
    QApplication::processEvents();

    host.chooseFileToOpen({u"Import Settings"_s, u"JSON (*.json)"_s, {}, {}}, count);
    dialog = openDialog<QFileDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), u"PELLUCINE — Import Settings"_s);
    dialog->reject();
    QApplication::processEvents();
    EXPECT_EQ(answers, 2);
}

}  // namespace
}  // namespace pellucine

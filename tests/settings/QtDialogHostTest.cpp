#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "settings/QtDialogHost.h"
#include "settings/SettingsView.h"

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
    host.alert({SettingsView::transferFailedTitle, u"The file is not a settings file."_s, u"OK"_s},
               [&dismissed] { dismissed = true; });
    box = openDialog<QMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), u"PELLUCINE — Settings Transfer Failed"_s);
    box->reject();
    QApplication::processEvents();
    EXPECT_TRUE(dismissed);
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

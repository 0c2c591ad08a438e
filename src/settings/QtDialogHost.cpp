#include "settings/QtDialogHost.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include "design/Yard.h"
#include "diagnostics/FileDialogSavePanel.h"
#include "settings/TitledBoxWidth.h"

namespace pellucine {

namespace {

// A plain Qt dialog over a window of the program is drawn in that window's scheme.
template <class Dialog>
Dialog* inWindowsScheme(Dialog* dialog) {
    dialog->setPalette(Yard::qtPalette(Yard::scheme(dialog)));
    return dialog;
}

// Answers with the dialog's first chosen path once it closes, or none when it was cancelled.
void answerWhenFinished(QFileDialog* dialog, DialogHost::PathAnswer answer) {
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, answer = std::move(answer)](int result) {
                         const QStringList chosen = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !chosen.isEmpty()) {
                             answer(chosen.first());
                         } else {
                             answer(std::nullopt);
                         }
                     });
    dialog->open();
}

// A message box with `title` in its title bar, modal to `window`, gone once closed.
QMessageBox* messageBox(QWidget* window, const QString& title) {
    auto* box = inWindowsScheme(new QMessageBox(window));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(title);
    box->setIcon(QMessageBox::Warning);
    return box;
}

// Opens a box filled in. Qt sizes a box for its text alone; a spacer across its bottom keeps it
// wide enough for the frame to show the whole title. (The box lays itself out anew whenever its
// texts are set, so the spacer goes in last.)
void openShowingTitle(QMessageBox* box) {
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const QScreen* screen = box->screen();
    const int width =
        TitledBoxWidth::minimum(QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()),
                                screen != nullptr ? screen->availableGeometry().width() : 0);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box->open();
}

}  // namespace

QString QtDialogHost::windowTitle(const QString& action) {
    return QStringLiteral("PELLUCINE — ") + action;
}

void QtDialogHost::chooseFileToOpen(const FileChoice& choice, PathAnswer answer) {
    auto* dialog = inWindowsScheme(new QFileDialog(window_, windowTitle(choice.title)));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (!choice.nameFilter.isEmpty()) {
        dialog->setNameFilter(choice.nameFilter);
    }
    answerWhenFinished(dialog, std::move(answer));
}

void QtDialogHost::chooseFileToSave(const FileChoice& choice, PathAnswer answer) {
    FileDialogSavePanel(QDir::homePath())
        .choose({choice.defaultName, choice.nameFilter, choice.defaultSuffix, window_,
                 windowTitle(choice.title)},
                std::move(answer));
}

void QtDialogHost::chooseFolder(const QString& title, PathAnswer answer) {
    auto* dialog = inWindowsScheme(new QFileDialog(window_, windowTitle(title)));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    answerWhenFinished(dialog, std::move(answer));
}

void QtDialogHost::confirm(const Confirmation& confirmation, std::function<void(bool)> answer) {
    // The title bar names the action the confirming button takes.
    QMessageBox* box = messageBox(window_, windowTitle(confirmation.confirm));
    box->setText(confirmation.title);
    box->setInformativeText(confirmation.message);
    QPushButton* confirm =
        box->addButton(confirmation.confirm, confirmation.destructive ? QMessageBox::DestructiveRole
                                                                      : QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(confirmation.cancel, QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    QObject::connect(box, &QMessageBox::finished, box, [box, confirm, answer = std::move(answer)] {
        answer(box->clickedButton() == confirm);
    });
    openShowingTitle(box);
}

void QtDialogHost::alert(const Alert& alert, std::function<void()> dismissed) {
    QMessageBox* box = messageBox(window_, windowTitle(alert.title));
    box->setText(alert.title);
    box->setInformativeText(alert.message);
    QPushButton* ok = box->addButton(alert.button, QMessageBox::RejectRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    QObject::connect(box, &QMessageBox::finished, box,
                     [dismissed = std::move(dismissed)] { dismissed(); });
    openShowingTitle(box);
}

}  // namespace pellucine

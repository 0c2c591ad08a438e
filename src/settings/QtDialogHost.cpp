#include "settings/QtDialogHost.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pellucine {

namespace {

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

void openFileDialog(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode files,
                    const DialogHost::FileChoice& choice, DialogHost::PathAnswer answer) {
    auto* dialog = new QFileDialog(window, choice.title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(files);
    if (!choice.nameFilter.isEmpty()) {
        dialog->setNameFilter(choice.nameFilter);
    }
    if (mode == QFileDialog::AcceptSave) {
        dialog->setDefaultSuffix(QStringLiteral("json"));
        dialog->selectFile(choice.defaultName);
    }
    answerWhenFinished(dialog, std::move(answer));
}

}  // namespace

void QtDialogHost::chooseFileToOpen(const FileChoice& choice, PathAnswer answer) {
    openFileDialog(window_, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, choice,
                   std::move(answer));
}

void QtDialogHost::chooseFileToSave(const FileChoice& choice, PathAnswer answer) {
    openFileDialog(window_, QFileDialog::AcceptSave, QFileDialog::AnyFile, choice,
                   std::move(answer));
}

void QtDialogHost::chooseFolder(const QString& title, PathAnswer answer) {
    auto* dialog = new QFileDialog(window_, title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    answerWhenFinished(dialog, std::move(answer));
}

void QtDialogHost::confirm(const Confirmation& confirmation, std::function<void(bool)> answer) {
    auto* box = new QMessageBox(window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Warning);
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
    box->open();
}

void QtDialogHost::alert(const Alert& alert, std::function<void()> dismissed) {
    auto* box = new QMessageBox(window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Warning);
    box->setText(alert.title);
    box->setInformativeText(alert.message);
    QPushButton* ok = box->addButton(alert.button, QMessageBox::RejectRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    QObject::connect(box, &QMessageBox::finished, box,
                     [dismissed = std::move(dismissed)] { dismissed(); });
    box->open();
}

}  // namespace pellucine

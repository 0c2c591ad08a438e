#include "diagnostics/FileDialogSavePanel.h"

#include <QDir>
#include <QFileDialog>

#include "design/Yard.h"

namespace pellucine {

void FileDialogSavePanel::choose(const Request& request, Completion done) {
    auto* dialog = new QFileDialog(request.sheetOn);
    // Drawn in the scheme of the window it is over.
    dialog->setPalette(Yard::qtPalette(Yard::scheme(dialog)));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (!request.title.isEmpty()) {
        dialog->setWindowTitle(request.title);
    }
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(request.filter);
    dialog->setDefaultSuffix(request.defaultSuffix);
    dialog->setDirectory(folder_);
    dialog->selectFile(QDir(folder_).filePath(request.defaultName));
    // `finished` comes once, for accepting and for every way of cancelling.
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, done = std::move(done)](int result) {
                         const QStringList files = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !files.isEmpty()) {
                             done(files.first());
                         } else {
                             done(std::nullopt);
                         }
                     });
    // open() always makes the dialog modal to its window only.
    dialog->setWindowModality(request.sheetOn != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->show();
}

}  // namespace pellucine

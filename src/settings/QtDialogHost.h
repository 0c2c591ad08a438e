#pragma once

#include <QPointer>
#include <QWidget>

#include "settings/DialogHost.h"

namespace pellucine {

// The dialogs as Qt's file dialogs and message boxes, modal to one window and opened without
// blocking. Main thread.
class QtDialogHost final : public DialogHost {
  public:
    // The dialogs belong to `window`; none are shown once it is gone.
    explicit QtDialogHost(QWidget* window) : window_(window) {}

    // A dialog's window title: the program's display name and the action it is part of.
    static QString windowTitle(const QString& action);

    void chooseFileToOpen(const FileChoice& choice, PathAnswer answer) override;
    void chooseFileToSave(const FileChoice& choice, PathAnswer answer) override;
    void chooseFolder(const QString& title, PathAnswer answer) override;
    void confirm(const Confirmation& confirmation, std::function<void(bool)> answer) override;
    void alert(const Alert& alert, std::function<void()> dismissed) override;

  private:
    QPointer<QWidget> window_;
};

}  // namespace pellucine

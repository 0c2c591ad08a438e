#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace pellucine {

// The dialogs of a window: file and folder choices, confirmations and alerts. Each request is
// answered once, later, on the main thread, through its callback; the window stays responsive
// meanwhile. A request whose window goes away first may never be answered.
class DialogHost {
  public:
    struct FileChoice {
        QString title;
        // "JSON (*.json)".
        QString nameFilter;
        // The name proposed for a file to save.
        QString defaultName;
        // Added to a chosen name to save that has no extension.
        QString defaultSuffix;
    };

    struct Confirmation {
        QString title;
        QString message;
        QString confirm;
        // The confirming button destroys or replaces something.
        bool destructive = false;
        QString cancel;
    };

    struct Alert {
        QString title;
        QString message;
        QString button;
    };

    // A chosen path, or none when the choice was cancelled.
    using PathAnswer = std::function<void(const std::optional<QString>& path)>;

    virtual ~DialogHost() = default;

    virtual void chooseFileToOpen(const FileChoice& choice, PathAnswer answer) = 0;
    virtual void chooseFileToSave(const FileChoice& choice, PathAnswer answer) = 0;
    virtual void chooseFolder(const QString& title, PathAnswer answer) = 0;
    // True for the confirming button; false for cancelling or closing the dialog.
    virtual void confirm(const Confirmation& confirmation, std::function<void(bool)> answer) = 0;
    // Called however the alert is closed.
    virtual void alert(const Alert& alert, std::function<void()> dismissed) = 0;
};

}  // namespace pellucine

#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace pellucine {

// Asks the user where to save a file. Main thread.
class SavePanel {
  public:
    struct Request {
        QString defaultName;
        // The one kind of file offered, as a name filter ("JSON (*.json)").
        QString filter;
        // Added to a chosen name that has no extension.
        QString defaultSuffix;
        // The window the panel is attached to; none: a free-standing panel.
        QWidget* sheetOn = nullptr;
        // The panel's window title; none: the toolkit's own.
        QString title;
    };

    // Called once with the chosen file, or none when the user cancelled.
    using Completion = std::function<void(std::optional<QString>)>;

    virtual ~SavePanel() = default;
    // Shows the panel and returns; `done` may run before or after the return.
    virtual void choose(const Request& request, Completion done) = 0;
};

}  // namespace pellucine

#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace pellucine {

// The window-search panel and its global hotkey. Main thread only.
class WindowSearchControlling {
  public:
    using HotkeyProblemHandler = std::function<void(const std::optional<QString>& problem)>;
    // The running applications' process identifiers, most recently activated first.
    using Recency = std::function<QList<qint32>()>;

    virtual ~WindowSearchControlling() = default;

    // Called whenever the hotkey problem changes, including when it clears.
    virtual void setOnHotkeyProblemChange(HotkeyProblemHandler handler) = 0;
    // Called as the panel opens, by the hotkey or by show, before it is on screen.
    virtual void setOnOpening(std::function<void()> handler) = 0;
    // Unregisters the previous hotkey and registers the model's, when window search is on;
    // records "window-search-hotkey" with "result". Failures show only as the hotkey problem.
    virtual void registerHotkey() = 0;
    // Opens the panel on the screen under the pointer and records "window-search-opened", or
    // posts "pellucine.needs-permissions" when a permission is missing.
    virtual void show() = 0;
};

// Makes the window-search controller; the application shell binds the model it reads.
using WindowSearchFactory =
    std::function<std::unique_ptr<WindowSearchControlling>(WindowSearchControlling::Recency)>;

}  // namespace pellucine

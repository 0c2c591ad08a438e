#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <functional>
#include <memory>

#include "app/StatusMenuModel.h"

class QAction;
class QMenu;

namespace pellucine {

// The key sequence of a key equivalent: Command is the Super key, Option is Alt.
QKeySequence menuShortcut(const MenuKeyEquivalent& key);

// The status menu drawn with the program's own rows: every time it is about to open it asks
// for a fresh model and rebuilds its items from it, so the header and all rows share the
// model's width and every row keeps its look (a tray host exporting a native menu could not
// draw them). A row's key equivalent performs it while the menu is open. Main thread.
class StatusMenu final : public QObject {
    Q_OBJECT

  public:
    // Called as the menu is about to open; returns what it is to show and in which scheme.
    using Opening = std::function<std::pair<StatusMenuModel, ColorScheme>()>;

    explicit StatusMenu(Opening opening, QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu& menu();
    // Replaces every item with the model's, in the scheme's colours.
    void render(const StatusMenuModel& model, ColorScheme scheme);
    // The action of the item as last rendered; null before the first rendering.
    QAction* action(StatusMenuItem item) const { return actions_.value(item); }
    // Opens the menu with its top-left corner at `position`, kept on the screen.
    void popup(const QPoint& position);

  signals:
    // A row was chosen.
    void triggered(pellucine::StatusMenuItem item);

  private:
    class Popup;

    std::unique_ptr<Popup> menu_;
    Opening opening_;
    QHash<StatusMenuItem, QAction*> actions_;
};

}  // namespace pellucine

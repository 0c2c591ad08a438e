#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

#include "platform/sim/SimulatedDesktop.h"

namespace pellucine {

// The system Dock and its Command-Tab strip on the simulated desktop, published as the Dock
// process shows them to accessibility clients: an application with the Dock's identifier whose
// tree holds a list of Dock items and, while the strip is up, the "process switcher list"
// with one item per application and the highlighted one selected.
class SimulatedSystemDock {
  public:
    struct Item {
        // "AXTitle": the application's name as the Dock shows it.
        QString title;
        // "AXURL": the application's bundle, when the item carries one.
        std::optional<QUrl> url;
        GlobalRect frame;
        // "AXItemProcessIdentifier": the process the item stands for, when the Dock says so.
        std::optional<qint32> processIdentifier;
    };

    static constexpr qint32 defaultProcessIdentifier = 50;

    // Launches the Dock process on the desktop; dismissing the desktop's switcher hides the
    // strip while this Dock exists.
    explicit SimulatedSystemDock(SimulatedDesktop& desktop,
                                 qint32 processIdentifier = defaultProcessIdentifier);
    ~SimulatedSystemDock();
    SimulatedSystemDock(const SimulatedSystemDock&) = delete;
    SimulatedSystemDock& operator=(const SimulatedSystemDock&) = delete;

    qint32 processIdentifier() const { return pid_; }
    // The Dock process quits; its elements go with it.
    void quit();

    // Replaces the Dock's items; returns their element ids in order.
    QList<quint64> setItems(const QList<Item>& items, GlobalRect dockFrame);
    // Shows the strip with these items and highlights one (none when out of range); returns
    // the items' element ids in order.
    QList<quint64> showSwitcher(const QList<Item>& items, int selected, GlobalRect stripFrame);
    // Moves the highlight within the strip that is up.
    void selectSwitcherItem(int index);
    void hideSwitcher();
    bool isSwitcherShowing() const { return switcherList_.has_value(); }

    std::optional<quint64> dockList() const { return dockList_; }
    std::optional<quint64> switcherList() const { return switcherList_; }

  private:
    QList<quint64> addItems(quint64 list, const QList<Item>& items);

    SimulatedDesktop& desktop_;
    qint32 pid_;
    std::optional<quint64> dockList_;
    std::optional<quint64> switcherList_;
    QList<quint64> switcherItems_;
};

}  // namespace pellucine

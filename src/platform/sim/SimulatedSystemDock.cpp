#include "platform/sim/SimulatedSystemDock.h"

#include "platform/AccessibilityNames.h"
#include "platform/SystemDock.h"

namespace pellucine {

namespace {

SimulatedTreeElement listElement(GlobalRect frame, std::optional<QString> description) {
    SimulatedTreeElement e;
    e.attributes.insert(ax::role.toString(), AccessibilityValue(QStringLiteral("AXList")));
    if (description) {
        e.attributes.insert(ax::description.toString(), AccessibilityValue(*description));
    }
    e.frame = frame;
    return e;
}

}  // namespace

SimulatedSystemDock::SimulatedSystemDock(SimulatedDesktop& desktop, qint32 processIdentifier)
    : desktop_(desktop), pid_(processIdentifier) {
    RunningApplication dock;
    dock.processIdentifier = pid_;
    dock.bundleIdentifier = systemDock::bundleIdentifier.toString();
    dock.localizedName = QStringLiteral("Dock");
    dock.activationPolicy = ActivationPolicy::accessory;
    desktop_.addApplication(dock);
    desktop_.simulatedSwitcher().setDismissHandler([this] {
        const bool showing = isSwitcherShowing();
        hideSwitcher();
        return showing;
    });
}

SimulatedSystemDock::~SimulatedSystemDock() {
    desktop_.simulatedSwitcher().setDismissHandler(nullptr);
}

void SimulatedSystemDock::quit() {
    desktop_.removeApplication(pid_);
    dockList_.reset();
    switcherList_.reset();
    switcherItems_.clear();
}

QList<quint64> SimulatedSystemDock::addItems(quint64 list, const QList<Item>& items) {
    QList<quint64> ids;
    for (const Item& item : items) {
        SimulatedTreeElement e;
        e.attributes.insert(ax::role.toString(), AccessibilityValue(QStringLiteral("AXDockItem")));
        e.attributes.insert(ax::title.toString(), AccessibilityValue(item.title));
        e.attributes.insert(ax::selected.toString(), AccessibilityValue(false));
        if (item.url) {
            e.attributes.insert(ax::url.toString(), AccessibilityValue(*item.url));
        }
        if (item.processIdentifier) {
            e.attributes.insert(ax::itemProcessIdentifier.toString(),
                                AccessibilityValue(static_cast<double>(*item.processIdentifier)));
        }
        e.frame = item.frame;
        ids.append(desktop_.addTreeElement(pid_, list, std::move(e)));
    }
    return ids;
}

QList<quint64> SimulatedSystemDock::setItems(const QList<Item>& items, GlobalRect dockFrame) {
    if (dockList_) {
        desktop_.removeTreeElement(*dockList_);
    }
    dockList_ = desktop_.addTreeElement(pid_, std::nullopt, listElement(dockFrame, std::nullopt));
    return addItems(*dockList_, items);
}

QList<quint64> SimulatedSystemDock::showSwitcher(const QList<Item>& items, int selected,
                                                 GlobalRect stripFrame) {
    hideSwitcher();
    switcherList_ = desktop_.addTreeElement(
        pid_, std::nullopt,
        listElement(stripFrame, systemDock::processSwitcherListDescription.toString()));
    switcherItems_ = addItems(*switcherList_, items);
    selectSwitcherItem(selected);
    return switcherItems_;
}

void SimulatedSystemDock::selectSwitcherItem(int index) {
    for (qsizetype i = 0; i < switcherItems_.size(); ++i) {
        desktop_.setTreeElementAttribute(switcherItems_[i], ax::selected.toString(),
                                         AccessibilityValue(i == index));
    }
}

void SimulatedSystemDock::hideSwitcher() {
    if (switcherList_) {
        desktop_.removeTreeElement(*switcherList_);
    }
    switcherList_.reset();
    switcherItems_.clear();
}

}  // namespace pellucine

#pragma once

#include "ModelFixture.h"
#include "coordination/AppCoordinator.h"
#include "coordination/RecordingSwitcherPanel.h"
#include "coordination/RecordingWindowSearch.h"
#include "platform/sim/SimulatedSystemDock.h"

namespace pellucine::testing {

// The coordinator on the simulated desktop: a main display 1 (1440 x 900) and display 2 to its
// right (1280 x 800); Mail (active), Notes and Maps with windows on the main display; the system
// Dock; recording panels. Time moves only with `advance`: the coordinator's timers never stop.
class CoordinatorFixture : public ModelFixture {
  protected:
    static constexpr qint32 mail = 10;
    static constexpr qint32 notes = 11;
    static constexpr qint32 maps = 12;
    static constexpr quint32 tab = 48;
    static constexpr quint32 command = SimulatedKeyboard::commandKey;
    static constexpr quint32 shift = SimulatedKeyboard::shiftKey;
    static inline const GlobalRect sideStrip{1700, 300, 760, 140};

    CoordinatorFixture() {
        desktop.setDisplays({{1, {0, 0, 1440, 900}, {0, 25, 1440, 805}},
                             {2, {1440, 0, 1280, 800}, {1440, 0, 1280, 800}}});
        for (const auto& [pid, name] :
             {std::pair{mail, "Mail"}, std::pair{notes, "Notes"}, std::pair{maps, "Maps"}}) {
            addApp(pid, QString::fromLatin1(name));
            windowsOf[pid] = {addWindow(pid, {100, 100, 400, 300})};
        }
        windowsOf[notes].append(addWindow(notes, {1600, 100, 400, 300}));
        desktop.activate(mail, {});
    }
    ~CoordinatorFixture() override { coordinator.reset(); }

    AppCoordinator& makeCoordinator(bool started = true) {
        if (!model) {
            makeModel();
        }
        // The panels of an earlier coordinator went with it.
        panel = nullptr;
        search = nullptr;
        model->permissions().refresh(QStringLiteral("test"));
        // The notices of the applications set up so far are old news.
        scheduler.runUntilIdle();
        coordinator = std::make_unique<AppCoordinator>(
            *model, AppCoordinator::Platform{desktop, scheduler, events},
            AppCoordinator::Panels{
                [this](SwitcherPanelCallbacks callbacks) {
                    panelCallbacks = callbacks;
                    auto made = std::make_unique<RecordingSwitcherPanel>(std::move(callbacks));
                    panel = made.get();
                    return made;
                },
                [this](WindowSearchControlling::Recency recency) {
                    auto made = std::make_unique<RecordingWindowSearch>(std::move(recency));
                    search = made.get();
                    return made;
                }});
        if (started) {
            coordinator->start();
        }
        scheduler.runUntilIdle();
        return *coordinator;
    }

    // Lists the windows in the model at once, as an earlier refresh would have.
    void refreshModel() {
        follow(model->refreshWindows());
        scheduler.runUntilIdle();
    }

    // The system strip on display 2 with the three applications, highlighting one.
    void showStrip(int highlighted, GlobalRect frame = sideStrip) {
        dock.showSwitcher(
            {{QStringLiteral("Mail"), std::nullopt, {frame.x + 20, frame.y + 20, 100, 100}},
             {QStringLiteral("Notes"), std::nullopt, {frame.x + 140, frame.y + 20, 100, 100}},
             {QStringLiteral("Maps"), std::nullopt, {frame.x + 260, frame.y + 20, 100, 100}}},
            highlighted, frame);
    }

    void keyDown(quint32 key) {
        desktop.simulatedKeyboard().keyDown(key);
        scheduler.runUntilIdle();
    }
    void keyUp(quint32 key) {
        desktop.simulatedKeyboard().keyUp(key);
        scheduler.runUntilIdle();
    }
    void tabKey() {
        desktop.simulatedKeyboard().type(tab);
        scheduler.runUntilIdle();
    }

    // The glance's events with their reason, source, window count and display, in order.
    QStringList glanceLog() const {
        QStringList out;
        for (const auto& event : events.events()) {
            if (event.name.startsWith(QStringLiteral("glance")) ||
                event.name.startsWith(QStringLiteral("native-switcher"))) {
                const QStringList keys{"reason", "source", "windowCount", "displayID"};
                QStringList parts{event.name};
                for (const QString& key : keys) {
                    parts << event.fields.value(key);
                }
                parts.removeAll(QString());
                out << parts.join(QLatin1Char(' '));
            }
        }
        return out;
    }

    // The application whose windows the glance on screen shows; none while the panel is down.
    std::optional<qint32> glancedApplication() const {
        if (panel == nullptr || !panel->isPanelVisible()) {
            return std::nullopt;
        }
        const QList<WindowDescriptor>& windows = model->switcherSelection().value().windows;
        if (windows.isEmpty()) {
            return std::nullopt;
        }
        return windows.first().ownerPID;
    }

    // Where the glance on screen came from, as the event of its last showing or refresh in place
    // names it; none while the panel is down.
    std::optional<GlanceSource> glanceOnScreen() const {
        if (panel == nullptr || !panel->isPanelVisible()) {
            return std::nullopt;
        }
        for (auto event = events.events().rbegin(); event != events.events().rend(); ++event) {
            if (event->name == QLatin1String("glance-shown") ||
                event->name == QLatin1String("glance-refreshed-in-place")) {
                for (const GlanceSource source :
                     {GlanceSource::commandTab, GlanceSource::dockHover, GlanceSource::menu}) {
                    if (event->fields.value(QStringLiteral("source")) == eventForm(source)) {
                        return source;
                    }
                }
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // The Dock along the bottom of display 1, below its visible frame: an item for each
    // application.
    void showDockItems() {
        dock.setItems({{QStringLiteral("Mail"), std::nullopt, dockItemFrame(0), mail},
                       {QStringLiteral("Notes"), std::nullopt, dockItemFrame(1), notes},
                       {QStringLiteral("Maps"), std::nullopt, dockItemFrame(2), maps}},
                      {590, 830, 220, 70});
    }
    static GlobalRect dockItemFrame(int index) { return {600 + 70.0 * index, 835, 60, 60}; }
    // The pointer moves there, and the monitors look at the move.
    void pointAt(GlobalPoint point) {
        desktop.simulatedPointer().moveTo(point);
        scheduler.runUntilIdle();
    }
    // The pointer comes to rest on the item of showDockItems() at `index` for a second.
    void restOnDockItem(int index) {
        const GlobalRect item = dockItemFrame(index);
        pointAt({item.midX(), item.midY()});
        scheduler.advance(1.0);
    }

    QList<quint32> selectedWindows() const {
        QList<quint32> ids;
        for (const WindowDescriptor& w : model->switcherSelection().value().windows) {
            ids << w.id;
        }
        return ids;
    }

    SimulatedSystemDock dock{desktop};
    QHash<qint32, QList<quint32>> windowsOf;
    std::unique_ptr<AppCoordinator> coordinator;
    RecordingSwitcherPanel* panel = nullptr;
    RecordingWindowSearch* search = nullptr;
    SwitcherPanelCallbacks panelCallbacks;
};

}  // namespace pellucine::testing

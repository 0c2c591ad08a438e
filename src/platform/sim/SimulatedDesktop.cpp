#include "platform/sim/SimulatedDesktop.h"

#include <algorithm>

#include "platform/AccessibilityNames.h"
#include "platform/sim/SimulatedObserver.h"

namespace pellucine {

namespace {

using Kind = SimulatedElementKey::Kind;

// What a request waits before it gives up when no time-out was set.
constexpr Duration defaultMessagingTimeout = std::chrono::seconds(6);

SimulatedElementKey applicationKey(qint32 pid) {
    return {Kind::application, pid, 0};
}

QString describeKey(const SimulatedElementKey& key) {
    switch (key.kind) {
        case Kind::application:
            return QStringLiteral("application %1").arg(key.processIdentifier);
        case Kind::window:
            return QStringLiteral("window %1").arg(key.windowNumber);
        case Kind::closeButton:
            return QStringLiteral("window %1 close button").arg(key.windowNumber);
        case Kind::treeElement:
            return QStringLiteral("element %1 of application %2")
                .arg(key.treeElement)
                .arg(key.processIdentifier);
    }
    return {};
}

AttributeResult noValue() {
    return AttributeResult::failed(AccessibilityStatus::noValue);
}
AttributeResult unsupported() {
    return AttributeResult::failed(AccessibilityStatus::failure);
}

}  // namespace

SimulatedDesktop::SimulatedDesktop(Scheduler& scheduler)
    : scheduler_(scheduler),
      capture_(std::make_unique<SimulatedScreenCapture>(*this, scheduler)),
      privateCapture_(std::make_unique<SimulatedPrivateCapture>(*this, scheduler)) {
    setDisplays({SimulatedDisplay{1u, {0, 0, 1440, 900}, {0, 25, 1440, 875}}});
}

SimulatedDesktop::~SimulatedDesktop() = default;

// ---- Accessibility ---------------------------------------------------------------------------

ElementRef SimulatedDesktop::makeElement(SimulatedElementKey key) {
    return std::make_shared<SimulatedElement>(*this, alive_, key);
}

ElementRef SimulatedDesktop::applicationElement(qint32 processIdentifier) {
    return makeElement(applicationKey(processIdentifier));
}

std::unique_ptr<AccessibilityObserver> SimulatedDesktop::createObserver(
    qint32 processIdentifier, AccessibilityObserver::Callback callback) {
    const Application* app = application(processIdentifier);
    if (app == nullptr || app->observerFails || !callback) {
        return nullptr;
    }
    auto state = std::make_shared<ObserverState>();
    state->pid = processIdentifier;
    state->callback = std::move(callback);
    std::erase_if(observers_, [](const auto& o) { return o.expired(); });
    observers_.push_back(state);
    return std::make_unique<SimulatedObserver>(*this, alive_, std::move(state));
}

int SimulatedDesktop::observerCount() const {
    return static_cast<int>(std::count_if(observers_.begin(), observers_.end(), [](const auto& o) {
        const auto state = o.lock();
        return state && state->started;
    }));
}

std::optional<AccessibilityStatus> SimulatedDesktop::requestFailure(
    const SimulatedElement& element) {
    if (!isProcessTrusted()) {
        return AccessibilityStatus::failure;
    }
    const SimulatedElementKey& key = element.key();
    qint32 pid = key.processIdentifier;
    if (key.kind == Kind::treeElement) {
        const auto it = treeElements_.find(key.treeElement);
        if (it == treeElements_.end()) {
            return AccessibilityStatus::failure;
        }
        pid = it->second.pid;
    } else if (key.kind != Kind::application) {
        const auto it = windows_.find(key.windowNumber);
        if (it == windows_.end() ||
            (key.kind == Kind::closeButton && !it->second.state.hasCloseButton)) {
            return AccessibilityStatus::failure;
        }
        pid = it->second.state.ownerPID;
    }
    const Application* app = application(pid);
    if (app == nullptr) {
        return AccessibilityStatus::failure;
    }
    if (app->unresponsive) {
        stalled_ +=
            element.messagingTimeout().value_or(globalTimeout_.value_or(defaultMessagingTimeout));
        return AccessibilityStatus::cannotComplete;
    }
    return std::nullopt;
}

AttributeResult SimulatedDesktop::readAttribute(const SimulatedElement& element, QStringView name) {
    if (const auto failure = requestFailure(element)) {
        return AttributeResult::failed(*failure);
    }
    const SimulatedElementKey& key = element.key();
    switch (key.kind) {
        case Kind::application: {
            const Application& app = *application(key.processIdentifier);
            if (!app.failedAttributes.isEmpty()) {
                const auto failed = app.failedAttributes.constFind(name.toString());
                if (failed != app.failedAttributes.constEnd()) {
                    return AttributeResult::failed(*failed);
                }
            }
            return readApplicationAttribute(app, name);
        }
        case Kind::window: {
            const Window& w = windows_.at(key.windowNumber);
            if (!w.failedAttributes.isEmpty() || !w.overrides.isEmpty()) {
                const QString n = name.toString();
                if (const auto failed = w.failedAttributes.constFind(n);
                    failed != w.failedAttributes.constEnd()) {
                    return AttributeResult::failed(*failed);
                }
                if (const auto o = w.overrides.constFind(n); o != w.overrides.constEnd()) {
                    return o->has_value() ? AttributeResult::success(**o) : noValue();
                }
            }
            return readWindowAttribute(w, name);
        }
        case Kind::closeButton:
            if (name == ax::role) {
                return AttributeResult::success(ax::buttonRole);
            }
            if (name == ax::subrole) {
                return AttributeResult::success(ax::closeButtonSubrole);
            }
            if (name == ax::parent) {
                return AttributeResult::success(
                    makeElement({Kind::window, key.processIdentifier, key.windowNumber}));
            }
            return unsupported();
        case Kind::treeElement:
            return readTreeAttribute(treeElements_.at(key.treeElement), name);
    }
    return unsupported();
}

ElementList SimulatedDesktop::treeElements(qint32 pid, const std::vector<quint64>& ids) {
    ElementList list;
    list.reserve(static_cast<qsizetype>(ids.size()));
    for (const quint64 id : ids) {
        list.append(makeElement({Kind::treeElement, pid, 0, id}));
    }
    return list;
}

AttributeResult SimulatedDesktop::readTreeAttribute(const TreeElement& element, QStringView name) {
    const QString n = name.toString();
    if (const auto failed = element.failedAttributes.constFind(n);
        failed != element.failedAttributes.constEnd()) {
        return AttributeResult::failed(*failed);
    }
    if (const auto a = element.state.attributes.constFind(n);
        a != element.state.attributes.constEnd()) {
        return a->has_value() ? AttributeResult::success(**a) : noValue();
    }
    if (name == ax::children) {
        return AttributeResult::success(treeElements(element.pid, element.children));
    }
    if (name == ax::parent) {
        return AttributeResult::success(
            element.parent ? makeElement({Kind::treeElement, element.pid, 0, *element.parent})
                           : applicationElement(element.pid));
    }
    if (name == ax::position) {
        return element.state.frame ? AttributeResult::success(element.state.frame->origin())
                                   : noValue();
    }
    if (name == ax::size) {
        return element.state.frame ? AttributeResult::success(element.state.frame->size())
                                   : noValue();
    }
    return unsupported();
}

AttributeResult SimulatedDesktop::readApplicationAttribute(const Application& app,
                                                           QStringView name) {
    const qint32 pid = app.info.processIdentifier;
    if (name == ax::windows || name == ax::children) {
        ElementList list;
        list.reserve(static_cast<qsizetype>(app.windows.size()));
        for (const quint32 number : app.windows) {
            list.append(makeElement({Kind::window, pid, number}));
        }
        if (name == ax::children) {
            list.append(treeElements(pid, app.treeRoots));
        }
        return AttributeResult::success(std::move(list));
    }
    if (name == ax::role) {
        return AttributeResult::success(ax::applicationRole);
    }
    if (name == ax::title) {
        return app.info.localizedName ? AttributeResult::success(*app.info.localizedName)
                                      : noValue();
    }
    if (name == ax::frontmost) {
        return AttributeResult::success(app.info.isActive);
    }
    if (name == ax::hidden) {
        return AttributeResult::success(app.info.isHidden);
    }
    if (name == ax::focusedWindow) {
        for (const quint32 number : app.windows) {
            if (!windows_.at(number).state.isMinimized) {
                return AttributeResult::success(makeElement({Kind::window, pid, number}));
            }
        }
        return noValue();
    }
    return unsupported();
}

AttributeResult SimulatedDesktop::readWindowAttribute(const Window& window, QStringView name) {
    const SimulatedWindow& w = window.state;
    if (name == ax::role) {
        return w.role ? AttributeResult::success(*w.role) : noValue();
    }
    if (name == ax::subrole) {
        return w.subrole ? AttributeResult::success(*w.subrole) : noValue();
    }
    if (name == ax::title) {
        return AttributeResult::success(w.title);
    }
    if (name == ax::position) {
        return AttributeResult::success(w.frame.origin());
    }
    if (name == ax::size) {
        return AttributeResult::success(w.frame.size());
    }
    if (name == ax::minimized) {
        return AttributeResult::success(w.isMinimized);
    }
    if (name == ax::fullScreen) {
        return AttributeResult::success(w.isFullScreen);
    }
    if (name == ax::closeButton) {
        return w.hasCloseButton ? AttributeResult::success(
                                      makeElement({Kind::closeButton, w.ownerPID, w.number}))
                                : noValue();
    }
    if (name == ax::parent) {
        return AttributeResult::success(applicationElement(w.ownerPID));
    }
    if (name == ax::children) {
        ElementList children;
        if (w.hasCloseButton) {
            children.append(makeElement({Kind::closeButton, w.ownerPID, w.number}));
        }
        return AttributeResult::success(std::move(children));
    }
    return unsupported();
}

AccessibilityStatus SimulatedDesktop::writeAttribute(const SimulatedElement& element,
                                                     QStringView name,
                                                     const AccessibilityValue& value) {
    const SimulatedElementKey& key = element.key();
    log(key, name.toString() + QStringLiteral(" := ") + value.describe());
    if (const auto failure = requestFailure(element)) {
        return *failure;
    }
    if (key.kind != Kind::window) {
        return AccessibilityStatus::failure;
    }
    const Window& w = windows_.at(key.windowNumber);
    if (const auto failed = w.failedAttributes.constFind(name.toString());
        failed != w.failedAttributes.constEnd()) {
        return *failed;
    }
    if (name == ax::position) {
        const auto p = value.toPoint();
        if (!p) {
            return AccessibilityStatus::failure;
        }
        moveWindow(key.windowNumber, *p);
        return AccessibilityStatus::success;
    }
    if (name == ax::size) {
        const auto s = value.toSize();
        if (!s) {
            return AccessibilityStatus::failure;
        }
        resizeWindow(key.windowNumber, *s);
        return AccessibilityStatus::success;
    }
    if (name == ax::minimized || name == ax::fullScreen) {
        const auto b = value.toBoolean();
        if (!b) {
            return AccessibilityStatus::failure;
        }
        if (name == ax::minimized) {
            setWindowMinimized(key.windowNumber, *b);
        } else {
            setWindowFullScreen(key.windowNumber, *b);
        }
        return AccessibilityStatus::success;
    }
    return AccessibilityStatus::failure;
}

AccessibilityStatus SimulatedDesktop::performAction(const SimulatedElement& element,
                                                    QStringView name) {
    const SimulatedElementKey& key = element.key();
    log(key, name.toString());
    if (const auto failure = requestFailure(element)) {
        return *failure;
    }
    if (key.kind == Kind::window && name == ax::raise) {
        raise(key.windowNumber);
        return AccessibilityStatus::success;
    }
    if (key.kind == Kind::closeButton && name == ax::press) {
        const auto window = windows_.find(key.windowNumber);
        if (window == windows_.end() || window->second.state.closesWhenAsked) {
            destroyWindow(key.windowNumber);
        }
        return AccessibilityStatus::success;
    }
    return AccessibilityStatus::failure;
}

AttributeResult SimulatedDesktop::elementAt(const SimulatedElement& element, GlobalPoint point) {
    if (const auto failure = requestFailure(element)) {
        return AttributeResult::failed(*failure);
    }
    const SimulatedElementKey& key = element.key();
    if (key.kind == Kind::application || key.kind == Kind::treeElement) {
        const std::vector<quint64> scope = key.kind == Kind::treeElement
                                               ? std::vector<quint64>{key.treeElement}
                                               : application(key.processIdentifier)->treeRoots;
        if (const auto hit = treeElementAt(scope, point)) {
            return AttributeResult::success(
                makeElement({Kind::treeElement, key.processIdentifier, 0, *hit}));
        }
        if (key.kind == Kind::treeElement) {
            return noValue();
        }
    }
    for (const StackItem& item : stacking_) {
        const quint32* number = std::get_if<quint32>(&item);
        if (number == nullptr) {
            continue;
        }
        const SimulatedWindow& w = windows_.at(*number).state;
        const bool inScope = key.kind == Kind::application ? w.ownerPID == key.processIdentifier
                                                           : *number == key.windowNumber;
        if (inScope && !w.isMinimized && w.frame.contains(point)) {
            return AttributeResult::success(makeElement({Kind::window, w.ownerPID, *number}));
        }
    }
    return noValue();
}

std::optional<quint64> SimulatedDesktop::treeElementAt(const std::vector<quint64>& ids,
                                                       GlobalPoint point) const {
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const TreeElement& e = treeElements_.at(*it);
        if (const auto deeper = treeElementAt(e.children, point)) {
            return deeper;
        }
        const std::optional<GlobalRect> area = e.state.hitArea ? e.state.hitArea : e.state.frame;
        if (area && area->contains(point)) {
            return *it;
        }
    }
    return std::nullopt;
}

std::optional<qint32> SimulatedDesktop::processIdentifierOf(const SimulatedElementKey& key) const {
    const Application* app = application(key.processIdentifier);
    if (app != nullptr && app->pidUnreadable) {
        return std::nullopt;
    }
    return key.processIdentifier;
}

void SimulatedDesktop::noteTimeout(const SimulatedElementKey& key, Duration timeout) {
    timeoutsSet_.append(describeKey(key) + QStringLiteral(": %1 s").arg(toSeconds(timeout)));
}

// ---- Observers -------------------------------------------------------------------------------

AccessibilityStatus SimulatedDesktop::addRegistration(ObserverState& state,
                                                      const ElementRef& element,
                                                      QStringView notification) {
    const auto* simulated = dynamic_cast<const SimulatedElement*>(element.get());
    if (simulated == nullptr || simulated->key().processIdentifier != state.pid) {
        return AccessibilityStatus::failure;
    }
    if (const auto failure = requestFailure(*simulated)) {
        return *failure;
    }
    state.registrations.emplace(simulated->key(), notification.toString());
    return AccessibilityStatus::success;
}

void SimulatedDesktop::notify(const SimulatedElementKey& registeredOn, QStringView notification,
                              const SimulatedElementKey& subject) {
    const std::pair<SimulatedElementKey, QString> registration{registeredOn,
                                                               notification.toString()};
    std::erase_if(observers_, [](const auto& o) { return o.expired(); });
    for (const auto& weak : observers_) {
        const auto state = weak.lock();
        if (!state || !state->started || state->pid != registeredOn.processIdentifier ||
            !state->registrations.contains(registration)) {
            continue;
        }
        scheduler_.post([weak, element = makeElement(subject), name = registration.second] {
            if (const auto s = weak.lock(); s && s->started) {
                s->callback(element, name);
            }
        });
    }
}

void SimulatedDesktop::notifyWindow(quint32 number, QStringView notification) {
    const SimulatedWindow& w = windows_.at(number).state;
    const SimulatedElementKey key{Kind::window, w.ownerPID, number};
    notify(key, notification, key);
}

// ---- Window list -----------------------------------------------------------------------------

QList<WindowListEntry> SimulatedDesktop::windows(const WindowListOptions& options) const {
    QList<WindowListEntry> list;
    list.reserve(static_cast<qsizetype>(stacking_.size()));
    for (const StackItem& item : stacking_) {
        WindowListEntry entry;
        if (const quint32* number = std::get_if<quint32>(&item)) {
            const SimulatedWindow& w = windows_.at(*number).state;
            if (!w.isListed) {
                continue;
            }
            const Application* app = application(w.ownerPID);
            entry.number = w.number;
            entry.ownerPID = w.ownerPID;
            entry.layer = w.layer;
            entry.bounds = w.listBounds.value_or(w.frame);
            entry.isOnScreen = !w.isMinimized && (app == nullptr || !app->info.isHidden);
        } else {
            entry = std::get<WindowListEntry>(item);
        }
        if (options.onScreenOnly && !entry.isOnScreen.value_or(false)) {
            continue;
        }
        if (options.excludeDesktopElements && entry.layer.value_or(0) < 0) {
            continue;
        }
        list.append(entry);
    }
    return list;
}

// ---- Workspace -------------------------------------------------------------------------------

QList<RunningApplication> SimulatedDesktop::runningApplications() const {
    QList<RunningApplication> list;
    list.reserve(static_cast<qsizetype>(applications_.size()));
    for (const Application& app : applications_) {
        list.append(app.info);
    }
    return list;
}

std::optional<RunningApplication> SimulatedDesktop::runningApplication(
    qint32 processIdentifier) const {
    const Application* app = application(processIdentifier);
    return app != nullptr ? std::optional(app->info) : std::nullopt;
}

bool SimulatedDesktop::activate(qint32 processIdentifier, ActivationOptions options) {
    log(applicationKey(processIdentifier),
        options.allWindows ? QStringLiteral("activate all windows") : QStringLiteral("activate"));
    Application* target = application(processIdentifier);
    if (target == nullptr) {
        return false;
    }
    const bool wasActive = target->info.isActive;
    for (Application& app : applications_) {
        app.info.isActive = app.info.processIdentifier == processIdentifier;
    }
    target->info.isHidden = false;
    std::vector<quint32> toRaise;
    if (options.allWindows) {
        toRaise = target->windows;
    } else if (!target->windows.empty()) {
        toRaise.push_back(target->windows.front());
    }
    for (auto it = toRaise.rbegin(); it != toRaise.rend(); ++it) {
        raise(*it);
    }
    if (!wasActive) {
        postNotice({WorkspaceNotice::Kind::activated, processIdentifier});
    }
    return true;
}

bool SimulatedDesktop::hide(qint32 processIdentifier) {
    log(applicationKey(processIdentifier), QStringLiteral("hide"));
    Application* app = application(processIdentifier);
    if (app == nullptr) {
        return false;
    }
    app->info.isHidden = true;
    app->info.isActive = false;
    return true;
}

bool SimulatedDesktop::unhide(qint32 processIdentifier) {
    log(applicationKey(processIdentifier), QStringLiteral("unhide"));
    Application* app = application(processIdentifier);
    if (app == nullptr) {
        return false;
    }
    app->info.isHidden = false;
    return true;
}

bool SimulatedDesktop::terminate(qint32 processIdentifier) {
    log(applicationKey(processIdentifier), QStringLiteral("terminate"));
    if (application(processIdentifier) == nullptr) {
        return false;
    }
    removeApplication(processIdentifier);
    return true;
}

Subscription SimulatedDesktop::subscribe(std::function<void(const WorkspaceNotice&)> handler) {
    return notices_.add(std::move(handler));
}

void SimulatedDesktop::postNotice(WorkspaceNotice notice) {
    scheduler_.post([this, alive = std::weak_ptr<const bool>(alive_), notice] {
        if (!alive.expired()) {
            notices_.send(notice);
        }
    });
}

// ---- Screens ---------------------------------------------------------------------------------

void SimulatedDesktop::setDisplays(QList<SimulatedDisplay> displays) {
    displays_ = std::move(displays);
}

QList<Screen> SimulatedDesktop::screens() const {
    QList<Screen> list;
    if (displays_.isEmpty()) {
        return list;
    }
    const double mainHeight = displays_.first().bounds.height;
    for (const SimulatedDisplay& d : displays_) {
        list.append({d.screenHasIdentifier ? std::optional(d.identifier) : std::nullopt,
                     toScreenSpace(d.bounds, mainHeight),
                     toScreenSpace(d.visibleBounds, mainHeight)});
    }
    return list;
}

quint32 SimulatedDesktop::mainDisplayIdentifier() const {
    return displays_.isEmpty() ? 0 : displays_.first().identifier;
}

GlobalRect SimulatedDesktop::displayBounds(quint32 displayIdentifier) const {
    for (const SimulatedDisplay& d : displays_) {
        if (d.identifier == displayIdentifier) {
            return d.bounds;
        }
    }
    return {};
}

// ---- Driver: applications --------------------------------------------------------------------

SimulatedDesktop::Application* SimulatedDesktop::application(qint32 pid) {
    const auto it = firstByPID_.find(pid);
    return it == firstByPID_.end() ? nullptr : &applications_[it->second];
}

const SimulatedDesktop::Application* SimulatedDesktop::application(qint32 pid) const {
    const auto it = firstByPID_.find(pid);
    return it == firstByPID_.end() ? nullptr : &applications_[it->second];
}

void SimulatedDesktop::reindexApplications() {
    firstByPID_.clear();
    for (std::size_t i = 0; i < applications_.size(); ++i) {
        firstByPID_.try_emplace(applications_[i].info.processIdentifier, i);
    }
}

void SimulatedDesktop::addApplication(RunningApplication application) {
    if (application.isActive) {
        for (Application& app : applications_) {
            app.info.isActive = false;
        }
    }
    const qint32 pid = application.processIdentifier;
    applications_.push_back(Application{std::move(application), {}, false, false, false, {}});
    reindexApplications();
    postNotice({WorkspaceNotice::Kind::launched, pid});
}

void SimulatedDesktop::removeApplication(qint32 pid) {
    if (application(pid) == nullptr) {
        return;
    }
    std::erase_if(applications_,
                  [pid](const Application& a) { return a.info.processIdentifier == pid; });
    reindexApplications();
    std::erase_if(stacking_, [this, pid](const StackItem& item) {
        const quint32* number = std::get_if<quint32>(&item);
        return number != nullptr && windows_.at(*number).state.ownerPID == pid;
    });
    std::erase_if(windows_,
                  [pid](const auto& entry) { return entry.second.state.ownerPID == pid; });
    std::erase_if(treeElements_, [pid](const auto& entry) { return entry.second.pid == pid; });
    postNotice({WorkspaceNotice::Kind::terminated, pid});
}

void SimulatedDesktop::setApplicationUnresponsive(qint32 pid, bool unresponsive) {
    if (Application* app = application(pid)) {
        app->unresponsive = unresponsive;
    }
}

void SimulatedDesktop::failApplicationAttribute(qint32 pid, const QString& name,
                                                AccessibilityStatus status) {
    if (Application* app = application(pid)) {
        app->failedAttributes.insert(name, status);
    }
}

void SimulatedDesktop::setObserverCreationFails(qint32 pid, bool fails) {
    if (Application* app = application(pid)) {
        app->observerFails = fails;
    }
}

void SimulatedDesktop::setProcessIdentifierUnreadable(qint32 pid, bool unreadable) {
    if (Application* app = application(pid)) {
        app->pidUnreadable = unreadable;
    }
}

// ---- Driver: element trees -------------------------------------------------------------------

quint64 SimulatedDesktop::addTreeElement(qint32 pid, std::optional<quint64> parent,
                                         SimulatedTreeElement element) {
    Application* app = application(pid);
    Q_ASSERT(app != nullptr);
    Q_ASSERT(!parent || treeElements_.at(*parent).pid == pid);
    const quint64 id = nextTreeElement_++;
    treeElements_.emplace(id, TreeElement{pid, parent, {}, std::move(element), {}});
    if (parent) {
        treeElements_.at(*parent).children.push_back(id);
    } else {
        app->treeRoots.push_back(id);
    }
    return id;
}

void SimulatedDesktop::removeTreeElement(quint64 id) {
    const auto it = treeElements_.find(id);
    if (it == treeElements_.end()) {
        return;
    }
    const std::vector<quint64> children = it->second.children;
    for (const quint64 child : children) {
        removeTreeElement(child);
    }
    const TreeElement& e = treeElements_.at(id);
    if (e.parent) {
        std::erase(treeElements_.at(*e.parent).children, id);
    } else if (Application* app = application(e.pid)) {
        std::erase(app->treeRoots, id);
    }
    treeElements_.erase(id);
}

void SimulatedDesktop::setTreeElementAttribute(quint64 id, const QString& name,
                                               std::optional<AccessibilityValue> value) {
    treeElements_.at(id).state.attributes.insert(name, std::move(value));
}

void SimulatedDesktop::setTreeElementFrame(quint64 id, std::optional<GlobalRect> frame) {
    treeElements_.at(id).state.frame = frame;
}

void SimulatedDesktop::failTreeElementAttribute(quint64 id, const QString& name,
                                                AccessibilityStatus status) {
    treeElements_.at(id).failedAttributes.insert(name, status);
}

ElementRef SimulatedDesktop::treeElement(quint64 id) {
    return makeElement({Kind::treeElement, treeElements_.at(id).pid, 0, id});
}

// ---- Driver: windows -------------------------------------------------------------------------

SimulatedDesktop::Window& SimulatedDesktop::existingWindow(quint32 number) {
    return windows_.at(number);
}

const SimulatedWindow* SimulatedDesktop::window(quint32 number) const {
    const auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : &it->second.state;
}

QList<quint32> SimulatedDesktop::stackingOrder() const {
    QList<quint32> order;
    for (const StackItem& item : stacking_) {
        if (const quint32* number = std::get_if<quint32>(&item)) {
            order.append(*number);
        }
    }
    return order;
}

quint32 SimulatedDesktop::addWindow(SimulatedWindow window) {
    if (window.number == 0) {
        while (windows_.contains(nextWindowNumber_)) {
            ++nextWindowNumber_;
        }
        window.number = nextWindowNumber_++;
    }
    const quint32 number = window.number;
    const qint32 pid = window.ownerPID;
    if (windows_.contains(number)) {
        destroyWindow(number);
    }
    windows_.emplace(number, Window{std::move(window), {}, {}});
    stacking_.insert(stacking_.begin(), StackItem{number});
    if (Application* app = application(pid)) {
        app->windows.insert(app->windows.begin(), number);
    }
    notify(applicationKey(pid), ax::windowCreated, {Kind::window, pid, number});
    return number;
}

void SimulatedDesktop::destroyWindow(quint32 number) {
    const auto it = windows_.find(number);
    if (it == windows_.end()) {
        return;
    }
    notifyWindow(number, ax::elementDestroyed);
    if (Application* app = application(it->second.state.ownerPID)) {
        std::erase(app->windows, number);
    }
    std::erase(stacking_, StackItem{number});
    windows_.erase(it);
}

void SimulatedDesktop::removeWindow(quint32 number) {
    destroyWindow(number);
}

void SimulatedDesktop::moveWindow(quint32 number, GlobalPoint origin) {
    GlobalRect& frame = existingWindow(number).state.frame;
    frame.x = origin.x;
    frame.y = origin.y;
    notifyWindow(number, ax::moved);
}

void SimulatedDesktop::resizeWindow(quint32 number, Size size) {
    GlobalRect& frame = existingWindow(number).state.frame;
    frame.width = size.width;
    frame.height = size.height;
    notifyWindow(number, ax::resized);
}

void SimulatedDesktop::setWindowMinimized(quint32 number, bool minimized) {
    SimulatedWindow& w = existingWindow(number).state;
    if (w.isMinimized == minimized) {
        return;
    }
    w.isMinimized = minimized;
    notifyWindow(number, minimized ? ax::windowMiniaturized : ax::windowDeminiaturized);
}

void SimulatedDesktop::setWindowFullScreen(quint32 number, bool fullScreen) {
    existingWindow(number).state.isFullScreen = fullScreen;
}

void SimulatedDesktop::retitleWindow(quint32 number, const QString& title) {
    existingWindow(number).state.title = title;
    notifyWindow(number, ax::titleChanged);
}

void SimulatedDesktop::focusWindow(quint32 number) {
    const qint32 pid = existingWindow(number).state.ownerPID;
    raise(number);
    if (Application* app = application(pid); app != nullptr && !app->info.isActive) {
        for (Application& other : applications_) {
            other.info.isActive = false;
        }
        app->info.isActive = true;
        postNotice({WorkspaceNotice::Kind::activated, pid});
    }
    notify(applicationKey(pid), ax::focusedWindowChanged, {Kind::window, pid, number});
}

void SimulatedDesktop::raise(quint32 number) {
    const auto it = std::find(stacking_.begin(), stacking_.end(), StackItem{number});
    if (it != stacking_.end()) {
        std::rotate(stacking_.begin(), it, it + 1);
    }
    if (Application* app = application(existingWindow(number).state.ownerPID)) {
        const auto own = std::find(app->windows.begin(), app->windows.end(), number);
        if (own != app->windows.end()) {
            std::rotate(app->windows.begin(), own, own + 1);
        }
    }
}

void SimulatedDesktop::setWindowListBounds(quint32 number, std::optional<GlobalRect> bounds) {
    existingWindow(number).state.listBounds = bounds;
}

void SimulatedDesktop::setWindowListed(quint32 number, bool listed) {
    existingWindow(number).state.isListed = listed;
}

void SimulatedDesktop::overrideWindowAttribute(quint32 number, const QString& name,
                                               std::optional<AccessibilityValue> value) {
    existingWindow(number).overrides.insert(name, std::move(value));
}

void SimulatedDesktop::failWindowAttribute(quint32 number, const QString& name,
                                           AccessibilityStatus status) {
    existingWindow(number).failedAttributes.insert(name, status);
}

void SimulatedDesktop::addWindowListEntry(WindowListEntry entry, bool inFront) {
    if (inFront) {
        stacking_.insert(stacking_.begin(), StackItem{std::move(entry)});
    } else {
        stacking_.push_back(StackItem{std::move(entry)});
    }
}

void SimulatedDesktop::log(const SimulatedElementKey& key, const QString& what) {
    requests_.append(describeKey(key) + QStringLiteral(": ") + what);
}

}  // namespace pellucine

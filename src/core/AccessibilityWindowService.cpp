#include "core/AccessibilityWindowService.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "core/WindowCandidateIndex.h"
#include "core/WindowServiceError.h"
#include "platform/AccessibilityNames.h"

namespace pellucine {

namespace {

using Candidate = WindowCandidateIndex::Candidate;
using RunningApplicationMap = std::unordered_map<qint32, const RunningApplication*>;

bool isLargeEnough(const GlobalRect& frame) {
    const GlobalRect s = frame.standardized();
    return s.width >= AccessibilityWindowService::minimumWindowSide &&
           s.height >= AccessibilityWindowService::minimumWindowSide;
}

QString applicationName(const RunningApplication& app) {
    return app.localizedName.value_or(QStringLiteral("Application"));
}

// The running applications by pid, the first of a repeated pid winning, and the visiting
// order: the workspace's.
std::vector<const RunningApplication*> mapRunningApplications(
    const QList<RunningApplication>& running, RunningApplicationMap& map) {
    std::vector<const RunningApplication*> order;
    for (const RunningApplication& app : running) {
        if (app.processIdentifier < 1) {
            continue;
        }
        if (map.try_emplace(app.processIdentifier, &app).second) {
            order.push_back(&app);
        }
    }
    return order;
}

// A window-list entry that can be a real window of another regular application.
std::optional<Candidate> readWindowCandidate(const WindowListEntry& entry, qint64 position,
                                             qint32 ownPID, const RunningApplicationMap& running) {
    if (!entry.ownerPID || !entry.number || !entry.layer) {
        return std::nullopt;
    }
    if (*entry.layer != 0) {
        return std::nullopt;
    }
    const auto pid = static_cast<qint32>(*entry.ownerPID);
    if (pid == ownPID) {
        return std::nullopt;
    }
    const auto app = running.find(pid);
    if (app == running.end() || app->second->activationPolicy != ActivationPolicy::regular) {
        return std::nullopt;
    }
    const GlobalRect bounds = entry.bounds.value_or(GlobalRect{});
    if (!isLargeEnough(bounds)) {
        return std::nullopt;
    }
    return Candidate{static_cast<quint32>(*entry.number), pid, bounds,
                     entry.isOnScreen.value_or(false), position};
}

struct Counters {
    int cgCandidateCount = 0;
    int axWindowCount = 0;
    int matchedWindowCount = 0;
    int rejectedWindowCount = 0;
    int axTimeoutCount = 0;
};

// Role "AXWindow", a standard window (or a dialog of a hidden application), at least
// 80 x 80: its frame; otherwise none.
std::optional<GlobalRect> acceptedFrame(const AccessibilityElement& element,
                                        bool applicationHidden) {
    if (AccessibilityWindowService::readStringAttribute(element, ax::role) != ax::windowRole) {
        return std::nullopt;
    }
    const auto subrole = AccessibilityWindowService::readStringAttribute(element, ax::subrole);
    if (!subrole ||
        !(*subrole == ax::standardWindow || (*subrole == ax::dialog && applicationHidden))) {
        return std::nullopt;
    }
    const auto frame = AccessibilityWindowService::readElementFrame(element);
    if (!frame || !isLargeEnough(*frame)) {
        return std::nullopt;
    }
    return frame;
}

quint32 madeUpWindowNumber(qint32 pid, qint64 position) {
    return WindowDescriptor::madeUpNumberBit | (static_cast<quint32>(pid) << 8) |
           (static_cast<quint32>(position) & 0xFFu);
}

}  // namespace

// ---- Readers ---------------------------------------------------------------------------------

std::optional<GlobalRect> AccessibilityWindowService::readElementFrame(
    const AccessibilityElement& element) {
    const AttributeResult position = element.attribute(ax::position);
    const AttributeResult size = element.attribute(ax::size);
    if (!position.ok() || !size.ok()) {
        return std::nullopt;
    }
    const auto p = position.value()->toPoint();
    const auto s = size.value()->toSize();
    if (!p || !s) {
        return std::nullopt;
    }
    return GlobalRect{p->x, p->y, s->width, s->height};
}

std::optional<bool> AccessibilityWindowService::readBoolAttribute(
    const AccessibilityElement& element, QStringView name) {
    const AttributeResult r = element.attribute(name);
    return r.ok() ? r.value()->toBoolean() : std::nullopt;
}

std::optional<QString> AccessibilityWindowService::readStringAttribute(
    const AccessibilityElement& element, QStringView name) {
    const AttributeResult r = element.attribute(name);
    return r.ok() ? r.value()->toString() : std::nullopt;
}

std::optional<ElementList> AccessibilityWindowService::readElementsAttribute(
    const AccessibilityElement& element, QStringView name) {
    const AttributeResult r = element.attribute(name);
    return r.ok() ? r.value()->toElements() : std::nullopt;
}

// ---- Enumeration -----------------------------------------------------------------------------

QCoro::Task<QList<ApplicationDescriptor>> AccessibilityWindowService::enumerateWindows() {
    co_return snapshot();
}

QList<ApplicationDescriptor> AccessibilityWindowService::snapshot() {
    WindowListOptions listOptions;
    listOptions.excludeDesktopElements = true;
    const QList<WindowListEntry> windowList = desktop_.windowList().windows(listOptions);
    const qint32 ownPID = desktop_.process().processIdentifier();
    const QList<RunningApplication> running = desktop_.workspace().runningApplications();
    RunningApplicationMap runningByPID;
    const std::vector<const RunningApplication*> visitingOrder =
        mapRunningApplications(running, runningByPID);

    Counters counters;
    std::vector<Candidate> candidates;
    for (qsizetype p = 0; p < windowList.size(); ++p) {
        if (auto c = readWindowCandidate(windowList[p], p, ownPID, runningByPID)) {
            candidates.push_back(*c);
        }
    }
    counters.cgCandidateCount = static_cast<int>(candidates.size());
    WindowCandidateIndex index(std::move(candidates));

    struct Keyed {
        ApplicationDescriptor application;
        qint64 zOrder;
    };
    std::vector<Keyed> applications;

    for (const RunningApplication* app : visitingOrder) {
        if (app->activationPolicy != ActivationPolicy::regular ||
            app->processIdentifier == ownPID) {
            continue;
        }
        const qint32 pid = app->processIdentifier;
        const ElementRef appElement = desktop_.accessibility().applicationElement(pid);
        appElement->setMessagingTimeout(seconds(enumerationTimeoutSeconds));
        const AttributeResult windowsRead = appElement->attribute(ax::windows);
        if (windowsRead.status() == AccessibilityStatus::cannotComplete) {
            ++counters.axTimeoutCount;
            continue;
        }
        const std::optional<ElementList> elements =
            windowsRead.ok() ? windowsRead.value()->toElements() : std::nullopt;
        if (!elements) {
            continue;
        }

        std::vector<std::pair<WindowDescriptor, qint64>> kept;
        for (qsizetype i = 0; i < elements->size(); ++i) {
            const AccessibilityElement& element = *elements->at(i);
            ++counters.axWindowCount;
            const std::optional<GlobalRect> frame = acceptedFrame(element, app->isHidden);
            if (!frame) {
                ++counters.rejectedWindowCount;
                continue;
            }
            WindowDescriptor w;
            w.isMinimized = readBoolAttribute(element, ax::minimized).value_or(false);
            w.isFullScreen = readBoolAttribute(element, ax::fullScreen).value_or(false);
            w.title = readStringAttribute(element, ax::title).value_or(QString());

            qint64 zOrder = 0;
            if (const auto match = index.take(pid, *frame)) {
                w.id = match->id;
                w.isOnScreen = match->isOnScreen;
                zOrder = match->zOrder;
            } else if (w.isMinimized) {
                w.id = madeUpWindowNumber(pid, i);
                w.isOnScreen = false;
                zOrder = counters.cgCandidateCount + i;
            } else {
                ++counters.rejectedWindowCount;
                continue;
            }
            ++counters.matchedWindowCount;
            w.ownerPID = pid;
            w.ownerBundleIdentifier = app->bundleIdentifier;
            w.ownerAliases = app->aliases;
            w.applicationName = applicationName(*app);
            w.frame = *frame;
            kept.emplace_back(std::move(w), zOrder);
        }
        if (kept.empty()) {
            continue;
        }
        std::stable_sort(kept.begin(), kept.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
        ApplicationDescriptor descriptor;
        descriptor.processIdentifier = pid;
        descriptor.bundleIdentifier = app->bundleIdentifier;
        descriptor.name = applicationName(*app);
        descriptor.bundleURL = app->bundleURL;
        descriptor.isActive = app->isActive;
        descriptor.isHidden = app->isHidden;
        descriptor.windows.reserve(static_cast<qsizetype>(kept.size()));
        for (auto& [window, zOrder] : kept) {
            descriptor.windows.append(std::move(window));
        }
        applications.push_back({std::move(descriptor), kept.front().second});
    }

    events_.record(
        QStringLiteral("window-enumeration"),
        {{QStringLiteral("cgCandidateCount"), QString::number(counters.cgCandidateCount)},
         {QStringLiteral("axWindowCount"), QString::number(counters.axWindowCount)},
         {QStringLiteral("matchedWindowCount"), QString::number(counters.matchedWindowCount)},
         {QStringLiteral("rejectedWindowCount"), QString::number(counters.rejectedWindowCount)},
         {QStringLiteral("axTimeoutCount"), QString::number(counters.axTimeoutCount)}});

    std::stable_sort(applications.begin(), applications.end(),
                     [](const Keyed& a, const Keyed& b) { return a.zOrder < b.zOrder; });
    QList<ApplicationDescriptor> result;
    result.reserve(static_cast<qsizetype>(applications.size()));
    for (Keyed& keyed : applications) {
        result.append(std::move(keyed.application));
    }
    return result;
}

// ---- Operations ------------------------------------------------------------------------------

ElementRef AccessibilityWindowService::findWindowElement(const ElementList& elements,
                                                         const WindowDescriptor& window,
                                                         bool restoring) const {
    // A real number names the window; the frame must still agree, so a window moved or resized
    // since the snapshot is not operated on. A window minimized now, and either then too or about
    // to be restored, is the exception: its frame is out of sight, and the window manager may
    // move it meanwhile (openbox leaves it where its animation ended). Elements whose number the
    // platform cannot tell, and every element for a made-up number, are judged by frame and title.
    const bool byNumber = !window.hasMadeUpNumber();
    ElementRef byFrameAndTitle;
    for (const ElementRef& element : elements) {
        const std::optional<quint32> number = byNumber ? element->windowNumber() : std::nullopt;
        if (number && *number != window.id) {
            continue;
        }
        if (!number && byFrameAndTitle) {
            continue;
        }
        if (number && (window.isMinimized || restoring) &&
            readBoolAttribute(*element, ax::minimized) == true) {
            return element;
        }
        const std::optional<GlobalRect> frame = readElementFrame(*element);
        if (!frame || !WindowCandidateIndex::framesAgree(*frame, window.frame)) {
            continue;
        }
        if (number) {
            return element;
        }
        if (window.title.isEmpty() ||
            readStringAttribute(*element, ax::title).value_or(QString()) == window.title) {
            if (!byNumber) {
                return element;
            }
            byFrameAndTitle = element;
        }
    }
    return byFrameAndTitle;
}

void AccessibilityWindowService::performWindowAction(WindowAction action,
                                                     const WindowDescriptor& window) {
    const Duration timeout = seconds(actionTimeoutSeconds);
    const ElementRef app = desktop_.accessibility().applicationElement(window.ownerPID);
    app->setMessagingTimeout(timeout);
    const std::optional<ElementList> elements = readElementsAttribute(*app, ax::windows);
    if (!elements || elements->isEmpty()) {
        throw WindowServiceError::windowUnavailable();
    }
    const ElementRef element =
        findWindowElement(*elements, window, action.kind == WindowAction::Kind::restore);
    if (!element) {
        throw WindowServiceError::windowUnavailable();
    }
    element->setMessagingTimeout(timeout);

    switch (action.kind) {
        case WindowAction::Kind::focus:
            element->setAttribute(ax::minimized, false);
            element->performAction(ax::raise);
            activateAllWindows(window.ownerPID);
            break;
        case WindowAction::Kind::minimize:
            element->setAttribute(ax::minimized, true);
            break;
        case WindowAction::Kind::restore:
            element->setAttribute(ax::minimized, false);
            element->performAction(ax::raise);
            break;
        case WindowAction::Kind::toggleFullScreen:
            element->setAttribute(ax::fullScreen, !window.isFullScreen);
            break;
        case WindowAction::Kind::close: {
            const AttributeResult button = element->attribute(ax::closeButton);
            if (const ElementRef pressable = button.ok() ? button.value()->toElement() : nullptr) {
                pressable->performAction(ax::press);
            }
            break;
        }
        case WindowAction::Kind::place: {
            // The target is settled before anything changes, so a failure leaves the window as
            // it was.
            const std::optional<GlobalRect> visible = bestVisibleFrame(window.frame);
            if (!visible) {
                throw WindowServiceError::windowUnavailable();
            }
            const GlobalRect target = placementFrame(action.placement, *visible);
            element->setAttribute(ax::fullScreen, false);
            element->setAttribute(ax::minimized, false);
            setElementFrame(*element, target.origin(), target.size());
            element->performAction(ax::raise);
            activateAllWindows(window.ownerPID);
            break;
        }
    }
}

void AccessibilityWindowService::activateAllWindows(qint32 pid) {
    Workspace& workspace = desktop_.workspace();
    if (workspace.runningApplication(pid)) {
        ActivationOptions options;
        options.allWindows = true;
        workspace.activate(pid, options);
    }
}

void AccessibilityWindowService::setElementFrame(AccessibilityElement& element, GlobalPoint origin,
                                                 Size size) {
    if (std::isfinite(origin.x) && std::isfinite(origin.y)) {
        element.setAttribute(ax::position, origin);
    }
    if (std::isfinite(size.width) && std::isfinite(size.height)) {
        element.setAttribute(ax::size, size);
    }
}

std::optional<std::pair<GlobalRect, double>> AccessibilityWindowService::visibleFrameAndOverlap(
    const Screen& screen, const GlobalRect& frame, double mainDisplayHeight) const {
    if (!screen.displayIdentifier) {
        return std::nullopt;
    }
    const GlobalRect bounds = desktop_.screenLayout().displayBounds(*screen.displayIdentifier);
    return std::pair{toGlobalSpace(screen.visibleFrame, mainDisplayHeight),
                     bounds.intersected(frame).area()};
}

std::optional<GlobalRect> AccessibilityWindowService::bestVisibleFrame(
    const GlobalRect& frame) const {
    const ScreenLayout& layout = desktop_.screenLayout();
    const double mainHeight = layout.displayBounds(layout.mainDisplayIdentifier()).height;
    std::optional<std::pair<GlobalRect, double>> best;
    for (const Screen& screen : layout.screens()) {
        const auto candidate = visibleFrameAndOverlap(screen, frame, mainHeight);
        if (candidate && (!best || candidate->second > best->second)) {
            best = candidate;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return best->first;
}

}  // namespace pellucine

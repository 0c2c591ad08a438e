#include "core/NativeSwitcherProbe.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/AccessibilityWindowService.h"
#include "platform/AccessibilityNames.h"
#include "platform/SystemDock.h"

namespace pellucine {

namespace {

bool flag(const AccessibilityElement& element, QStringView name) {
    return AccessibilityWindowService::readBoolAttribute(element, name).value_or(false);
}

std::optional<QString> text(const AccessibilityElement& element, QStringView name) {
    return AccessibilityWindowService::readStringAttribute(element, name);
}

ElementRef parentOf(const AccessibilityElement& element) {
    const AttributeResult r = element.attribute(ax::parent);
    return r.ok() ? r.value()->toElement() : nullptr;
}

// File URLs compare by their cleaned paths ("/A/B.app/" and "/A/./B.app" are the same bundle).
QUrl standardizedFileURL(const QUrl& url) {
    if (url.isLocalFile()) {
        return QUrl::fromLocalFile(QDir::cleanPath(url.toLocalFile()));
    }
    return url.adjusted(QUrl::NormalizePathSegments);
}

}  // namespace

ElementRef NativeSwitcherProbe::dockApplicationElement() const {
    const QString shell = desktop_.systemSwitcher().shellBundleIdentifier();
    for (const RunningApplication& app : desktop_.workspace().runningApplications()) {
        if (app.bundleIdentifier == shell && app.processIdentifier > 0) {
            ElementRef element = desktop_.accessibility().applicationElement(app.processIdentifier);
            element->setMessagingTimeout(seconds(messagingTimeoutSeconds));
            return element;
        }
    }
    return nullptr;
}

ElementList NativeSwitcherProbe::descendants(const ElementRef& element, int depth) const {
    if (depth > maximumDepth) {
        return {};
    }
    ElementList list{element};
    const auto children = AccessibilityWindowService::readElementsAttribute(*element, ax::children);
    if (!children) {
        return list;
    }
    const qsizetype taken = std::min<qsizetype>(children->size(), childrenPerElement);
    for (qsizetype i = 0; i < taken; ++i) {
        list.append(descendants(children->at(i), depth + 1));
        if (list.size() >= maximumElements) {
            break;
        }
    }
    if (list.size() > maximumElements) {
        list.resize(maximumElements);
    }
    return list;
}

std::optional<QUrl> NativeSwitcherProbe::itemURL(const AccessibilityElement& element) {
    const AttributeResult r = element.attribute(ax::url);
    if (!r.ok()) {
        return std::nullopt;
    }
    if (auto url = r.value()->toUrl()) {
        return url;
    }
    if (const auto string = r.value()->toString()) {
        // A string that is not a complete URL is a path.
        const QUrl parsed(*string, QUrl::StrictMode);
        if (parsed.isValid() && !parsed.scheme().isEmpty()) {
            return parsed;
        }
        return QUrl::fromLocalFile(*string);
    }
    return std::nullopt;
}

std::optional<qint32> NativeSwitcherProbe::itemProcess(const AccessibilityElement& element) {
    const AttributeResult r = element.attribute(ax::itemProcessIdentifier);
    const std::optional<double> number = r.ok() ? r.value()->toNumber() : std::nullopt;
    if (!number || *number < 1 || *number > std::numeric_limits<qint32>::max() ||
        std::trunc(*number) != *number) {
        return std::nullopt;
    }
    return static_cast<qint32>(*number);
}

bool NativeSwitcherProbe::application(const RunningApplication& app, const QUrl& bundleURL) {
    if (!app.bundleURL || app.bundleURL->isEmpty() || bundleURL.isEmpty()) {
        return false;
    }
    return standardizedFileURL(*app.bundleURL) == standardizedFileURL(bundleURL);
}

std::optional<qint32> NativeSwitcherProbe::processIdentifier(
    const AccessibilityElement& element) const {
    QList<RunningApplication> candidates;
    for (const RunningApplication& app : desktop_.workspace().runningApplications()) {
        if (app.activationPolicy == ActivationPolicy::regular && !app.isTerminated &&
            app.processIdentifier > 0) {
            candidates.append(app);
        }
    }
    // An item that names its process stands for that one alone: copies of an application
    // share their URL and label.
    if (const auto pid = itemProcess(element)) {
        const bool running = std::any_of(
            candidates.begin(), candidates.end(),
            [&](const RunningApplication& app) { return app.processIdentifier == *pid; });
        return running ? pid : std::nullopt;
    }
    if (const auto url = itemURL(element)) {
        for (const RunningApplication& app : candidates) {
            if (application(app, *url)) {
                return app.processIdentifier;
            }
        }
    }
    std::optional<QString> label = text(element, ax::title);
    if (!label) {
        label = text(element, ax::description);
    }
    if (!label) {
        return std::nullopt;
    }
    // An exact name anywhere wins over a name that is only the first word(s) of the label, so
    // an earlier "Mail" does not take the item of a later "Mail Merge Pro".
    for (const RunningApplication& app : candidates) {
        if (app.localizedName && *app.localizedName == *label) {
            return app.processIdentifier;
        }
    }
    for (const RunningApplication& app : candidates) {
        if (app.localizedName && label->startsWith(*app.localizedName + QLatin1Char(' '))) {
            return app.processIdentifier;
        }
    }
    return std::nullopt;
}

std::optional<GlobalRect> NativeSwitcherProbe::switcherFrame(
    const AccessibilityElement& item) const {
    const auto itemFrame = AccessibilityWindowService::readElementFrame(item);
    if (!itemFrame) {
        return std::nullopt;
    }
    ElementRef ancestor = parentOf(item);
    for (int step = 1; ancestor; ++step) {
        const auto frame = AccessibilityWindowService::readElementFrame(*ancestor);
        if (frame && frame->width >= stripWidthFactor * itemFrame->width &&
            frame->height >= itemFrame->height && frame->height <= maximumStripHeight) {
            return frame;
        }
        if (step == maximumAncestorSteps) {
            break;
        }
        ancestor = parentOf(*ancestor);
    }
    return std::nullopt;
}

std::optional<std::pair<quint32, GlobalRect>> NativeSwitcherProbe::displayIdentifierAndBounds(
    const Screen& screen) const {
    if (!screen.displayIdentifier) {
        return std::nullopt;
    }
    return std::pair{*screen.displayIdentifier,
                     desktop_.screenLayout().displayBounds(*screen.displayIdentifier)};
}

std::optional<NativeSwitcherReading> NativeSwitcherProbe::probe() const {
    const ElementRef dock = dockApplicationElement();
    if (!dock) {
        return std::nullopt;
    }
    const ElementList walk = descendants(dock, 0);

    ElementRef selected;
    NativeSwitcherReading reading;
    for (const ElementRef& element : walk) {
        if (!flag(*element, ax::selected) && !flag(*element, ax::focused)) {
            continue;
        }
        if (const auto pid = processIdentifier(*element)) {
            selected = element;
            reading.processIdentifier = *pid;
            break;
        }
    }
    if (!selected) {
        return std::nullopt;
    }

    ElementRef list;
    for (const ElementRef& element : walk) {
        if (text(*element, ax::description) == systemDock::processSwitcherListDescription) {
            list = element;
            break;
        }
    }

    std::optional<GlobalRect> reference;
    if (const auto listFrame =
            list ? AccessibilityWindowService::readElementFrame(*list) : std::nullopt) {
        reading.frame = reference = listFrame;
    } else if (const auto strip = switcherFrame(*selected)) {
        reading.frame = reference = strip;
    } else {
        reference = AccessibilityWindowService::readElementFrame(*selected);
    }
    if (!reference) {
        return reading;
    }

    const GlobalPoint middle{reference->midX(), reference->midY()};
    for (const Screen& screen : desktop_.screenLayout().screens()) {
        const auto display = displayIdentifierAndBounds(screen);
        if (display && display->second.contains(middle)) {
            reading.displayID = display->first;
            break;
        }
    }
    return reading;
}

std::optional<qint32> NativeSwitcherProbe::processIdentifierAtDockPoint(GlobalPoint point) const {
    const ElementRef dock = dockApplicationElement();
    if (!dock) {
        return std::nullopt;
    }
    const AttributeResult hit =
        dock->elementAtPosition(static_cast<float>(point.x), static_cast<float>(point.y));
    ElementRef element = hit.ok() ? hit.value()->toElement() : nullptr;
    if (!element) {
        return std::nullopt;
    }
    const auto frame = AccessibilityWindowService::readElementFrame(*element);
    if (!frame || !frame->insetBy(-hitMargin, -hitMargin).contains(point)) {
        return std::nullopt;
    }
    for (int tested = 1; element; ++tested) {
        if (const auto pid = processIdentifier(*element)) {
            return pid;
        }
        if (tested == hitTestedElements) {
            break;
        }
        element = parentOf(*element);
    }
    return std::nullopt;
}

}  // namespace pellucine

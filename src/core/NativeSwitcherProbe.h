#pragma once

#include <QUrl>
#include <optional>
#include <utility>

#include "core/NativeSwitcherReading.h"
#include "platform/Desktop.h"

namespace pellucine {

// Reads what the system draws in the Dock process and reports nowhere else: which application
// the Command-Tab strip highlights, where the strip is and on which display, and which
// application's Dock item lies under a point. Everything comes from the Dock application's
// element tree, afresh at each call; whatever cannot be read yields no answer. Keeps no state,
// records nothing and never throws. Main thread only.
class NativeSwitcherProbe {
  public:
    // How long the Dock may take to answer each request.
    static constexpr double messagingTimeoutSeconds = 0.08;
    // The walk visits the Dock element and this many levels below it, at most this many
    // children of each element and this many elements in all.
    static constexpr int maximumDepth = 5;
    static constexpr int childrenPerElement = 80;
    static constexpr int maximumElements = 240;
    // The strip is an ancestor of an item, found within this many steps up, at least this many
    // times as wide as the item, at least as tall and at most this tall.
    static constexpr int maximumAncestorSteps = 6;
    static constexpr double stripWidthFactor = 1.5;
    static constexpr double maximumStripHeight = 320;
    // A hit counts within this margin around the hit element's frame; the hit element and at
    // most five of its ancestors are tried.
    static constexpr double hitMargin = 2;
    static constexpr int hitTestedElements = 6;

    explicit NativeSwitcherProbe(Desktop& desktop) : desktop_(desktop) {}

    std::optional<NativeSwitcherReading> probe() const;
    // `point` in the global space (a pointer location).
    std::optional<qint32> processIdentifierAtDockPoint(GlobalPoint point) const;

  private:
    ElementRef dockApplicationElement() const;
    // Pre-order, bounded as above.
    ElementList descendants(const ElementRef& element, int depth) const;
    // The regular running application the element stands for: the process it names, else by
    // its URL, else by its label.
    std::optional<qint32> processIdentifier(const AccessibilityElement& element) const;
    // The process the element names: a whole number of at least 1.
    static std::optional<qint32> itemProcess(const AccessibilityElement& element);
    static std::optional<QUrl> itemURL(const AccessibilityElement& element);
    static bool application(const RunningApplication& app, const QUrl& bundleURL);
    std::optional<GlobalRect> switcherFrame(const AccessibilityElement& item) const;
    std::optional<std::pair<quint32, GlobalRect>> displayIdentifierAndBounds(
        const Screen& screen) const;

    Desktop& desktop_;
};

}  // namespace pellucine

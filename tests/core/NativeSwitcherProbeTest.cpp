#include "DesktopFixture.h"
#include "core/NativeSwitcherProbe.h"
#include "platform/AccessibilityNames.h"
#include "platform/SystemDock.h"
#include "platform/sim/SimulatedSystemDock.h"

namespace pellucine {

void PrintTo(const NativeSwitcherReading& r, std::ostream* os) {
    *os << "pid " << r.processIdentifier << ", display "
        << (r.displayID ? std::to_string(*r.displayID) : "none") << ", frame ";
    if (r.frame) {
        *os << r.frame->x << "," << r.frame->y << " " << r.frame->width << "x" << r.frame->height;
    } else {
        *os << "none";
    }
}

namespace {

using Item = SimulatedSystemDock::Item;

class NativeSwitcherProbeTest : public testing::DesktopFixture {
  protected:
    static constexpr qint32 mail = 10;
    static constexpr qint32 notes = 11;
    static inline const GlobalRect strip{400, 400, 640, 140};

    NativeSwitcherProbeTest() {
        addNamedApp(mail, "Mail");
        addNamedApp(notes, "Notes");
    }

    void addNamedApp(qint32 pid, const QString& name,
                     ActivationPolicy policy = ActivationPolicy::regular, bool terminated = false) {
        RunningApplication app;
        app.processIdentifier = pid;
        app.bundleIdentifier = QStringLiteral("com.example.") + name;
        app.localizedName = name;
        app.bundleURL = QUrl::fromLocalFile(QStringLiteral("/Applications/%1.app/").arg(name));
        app.activationPolicy = policy;
        app.isTerminated = terminated;
        desktop.addApplication(app);
    }

    static Item item(const QString& title, GlobalRect frame = {420, 420, 100, 100}) {
        return {title, std::nullopt, frame};
    }

    // A bare element under `parent` (the Dock application when none).
    quint64 element(std::optional<quint64> parent, std::optional<GlobalRect> frame = std::nullopt,
                    QHash<QString, std::optional<AccessibilityValue>> attributes = {}) {
        SimulatedTreeElement e;
        e.frame = frame;
        e.attributes = std::move(attributes);
        return desktop.addTreeElement(dock.processIdentifier(), parent, e);
    }
    static QHash<QString, std::optional<AccessibilityValue>> selectedItem(const QString& title) {
        return {{ax::title.toString(), AccessibilityValue(title)},
                {ax::selected.toString(), AccessibilityValue(true)}};
    }
    void set(quint64 id, QStringView name, AccessibilityValue value) {
        desktop.setTreeElementAttribute(id, name.toString(), std::move(value));
    }

    // Selects an item just beyond the walk's reach, which gives no reading, then one just
    // within it.
    void expectReachEndsBetween(quint64 within, quint64 beyond) {
        set(beyond, ax::title, AccessibilityValue(QStringLiteral("Notes")));
        set(beyond, ax::selected, AccessibilityValue(true));
        EXPECT_FALSE(probe.probe().has_value());
        set(within, ax::title, AccessibilityValue(QStringLiteral("Mail")));
        set(within, ax::selected, AccessibilityValue(true));
        EXPECT_EQ(highlighted(), mail);
    }

    std::optional<qint32> highlighted() const {
        const auto reading = probe.probe();
        return reading ? std::optional(reading->processIdentifier) : std::nullopt;
    }

    SimulatedSystemDock dock{desktop};
    NativeSwitcherProbe probe{desktop};
};

TEST_F(NativeSwitcherProbeTest, ReadsTheHighlightedApplicationTheStripAndItsDisplay) {
    dock.showSwitcher({item("Mail"), item("Notes")}, 1, strip);
    EXPECT_EQ(probe.probe(), (NativeSwitcherReading{notes, 1u, strip}));
    EXPECT_TRUE(desktop.timeoutsSet().contains(QStringLiteral("application 50: 0.08 s")));
    dock.selectSwitcherItem(0);
    EXPECT_EQ(highlighted(), mail);
}

TEST_F(NativeSwitcherProbeTest, WithoutADockWithAPositiveProcessBothOperationsAnswerNone) {
    dock.setItems({item("Mail", {100, 850, 50, 50})}, {0, 840, 1440, 60});
    dock.showSwitcher({item("Mail")}, 0, strip);
    dock.quit();
    EXPECT_FALSE(probe.probe().has_value());
    EXPECT_FALSE(probe.processIdentifierAtDockPoint({120, 870}).has_value());

    // A Dock process numbered 0 is passed over for a later one.
    RunningApplication zero;
    zero.processIdentifier = 0;
    zero.bundleIdentifier = systemDock::bundleIdentifier.toString();
    desktop.addApplication(zero);
    EXPECT_FALSE(probe.probe().has_value());
    SimulatedSystemDock later(desktop, 60);
    later.showSwitcher({item("Mail")}, 0, strip);
    EXPECT_EQ(highlighted(), mail);
}

TEST_F(NativeSwitcherProbeTest, NoSelectedOrFocusedItemOfARegularApplicationGivesNoReading) {
    dock.showSwitcher({item("Mail"), item("Notes")}, -1, strip);
    EXPECT_FALSE(probe.probe().has_value());
    // Selected, but standing for no running application.
    dock.showSwitcher({item("Calendar"), item("Notes")}, 0, strip);
    EXPECT_FALSE(probe.probe().has_value());
}

TEST_F(NativeSwitcherProbeTest, FocusedStandsInWhenSelectedIsNotATrueNumber) {
    const QList<quint64> ids = dock.showSwitcher({item("Mail"), item("Notes")}, -1, strip);
    set(ids[1], ax::focused, AccessibilityValue(true));
    EXPECT_EQ(highlighted(), notes);
    // A selected flag that is not a number does not count, but the focus still does.
    set(ids[0], ax::selected, AccessibilityValue(QStringLiteral("true")));
    set(ids[0], ax::focused, AccessibilityValue(1.0));
    EXPECT_EQ(highlighted(), mail);
}

TEST_F(NativeSwitcherProbeTest, ItemsOfApplicationsThatAreNotRegularOrHaveEndedArePassedOver) {
    addNamedApp(12, "Helper", ActivationPolicy::accessory);
    addNamedApp(13, "Gone", ActivationPolicy::regular, /*terminated=*/true);
    const QList<quint64> ids =
        dock.showSwitcher({item("Helper"), item("Gone"), item("Notes")}, 0, strip);
    set(ids[1], ax::selected, AccessibilityValue(true));
    set(ids[2], ax::focused, AccessibilityValue(true));
    EXPECT_EQ(highlighted(), notes);
}

TEST_F(NativeSwitcherProbeTest, AnItemsURLNamesItsApplicationWhateverItsTitle) {
    const QList<quint64> ids = dock.showSwitcher({item("Something else")}, 0, strip);
    const QList<std::pair<AccessibilityValue, std::optional<qint32>>> cases{
        {AccessibilityValue(QUrl(QStringLiteral("file:///Applications/Mail.app/"))), mail},
        {AccessibilityValue(QUrl(QStringLiteral("file:///Applications/./Notes.app"))), notes},
        // Strings: a complete URL, and a path.
        {AccessibilityValue(QStringLiteral("file:///Applications/Mail.app/")), mail},
        {AccessibilityValue(QStringLiteral("/Applications/Notes.app")), notes},
        // A bundle that no running application has leaves the title to decide.
        {AccessibilityValue(QStringLiteral("/Applications/Other.app")), std::nullopt},
        {AccessibilityValue(3.0), std::nullopt},
    };
    for (const auto& [url, expected] : cases) {
        set(ids[0], ax::url, url);
        EXPECT_EQ(highlighted(), expected) << qPrintable(url.describe());
    }
    set(ids[0], ax::title, AccessibilityValue(QStringLiteral("Notes")));
    EXPECT_EQ(highlighted(), notes);
}

TEST_F(NativeSwitcherProbeTest, AnItemNamingItsProcessStandsForThatCopyAlone) {
    // A second and a third copy of Mail: the same bundle and name.
    addNamedApp(20, "Mail");
    addNamedApp(21, "Mail", ActivationPolicy::regular, /*terminated=*/true);
    const QUrl bundle = QUrl::fromLocalFile(QStringLiteral("/Applications/Mail.app/"));
    const QList<quint64> ids = dock.showSwitcher(
        {{"Mail", bundle, {420, 420, 100, 100}, mail}, {"Mail", bundle, {540, 420, 100, 100}, 20}},
        1, strip);
    EXPECT_EQ(highlighted(), 20);
    dock.selectSwitcherItem(0);
    EXPECT_EQ(highlighted(), mail);

    // A named process that is not a running regular application is nobody, never the first
    // copy; a value that is no process number leaves the URL to decide.
    const QList<std::pair<AccessibilityValue, std::optional<qint32>>> cases{
        {AccessibilityValue(21.0), std::nullopt},
        {AccessibilityValue(99.0), std::nullopt},
        {AccessibilityValue(0.0), mail},
        {AccessibilityValue(-20.0), mail},
        {AccessibilityValue(20.5), mail},
        {AccessibilityValue(4e9), mail},
        {AccessibilityValue(QStringLiteral("20")), mail},
    };
    for (const auto& [value, expected] : cases) {
        set(ids[0], ax::itemProcessIdentifier, value);
        EXPECT_EQ(highlighted(), expected) << qPrintable(value.describe());
    }

    dock.setItems(
        {{"Mail", bundle, {100, 850, 50, 50}, mail}, {"Mail", bundle, {160, 850, 50, 50}, 20}},
        {0, 840, 1440, 60});
    EXPECT_EQ(probe.processIdentifierAtDockPoint({185, 875}), 20);
    EXPECT_EQ(probe.processIdentifierAtDockPoint({125, 875}), mail);
}

TEST_F(NativeSwitcherProbeTest, ALabelMatchesAnExactNameBeforeANameFollowedByASpace) {
    addNamedApp(12, "Mail Merge Pro");
    const QList<quint64> ids = dock.showSwitcher({item("Mail Drafts")}, 0, strip);
    EXPECT_EQ(highlighted(), mail);
    // The earlier "Mail" is only a prefix; the later application has exactly this name.
    set(ids[0], ax::title, AccessibilityValue(QStringLiteral("Mail Merge Pro")));
    EXPECT_EQ(highlighted(), 12);
    for (const char* label : {"Mailbox", "mail", "Mail ", " Mail"}) {
        set(ids[0], ax::title, AccessibilityValue(QString::fromUtf8(label)));
        EXPECT_EQ(highlighted(), label == std::string("Mail ") ? std::optional(mail) : std::nullopt)
            << label;
    }
}

TEST_F(NativeSwitcherProbeTest, TheDescriptionLabelsOnlyAnItemWithoutATitle) {
    const QList<quint64> ids = dock.showSwitcher({item("")}, 0, strip);
    set(ids[0], ax::description, AccessibilityValue(QStringLiteral("Mail")));
    EXPECT_FALSE(probe.probe().has_value()) << "an empty title is still a title";
    desktop.setTreeElementAttribute(ids[0], ax::title.toString(), std::nullopt);
    EXPECT_EQ(highlighted(), mail);
}

TEST_F(NativeSwitcherProbeTest, WithoutAStripFrameTheStripIsFoundByClimbingFromTheItem) {
    const quint64 group = element(std::nullopt, strip);
    const quint64 list =
        element(group, std::nullopt,
                {{ax::description.toString(),
                  AccessibilityValue(systemDock::processSwitcherListDescription.toString())}});
    element(list, GlobalRect{420, 420, 100, 100}, selectedItem("Mail"));
    EXPECT_EQ(probe.probe(), (NativeSwitcherReading{mail, 1u, strip}));
}

TEST_F(NativeSwitcherProbeTest, WithoutAnyStripTheItemsOwnFrameFindsTheDisplay) {
    desktop.setDisplays({SimulatedDisplay{1u, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                         SimulatedDisplay{2u, {1440, 0, 1280, 800}, {1440, 0, 1280, 800}}});
    // Too tall to be the strip.
    const quint64 tall = element(std::nullopt, GlobalRect{1400, 100, 900, 330});
    const quint64 item = element(tall, GlobalRect{1500, 200, 100, 100}, selectedItem("Mail"));
    EXPECT_EQ(probe.probe(), (NativeSwitcherReading{mail, 2u, std::nullopt}));
    desktop.setTreeElementFrame(tall, GlobalRect{1400, 100, 900, 320});
    EXPECT_EQ(probe.probe(), (NativeSwitcherReading{mail, 2u, GlobalRect{1400, 100, 900, 320}}));
    desktop.setTreeElementFrame(tall, std::nullopt);
    desktop.setTreeElementFrame(item, std::nullopt);
    EXPECT_EQ(probe.probe(), (NativeSwitcherReading{mail, std::nullopt, std::nullopt}));
}

TEST_F(NativeSwitcherProbeTest, TheStripIsAtLeastHalfAsWideAgainAndAsTallAsTheItem) {
    const GlobalRect itemFrame{420, 420, 100, 100};
    const quint64 parent = element(std::nullopt, GlobalRect{400, 400, 149, 120});
    element(parent, itemFrame, selectedItem("Mail"));
    EXPECT_FALSE(probe.probe()->frame.has_value());
    desktop.setTreeElementFrame(parent, GlobalRect{400, 400, 150, 120});
    EXPECT_TRUE(probe.probe()->frame.has_value());
    desktop.setTreeElementFrame(parent, GlobalRect{400, 400, 300, 99});
    EXPECT_FALSE(probe.probe()->frame.has_value());
}

TEST_F(NativeSwitcherProbeTest, TheClimbStopsAfterSixAncestors) {
    // Seven elements chained through their parent attribute, outside the tree's own nesting;
    // only the last of them (or the sixth) is shaped like a strip.
    QList<quint64> chain;
    for (int i = 0; i < 7; ++i) {
        chain.append(element(std::nullopt, GlobalRect{0, 0, 10, 10}));
    }
    for (int i = 0; i + 1 < chain.size(); ++i) {
        set(chain[i], ax::parent, AccessibilityValue(desktop.treeElement(chain[i + 1])));
    }
    const quint64 item =
        element(std::nullopt, GlobalRect{420, 420, 100, 100}, selectedItem("Mail"));
    set(item, ax::parent, AccessibilityValue(desktop.treeElement(chain[0])));
    desktop.setTreeElementFrame(chain[6], strip);
    EXPECT_FALSE(probe.probe()->frame.has_value());
    desktop.setTreeElementFrame(chain[5], strip);
    EXPECT_EQ(probe.probe()->frame, strip);
}

TEST_F(NativeSwitcherProbeTest, AStripCentredOnARightOrBottomEdgeIsNotOnThatDisplay) {
    desktop.setDisplays({SimulatedDisplay{1u, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                         SimulatedDisplay{2u, {1440, 0, 1280, 800}, {1440, 0, 1280, 800}}});
    const auto displayFor = [this](GlobalRect stripFrame) {
        dock.showSwitcher({item("Mail", stripFrame)}, 0, stripFrame);
        return probe.probe()->displayID;
    };
    EXPECT_EQ(displayFor({1340, 400, 200, 100}), 2u);
    EXPECT_EQ(displayFor({1339, 400, 200, 100}), 1u);
    EXPECT_EQ(displayFor({400, 850, 200, 100}), std::nullopt);
    EXPECT_EQ(displayFor({400, 849, 200, 100}), 1u);
    // A screen that carries no display number is passed over.
    desktop.setDisplays({SimulatedDisplay{1u, {0, 0, 1440, 900}, {0, 25, 1440, 875}, false}});
    EXPECT_EQ(displayFor(strip), std::nullopt);
}

TEST_F(NativeSwitcherProbeTest, TheWalkVisitsFiveLevelsBelowTheDock) {
    std::optional<quint64> parent;
    QList<quint64> levels;
    for (int depth = 1; depth <= 6; ++depth) {
        parent = element(parent, GlobalRect{0, 0, 10, 10});
        levels.append(*parent);
    }
    expectReachEndsBetween(levels[4], levels[5]);
}

TEST_F(NativeSwitcherProbeTest, TheWalkTakesEightyChildrenEachAndTwoHundredFortyElements) {
    const quint64 wide = element(std::nullopt);
    QList<quint64> children;
    for (int i = 0; i < 81; ++i) {
        children.append(element(wide));
    }
    expectReachEndsBetween(children[79], children[80]);
    desktop.removeTreeElement(wide);

    // The Dock, then two lists of 80 and a third: the walk ends after 76 of the third's items.
    for (int list = 0; list < 2; ++list) {
        const quint64 full = element(std::nullopt);
        for (int i = 0; i < 80; ++i) {
            element(full);
        }
    }
    const quint64 third = element(std::nullopt);
    QList<quint64> last;
    for (int i = 0; i < 80; ++i) {
        last.append(element(third));
    }
    expectReachEndsBetween(last[75], last[76]);
}

TEST_F(NativeSwitcherProbeTest, AHitCountsWithinTwoPointsLeftAndAboveTheItemButNotRightAndBelow) {
    dock.setItems({}, {0, 840, 1440, 60});
    // The Dock answers hits a little beyond its items' frames.
    SimulatedTreeElement wider;
    wider.frame = GlobalRect{100, 850, 50, 50};
    wider.hitArea = GlobalRect{90, 840, 70, 70};
    wider.attributes.insert(ax::title.toString(), AccessibilityValue(QStringLiteral("Mail")));
    desktop.addTreeElement(dock.processIdentifier(), dock.dockList(), wider);

    const QList<std::pair<GlobalPoint, bool>> cases{
        {{125, 875}, true},  {{99, 875}, true},  {{151, 875}, true},  {{125, 849}, true},
        {{125, 901}, true},  {{98, 875}, true},  {{125, 848}, true},  {{152, 875}, false},
        {{125, 902}, false}, {{97, 875}, false}, {{153, 875}, false}, {{125, 847}, false},
        {{125, 903}, false},
    };
    for (const auto& [point, hits] : cases) {
        EXPECT_EQ(probe.processIdentifierAtDockPoint(point),
                  hits ? std::optional(mail) : std::nullopt)
            << point.x << ", " << point.y;
    }
    EXPECT_FALSE(probe.processIdentifierAtDockPoint({600, 100}).has_value());
}

TEST_F(NativeSwitcherProbeTest, AHitClimbsToTheFifthAncestorForAnApplication) {
    QList<quint64> chain;
    std::optional<quint64> parent;
    for (int i = 0; i < 6; ++i) {
        parent = element(parent);
        chain.append(*parent);
    }
    element(parent, GlobalRect{100, 850, 50, 50});
    set(chain[0], ax::title, AccessibilityValue(QStringLiteral("Notes")));
    EXPECT_FALSE(probe.processIdentifierAtDockPoint({125, 875}).has_value());
    set(chain[1], ax::title, AccessibilityValue(QStringLiteral("Mail")));
    EXPECT_EQ(probe.processIdentifierAtDockPoint({125, 875}), mail);
}

}  // namespace
}  // namespace pellucine

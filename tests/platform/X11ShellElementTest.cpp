#include <gtest/gtest.h>

#include "platform/AccessibilityNames.h"
#include "platform/SystemDock.h"
#include "platform/x11/X11ShellElement.h"

namespace pellucine {
namespace {

class X11ShellElementTest : public ::testing::Test {
  protected:
    X11ShellElementTest() {
        content->bundleIdentifier = QStringLiteral("shell");
        show();
    }

    // A strip of two items, the second highlighted, as a new showing.
    void show() {
        content->strip.show(
            GlobalRect{100, 200, 300, 120},
            {{QStringLiteral("Mail"),
              {116, 216, 88, 88},
              QUrl::fromLocalFile(QStringLiteral("/usr/share/applications/m.desktop"))},
             {QStringLiteral("Notes"), {204, 216, 88, 88}, std::nullopt}});
        content->strip.selected = 1;
    }
    void hide() { content->strip.hide(); }

    static ElementRef element(const AttributeResult& r) {
        return r.ok() ? r.value()->toElement() : nullptr;
    }
    static ElementList elements(const AttributeResult& r) {
        return r.ok() ? r.value()->toElements().value_or(ElementList{}) : ElementList{};
    }

    std::shared_ptr<X11ShellContent> content = std::make_shared<X11ShellContent>();
    ElementRef shell = X11ShellElement::application(content);
};

TEST_F(X11ShellElementTest, PublishesTheStripAsTheProbeReadsIt) {
    EXPECT_EQ(shell->processIdentifier(), X11ShellContent::processIdentifier);
    const ElementList children = elements(shell->attribute(ax::children));
    ASSERT_EQ(children.size(), 1);
    const ElementRef list = children.first();
    EXPECT_EQ(list->attribute(ax::description).value()->toString(),
              systemDock::processSwitcherListDescription.toString());
    EXPECT_EQ(list->attribute(ax::position).value()->toPoint(), (GlobalPoint{100, 200}));
    EXPECT_EQ(list->attribute(ax::size).value()->toSize(), (Size{300, 120}));
    EXPECT_TRUE(element(list->attribute(ax::parent))->isSameElement(*shell));

    const ElementList items = elements(list->attribute(ax::children));
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->attribute(ax::title).value()->toString(), QStringLiteral("Mail"));
    EXPECT_EQ(items[0]->attribute(ax::url).value()->toUrl()->toLocalFile(),
              QStringLiteral("/usr/share/applications/m.desktop"));
    EXPECT_EQ(items[1]->attribute(ax::url).status(), AccessibilityStatus::noValue);
    EXPECT_EQ(items[0]->attribute(ax::selected).value()->toBoolean(), false);
    EXPECT_EQ(items[1]->attribute(ax::selected).value()->toBoolean(), true);
    EXPECT_TRUE(element(items[1]->attribute(ax::parent))->isSameElement(*list));
    EXPECT_FALSE(items[0]->isSameElement(*items[1]));

    // The highlight moves within one showing without replacing the elements.
    content->strip.selected = 0;
    EXPECT_EQ(items[0]->attribute(ax::selected).value()->toBoolean(), true);
    EXPECT_EQ(items[0]->setAttribute(ax::selected, AccessibilityValue(false)),
              AccessibilityStatus::failure);
    EXPECT_EQ(items[0]->performAction(ax::press), AccessibilityStatus::failure);
}

TEST_F(X11ShellElementTest, HitTestingFindsItemsThenTheStrip) {
    EXPECT_TRUE(element(shell->elementAtPosition(116, 216))
                    ->isSameElement(*elements(
                        elements(shell->attribute(ax::children))[0]->attribute(ax::children))[0]));
    const ElementRef between = element(shell->elementAtPosition(110, 250));
    ASSERT_TRUE(between);
    EXPECT_EQ(between->attribute(ax::description).value()->toString(),
              systemDock::processSwitcherListDescription.toString());
    EXPECT_EQ(shell->elementAtPosition(400, 250).status(), AccessibilityStatus::noValue)
        << "the strip's right edge is outside it";
    hide();
    EXPECT_EQ(shell->elementAtPosition(116, 216).status(), AccessibilityStatus::noValue);
}

TEST_F(X11ShellElementTest, ElementsOfAnEarlierShowingAreGone) {
    const ElementRef list = elements(shell->attribute(ax::children)).first();
    const ElementRef item = elements(list->attribute(ax::children)).first();
    hide();
    EXPECT_TRUE(elements(shell->attribute(ax::children)).isEmpty());
    EXPECT_FALSE(list->attribute(ax::description).ok());
    EXPECT_FALSE(item->attribute(ax::title).ok());
    show();
    EXPECT_FALSE(item->attribute(ax::title).ok()) << "a new showing has new elements";
    EXPECT_FALSE(item->isSameElement(
        *elements(elements(shell->attribute(ax::children)).first()->attribute(ax::children))
             .first()));
    content.reset();
    EXPECT_FALSE(shell->attribute(ax::children).ok());
    EXPECT_EQ(shell->processIdentifier(), std::nullopt);
}

TEST_F(X11ShellElementTest, TheDockBarIsAListBesideTheStripThatTheStripCovers) {
    // A bar whose second item lies under the strip's first.
    content->dock.show(GlobalRect{100, 280, 200, 60},
                       {{QStringLiteral("Files"), {100, 280, 60, 60}, std::nullopt},
                        {QStringLiteral("Mail"), {160, 280, 60, 60}, std::nullopt}});
    const ElementList lists = elements(shell->attribute(ax::children));
    ASSERT_EQ(lists.size(), 2);
    const ElementRef bar = lists[1];
    EXPECT_FALSE(bar->attribute(ax::description).ok()) << "only the strip is described";
    const ElementList items = elements(bar->attribute(ax::children));
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->attribute(ax::subrole).value()->toString(),
              QStringLiteral("AXApplicationDockItem"));
    EXPECT_FALSE(items[0]->attribute(ax::selected).ok()) << "a Dock item is never selected";
    EXPECT_TRUE(element(items[0]->attribute(ax::parent))->isSameElement(*bar));

    const ElementRef underStrip = element(shell->elementAtPosition(170, 290));
    ASSERT_TRUE(underStrip);
    EXPECT_EQ(underStrip->attribute(ax::title).value()->toString(), QStringLiteral("Mail"));
    EXPECT_TRUE(underStrip->attribute(ax::selected).ok()) << "the strip's item, drawn above";
    EXPECT_TRUE(element(shell->elementAtPosition(110, 330))->isSameElement(*items[0]));
    EXPECT_TRUE(element(shell->elementAtPosition(250, 330))->isSameElement(*bar));
    hide();
    EXPECT_TRUE(element(shell->elementAtPosition(170, 290))->isSameElement(*items[1]));

    // New items make new elements; the strip's showings leave the bar's alone.
    show();
    EXPECT_TRUE(items[1]->attribute(ax::title).ok());
    content->dock.show(GlobalRect{100, 280, 60, 60},
                       {{QStringLiteral("Mail"), {100, 280, 60, 60}, std::nullopt}});
    EXPECT_FALSE(items[0]->attribute(ax::title).ok());
    EXPECT_FALSE(bar->attribute(ax::children).ok());
    content->dock.hide();
    EXPECT_EQ(elements(shell->attribute(ax::children)).size(), 1);
}

}  // namespace
}  // namespace pellucine

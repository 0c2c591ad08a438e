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
        ++content->showing;
        content->strip = GlobalRect{100, 200, 300, 120};
        content->items = {
            {QStringLiteral("Mail"),
             {116, 216, 88, 88},
             QUrl::fromLocalFile(QStringLiteral("/usr/share/applications/m.desktop"))},
            {QStringLiteral("Notes"), {204, 216, 88, 88}, std::nullopt}};
        content->selected = 1;
    }
    void hide() {
        ++content->showing;
        content->strip.reset();
        content->items.clear();
    }

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
    content->selected = 0;
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

}  // namespace
}  // namespace pellucine

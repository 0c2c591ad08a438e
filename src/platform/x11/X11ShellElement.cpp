#include "platform/x11/X11ShellElement.h"

#include "platform/AccessibilityNames.h"
#include "platform/SystemDock.h"

namespace pellucine {

namespace {

AttributeResult failure() {
    return AttributeResult::failed(AccessibilityStatus::failure);
}

}  // namespace

ElementRef X11ShellElement::application(std::weak_ptr<const X11ShellContent> content) {
    return std::make_shared<X11ShellElement>(std::move(content), Kind::application, 0);
}

X11ShellElement::X11ShellElement(std::weak_ptr<const X11ShellContent> content, Kind kind,
                                 quint64 showing, int index)
    : content_(std::move(content)), kind_(kind), showing_(showing), index_(index) {}

std::shared_ptr<const X11ShellContent> X11ShellElement::live() const {
    auto content = content_.lock();
    if (!content || kind_ == Kind::application) {
        return content;
    }
    if (content->showing != showing_ || !content->strip ||
        (kind_ == Kind::item && (index_ < 0 || index_ >= content->items.size()))) {
        return nullptr;
    }
    return content;
}

ElementRef X11ShellElement::make(Kind kind, int index) const {
    const auto content = content_.lock();
    return std::make_shared<X11ShellElement>(content_, kind, content ? content->showing : 0, index);
}

AttributeResult X11ShellElement::frame(QStringView name, const GlobalRect& frame) {
    if (name == ax::position) {
        return AttributeResult::success(frame.origin());
    }
    return AttributeResult::success(frame.size());
}

AttributeResult X11ShellElement::attribute(QStringView name) const {
    const auto content = live();
    if (!content) {
        return failure();
    }
    const bool isFrame = name == ax::position || name == ax::size;
    switch (kind_) {
        case Kind::application:
            if (name == ax::role) {
                return AttributeResult::success(ax::applicationRole);
            }
            if (name == ax::title) {
                return AttributeResult::success(*content->application().localizedName);
            }
            if (name == ax::children) {
                ElementList children;
                if (content->strip) {
                    children.append(make(Kind::list));
                }
                return AttributeResult::success(children);
            }
            return failure();
        case Kind::list:
            if (name == ax::role) {
                return AttributeResult::success(QStringLiteral("AXList"));
            }
            if (name == ax::description) {
                return AttributeResult::success(systemDock::processSwitcherListDescription);
            }
            if (isFrame) {
                return frame(name, *content->strip);
            }
            if (name == ax::parent) {
                return AttributeResult::success(application(content_));
            }
            if (name == ax::children) {
                ElementList items;
                for (int i = 0; i < content->items.size(); ++i) {
                    items.append(make(Kind::item, i));
                }
                return AttributeResult::success(items);
            }
            return failure();
        case Kind::item: {
            const X11ShellContent::Item& item = content->items[index_];
            if (name == ax::role) {
                return AttributeResult::success(QStringLiteral("AXDockItem"));
            }
            if (name == ax::title) {
                return AttributeResult::success(item.title);
            }
            if (name == ax::url) {
                return item.url ? AttributeResult::success(*item.url)
                                : AttributeResult::failed(AccessibilityStatus::noValue);
            }
            if (name == ax::selected) {
                return AttributeResult::success(index_ == content->selected);
            }
            if (isFrame) {
                return frame(name, item.frame);
            }
            if (name == ax::parent) {
                return AttributeResult::success(make(Kind::list));
            }
            if (name == ax::children) {
                return AttributeResult::success(ElementList{});
            }
            return failure();
        }
    }
    return failure();
}

AccessibilityStatus X11ShellElement::setAttribute(QStringView, const AccessibilityValue&) {
    return AccessibilityStatus::failure;
}

AccessibilityStatus X11ShellElement::performAction(QStringView) {
    return AccessibilityStatus::failure;
}

AttributeResult X11ShellElement::elementAtPosition(float x, float y) const {
    const auto content = live();
    if (!content || !content->strip) {
        return AttributeResult::failed(AccessibilityStatus::noValue);
    }
    const GlobalPoint point{x, y};
    for (int i = 0; i < content->items.size(); ++i) {
        if (content->items[i].frame.contains(point)) {
            return AttributeResult::success(make(Kind::item, i));
        }
    }
    if (content->strip->contains(point)) {
        return AttributeResult::success(make(Kind::list));
    }
    return AttributeResult::failed(AccessibilityStatus::noValue);
}

std::optional<qint32> X11ShellElement::processIdentifier() const {
    if (content_.expired()) {
        return std::nullopt;
    }
    return X11ShellContent::processIdentifier;
}

bool X11ShellElement::isSameElement(const AccessibilityElement& other) const {
    const auto* shell = dynamic_cast<const X11ShellElement*>(&other);
    return shell != nullptr && shell->kind_ == kind_ && shell->index_ == index_ &&
           (kind_ == Kind::application || shell->showing_ == showing_) &&
           shell->content_.lock() == content_.lock();
}

}  // namespace pellucine

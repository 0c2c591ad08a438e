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
    return std::make_shared<X11ShellElement>(std::move(content), Kind::application, Section::strip,
                                             0);
}

X11ShellElement::X11ShellElement(std::weak_ptr<const X11ShellContent> content, Kind kind,
                                 Section section, quint64 showing, int index)
    : content_(std::move(content)),
      kind_(kind),
      section_(section),
      showing_(showing),
      index_(index) {}

const X11ShellContent::List& X11ShellElement::list(const X11ShellContent& content) const {
    return section_ == Section::strip ? content.strip : content.dock;
}

std::shared_ptr<const X11ShellContent> X11ShellElement::live() const {
    auto content = content_.lock();
    if (!content || kind_ == Kind::application) {
        return content;
    }
    const X11ShellContent::List& shown = list(*content);
    if (shown.showing != showing_ || !shown.frame ||
        (kind_ == Kind::item && (index_ < 0 || index_ >= shown.items.size()))) {
        return nullptr;
    }
    return content;
}

ElementRef X11ShellElement::make(Kind kind, Section section, int index) const {
    const auto content = content_.lock();
    quint64 showing = 0;
    if (content) {
        showing = (section == Section::strip ? content->strip : content->dock).showing;
    }
    return std::make_shared<X11ShellElement>(content_, kind, section, showing, index);
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
                if (content->strip.frame) {
                    children.append(make(Kind::list, Section::strip));
                }
                if (content->dock.frame) {
                    children.append(make(Kind::list, Section::dock));
                }
                return AttributeResult::success(children);
            }
            return failure();
        case Kind::list:
            return listAttribute(name, list(*content));
        case Kind::item:
            return itemAttribute(name, list(*content));
    }
    return failure();
}

AttributeResult X11ShellElement::listAttribute(QStringView name,
                                               const X11ShellContent::List& shown) const {
    if (name == ax::role) {
        return AttributeResult::success(QStringLiteral("AXList"));
    }
    if (name == ax::description && section_ == Section::strip) {
        return AttributeResult::success(systemDock::processSwitcherListDescription);
    }
    if (name == ax::position || name == ax::size) {
        return frame(name, *shown.frame);
    }
    if (name == ax::parent) {
        return AttributeResult::success(application(content_));
    }
    if (name == ax::children) {
        ElementList items;
        for (int i = 0; i < shown.items.size(); ++i) {
            items.append(make(Kind::item, section_, i));
        }
        return AttributeResult::success(items);
    }
    return failure();
}

AttributeResult X11ShellElement::itemAttribute(QStringView name,
                                               const X11ShellContent::List& shown) const {
    const X11ShellContent::Item& item = shown.items[index_];
    if (name == ax::role) {
        return AttributeResult::success(QStringLiteral("AXDockItem"));
    }
    if (name == ax::subrole && section_ == Section::dock) {
        return AttributeResult::success(QStringLiteral("AXApplicationDockItem"));
    }
    if (name == ax::title) {
        return AttributeResult::success(item.title);
    }
    if (name == ax::url) {
        return item.url ? AttributeResult::success(*item.url)
                        : AttributeResult::failed(AccessibilityStatus::noValue);
    }
    if (name == ax::itemProcessIdentifier) {
        return item.processIdentifier > 0
                   ? AttributeResult::success(static_cast<double>(item.processIdentifier))
                   : AttributeResult::failed(AccessibilityStatus::noValue);
    }
    if (name == ax::selected && section_ == Section::strip) {
        return AttributeResult::success(index_ == shown.selected);
    }
    if (name == ax::position || name == ax::size) {
        return frame(name, item.frame);
    }
    if (name == ax::parent) {
        return AttributeResult::success(make(Kind::list, section_));
    }
    if (name == ax::children) {
        return AttributeResult::success(ElementList{});
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
    if (!content) {
        return AttributeResult::failed(AccessibilityStatus::noValue);
    }
    const GlobalPoint point{x, y};
    // The strip is drawn above the bar.
    for (const Section section : {Section::strip, Section::dock}) {
        const X11ShellContent::List& shown =
            section == Section::strip ? content->strip : content->dock;
        if (!shown.frame) {
            continue;
        }
        for (int i = 0; i < shown.items.size(); ++i) {
            if (shown.items[i].frame.contains(point)) {
                return AttributeResult::success(make(Kind::item, section, i));
            }
        }
        if (shown.frame->contains(point)) {
            return AttributeResult::success(make(Kind::list, section));
        }
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
    if (shell == nullptr || shell->kind_ != kind_ || shell->content_.lock() != content_.lock()) {
        return false;
    }
    return kind_ == Kind::application ||
           (shell->section_ == section_ && shell->showing_ == showing_ && shell->index_ == index_);
}

}  // namespace pellucine

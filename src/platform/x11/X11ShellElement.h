#pragma once

#include <memory>

#include "platform/AccessibilityElement.h"
#include "platform/x11/X11ShellContent.h"

namespace pellucine {

// An element of the shell's tree: the shell application, the switcher strip's list (described
// "process switcher list") or one of its items. The list and items belong to one showing of the
// strip and fail every request once it has closed; the application element lives as long as
// the shell does. Read-only: writes and actions fail.
class X11ShellElement final : public AccessibilityElement {
  public:
    enum class Kind { application, list, item };

    static ElementRef application(std::weak_ptr<const X11ShellContent> content);

    X11ShellElement(std::weak_ptr<const X11ShellContent> content, Kind kind, quint64 showing,
                    int index = -1);

    AttributeResult attribute(QStringView name) const override;
    AccessibilityStatus setAttribute(QStringView name, const AccessibilityValue& value) override;
    AccessibilityStatus performAction(QStringView name) override;
    AttributeResult elementAtPosition(float x, float y) const override;
    std::optional<qint32> processIdentifier() const override;
    std::optional<quint32> windowNumber() const override { return std::nullopt; }
    void setMessagingTimeout(Duration) override {}
    bool isSameElement(const AccessibilityElement& other) const override;

  private:
    // The content while this element is part of it.
    std::shared_ptr<const X11ShellContent> live() const;
    ElementRef make(Kind kind, int index = -1) const;
    static AttributeResult frame(QStringView name, const GlobalRect& frame);

    std::weak_ptr<const X11ShellContent> content_;
    Kind kind_;
    quint64 showing_;
    int index_;
};

}  // namespace pellucine

#pragma once

#include <optional>

#include "platform/AccessibilityValue.h"

namespace pellucine {

// How an accessibility request ended. `cannotComplete` is the target not answering within its
// messaging time-out; `noValue` an attribute without a value; `failure` everything else
// (unsupported attribute, destroyed element, no trust, a refused write).
enum class AccessibilityStatus { success, cannotComplete, noValue, failure };

// An attribute read: a value, or the reason there is none.
class AttributeResult {
  public:
    static AttributeResult success(AccessibilityValue value) {
        return AttributeResult(AccessibilityStatus::success, std::move(value));
    }
    // `status` must not be success.
    static AttributeResult failed(AccessibilityStatus status) {
        return AttributeResult(
            status == AccessibilityStatus::success ? AccessibilityStatus::failure : status,
            std::nullopt);
    }

    AccessibilityStatus status() const { return status_; }
    bool ok() const { return status_ == AccessibilityStatus::success; }
    // Null unless the read succeeded.
    const AccessibilityValue* value() const { return value_ ? &*value_ : nullptr; }

  private:
    AttributeResult(AccessibilityStatus status, std::optional<AccessibilityValue> value)
        : status_(status), value_(std::move(value)) {}

    AccessibilityStatus status_;
    std::optional<AccessibilityValue> value_;
};

}  // namespace pellucine

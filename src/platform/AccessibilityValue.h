#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <concepts>
#include <memory>
#include <optional>
#include <variant>

#include "base/Rect.h"

namespace pellucine {

class AccessibilityElement;

// Elements are shared handles: copying one refers to the same element.
using ElementRef = std::shared_ptr<AccessibilityElement>;
using ElementList = QList<ElementRef>;

// The value of one attribute. Points and sizes are in the global space.
class AccessibilityValue {
  public:
    using Storage =
        std::variant<bool, double, QString, GlobalPoint, Size, QUrl, ElementRef, ElementList>;

    // Only a true bool: a string literal must not turn into one.
    template <std::same_as<bool> B>
    AccessibilityValue(B v) : storage_(std::in_place_type<bool>, v) {}
    AccessibilityValue(double v) : storage_(std::in_place_type<double>, v) {}
    AccessibilityValue(QString v) : storage_(std::in_place_type<QString>, std::move(v)) {}
    AccessibilityValue(QStringView v) : storage_(std::in_place_type<QString>, v.toString()) {}
    AccessibilityValue(GlobalPoint v) : storage_(std::in_place_type<GlobalPoint>, v) {}
    AccessibilityValue(Size v) : storage_(std::in_place_type<Size>, v) {}
    AccessibilityValue(QUrl v) : storage_(std::in_place_type<QUrl>, std::move(v)) {}
    AccessibilityValue(ElementRef v) : storage_(std::in_place_type<ElementRef>, std::move(v)) {}
    AccessibilityValue(ElementList v) : storage_(std::in_place_type<ElementList>, std::move(v)) {}

    const Storage& storage() const { return storage_; }

    // A boolean, or a number read as a boolean (non-zero is true).
    std::optional<bool> toBoolean() const;
    std::optional<double> toNumber() const;
    std::optional<QString> toString() const;
    std::optional<GlobalPoint> toPoint() const;
    std::optional<Size> toSize() const;
    std::optional<QUrl> toUrl() const;
    // A non-null element.
    ElementRef toElement() const;
    // A list of elements; a list holding a null handle is not one.
    std::optional<ElementList> toElements() const;

    // For logs and test messages.
    QString describe() const;

  private:
    Storage storage_;
};

}  // namespace pellucine

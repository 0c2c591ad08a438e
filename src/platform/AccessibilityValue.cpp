#include "platform/AccessibilityValue.h"

#include "platform/AccessibilityElement.h"

namespace pellucine {

std::optional<bool> AccessibilityValue::toBoolean() const {
    if (const bool* b = std::get_if<bool>(&storage_)) {
        return *b;
    }
    if (const double* d = std::get_if<double>(&storage_)) {
        return *d != 0;
    }
    return std::nullopt;
}

std::optional<double> AccessibilityValue::toNumber() const {
    if (const double* d = std::get_if<double>(&storage_)) {
        return *d;
    }
    if (const bool* b = std::get_if<bool>(&storage_)) {
        return *b ? 1.0 : 0.0;
    }
    return std::nullopt;
}

namespace {
template <class T, class Storage>
std::optional<T> alternative(const Storage& storage) {
    if (const T* v = std::get_if<T>(&storage)) {
        return *v;
    }
    return std::nullopt;
}
}  // namespace

std::optional<QString> AccessibilityValue::toString() const {
    return alternative<QString>(storage_);
}
std::optional<GlobalPoint> AccessibilityValue::toPoint() const {
    return alternative<GlobalPoint>(storage_);
}
std::optional<Size> AccessibilityValue::toSize() const {
    return alternative<Size>(storage_);
}
std::optional<QUrl> AccessibilityValue::toUrl() const {
    return alternative<QUrl>(storage_);
}

ElementRef AccessibilityValue::toElement() const {
    if (const ElementRef* e = std::get_if<ElementRef>(&storage_)) {
        return *e;
    }
    return nullptr;
}

std::optional<ElementList> AccessibilityValue::toElements() const {
    const ElementList* list = std::get_if<ElementList>(&storage_);
    if (list == nullptr) {
        return std::nullopt;
    }
    for (const ElementRef& e : *list) {
        if (!e) {
            return std::nullopt;
        }
    }
    return *list;
}

QString AccessibilityValue::describe() const {
    struct Describe {
        QString operator()(bool b) const {
            return b ? QStringLiteral("true") : QStringLiteral("false");
        }
        QString operator()(double d) const { return QString::number(d); }
        QString operator()(const QString& s) const {
            return QLatin1Char('"') + s + QLatin1Char('"');
        }
        QString operator()(GlobalPoint p) const {
            return QStringLiteral("(%1, %2)").arg(p.x).arg(p.y);
        }
        QString operator()(Size s) const {
            return QStringLiteral("%1 x %2").arg(s.width).arg(s.height);
        }
        QString operator()(const QUrl& u) const { return u.toString(); }
        QString operator()(const ElementRef&) const { return QStringLiteral("element"); }
        QString operator()(const ElementList& l) const {
            return QStringLiteral("%1 elements").arg(l.size());
        }
    };
    return std::visit(Describe{}, storage_);
}

}  // namespace pellucine

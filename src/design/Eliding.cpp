#include "design/Eliding.h"

#include <QWidget>

namespace pellucine::Yard {

namespace {
constexpr char property[] = "pellucineAllowsEliding";
}

void allowEliding(QWidget& widget, bool allowed) {
    widget.setProperty(property, allowed);
}

bool allowsEliding(const QWidget& widget) {
    return widget.property(property).toBool();
}

}  // namespace pellucine::Yard

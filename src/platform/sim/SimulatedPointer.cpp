#include "platform/sim/SimulatedPointer.h"

namespace pellucine {

Subscription SimulatedPointer::monitor(unsigned kinds, Handler handler) {
    if (refused_) {
        return {};
    }
    auto monitor = std::make_shared<Monitor>(Monitor{kinds, std::move(handler)});
    monitors_.add(monitor);
    return Subscription(std::shared_ptr<void>(std::move(monitor)));
}

void SimulatedPointer::moveTo(GlobalPoint location) {
    location_ = location;
    deliver(moves, {PointerEvent::Type::moved, location_});
}

void SimulatedPointer::click(Button button, bool onOwnWindow) {
    using Type = PointerEvent::Type;
    const auto [down, up] = button == Button::left    ? std::pair{Type::leftDown, Type::leftUp}
                            : button == Button::right ? std::pair{Type::rightDown, Type::rightUp}
                                                      : std::pair{Type::otherDown, Type::otherUp};
    PointerEvent event{down, location_};
    event.toOwnWindow = onOwnWindow;
    deliver(clicks, event);
    event.type = up;
    deliver(clicks, event);
}

void SimulatedPointer::scroll(double x, double y) {
    deliver(scrolls, {PointerEvent::Type::scrolled, location_, x, y});
}

void SimulatedPointer::deliver(unsigned kind, const PointerEvent& event) {
    monitors_.forEach([&](const Monitor& monitor) {
        if (const Handler handler = (monitor.kinds & kind) != 0 ? monitor.handler : nullptr) {
            handler(event);
        }
    });
}

int SimulatedPointer::monitorCount() const {
    return monitors_.size();
}

}  // namespace pellucine

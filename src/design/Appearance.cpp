#include "design/Appearance.h"

#include <QEvent>
#include <QGuiApplication>

namespace pellucine {

Appearance::Appearance(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        palette_ = schemeOf(QGuiApplication::palette());
        app->installEventFilter(this);
    }
}

template <class Change>
void Appearance::update(Change change) {
    const ColorScheme before = scheme();
    change();
    if (scheme() != before) {
        emit schemeChanged(scheme());
    }
}

void Appearance::setForcedScheme(std::optional<ColorScheme> scheme) {
    update([&] { forced_ = scheme; });
}

void Appearance::setStatedScheme(std::optional<ColorScheme> scheme) {
    update([&] { stated_ = scheme; });
}

ColorScheme Appearance::schemeOf(const QPalette& palette) {
    const int window = palette.color(QPalette::Active, QPalette::Window).lightness();
    const int text = palette.color(QPalette::Active, QPalette::WindowText).lightness();
    return window < text ? ColorScheme::dark : ColorScheme::light;
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() &&
        event->type() == QEvent::ApplicationPaletteChange) {
        update([&] { palette_ = schemeOf(QGuiApplication::palette()); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pellucine

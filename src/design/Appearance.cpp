#include "design/Appearance.h"

#include <QEvent>
#include <QGuiApplication>

namespace pellucine {

Appearance::Appearance(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        system_ = schemeOf(QGuiApplication::palette());
        app->installEventFilter(this);
    }
}

void Appearance::setForcedScheme(std::optional<ColorScheme> scheme) {
    update(system_, scheme);
}

ColorScheme Appearance::schemeOf(const QPalette& palette) {
    const int window = palette.color(QPalette::Active, QPalette::Window).lightness();
    const int text = palette.color(QPalette::Active, QPalette::WindowText).lightness();
    return window < text ? ColorScheme::dark : ColorScheme::light;
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() &&
        event->type() == QEvent::ApplicationPaletteChange) {
        update(schemeOf(QGuiApplication::palette()), forced_);
    }
    return QObject::eventFilter(watched, event);
}

void Appearance::update(ColorScheme system, std::optional<ColorScheme> forced) {
    const ColorScheme before = scheme();
    system_ = system;
    forced_ = forced;
    if (scheme() != before) {
        emit schemeChanged(scheme());
    }
}

}  // namespace pellucine

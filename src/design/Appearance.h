#pragma once

#include <QObject>
#include <QPalette>
#include <optional>

#include "design/ColorScheme.h"

namespace pellucine {

// The program's appearance: the desktop's scheme as far as Qt can tell (from the lightness of
// the application palette, since Qt 6.4 has no colour-scheme query), unless a scheme is forced.
// Emits `schemeChanged` whenever the effective scheme changes, and only then.
class Appearance : public QObject {
    Q_OBJECT

  public:
    explicit Appearance(QObject* parent = nullptr);

    ColorScheme scheme() const { return forced_.value_or(system_); }
    ColorScheme systemScheme() const { return system_; }
    std::optional<ColorScheme> forcedScheme() const { return forced_; }

    // A forced scheme wins over the desktop's; none follows the desktop again.
    void setForcedScheme(std::optional<ColorScheme> scheme);

    // Dark when the window colour is darker than the text drawn on it.
    static ColorScheme schemeOf(const QPalette& palette);

  signals:
    void schemeChanged(pellucine::ColorScheme scheme);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void update(ColorScheme system, std::optional<ColorScheme> forced);

    ColorScheme system_ = ColorScheme::light;
    std::optional<ColorScheme> forced_;
};

}  // namespace pellucine

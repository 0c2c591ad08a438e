#pragma once

#include <QObject>
#include <QPalette>
#include <optional>

#include "design/ColorScheme.h"

namespace pellucine {

// The program's appearance: the scheme the desktop states, else the one of Qt's application
// palette (by its lightness, since Qt 6.4 has no colour-scheme query), unless a scheme is
// forced. Emits `schemeChanged` whenever the effective scheme changes, and only then.
class Appearance : public QObject {
    Q_OBJECT

  public:
    explicit Appearance(QObject* parent = nullptr);

    ColorScheme scheme() const { return forced_.value_or(systemScheme()); }
    ColorScheme systemScheme() const { return stated_.value_or(palette_); }
    std::optional<ColorScheme> forcedScheme() const { return forced_; }

    // A forced scheme wins over the desktop's; none follows the desktop again.
    void setForcedScheme(std::optional<ColorScheme> scheme);
    // The scheme the desktop states through its own settings, which wins over the palette's;
    // none when it states no preference.
    void setStatedScheme(std::optional<ColorScheme> scheme);

    // Dark when the window colour is darker than the text drawn on it.
    static ColorScheme schemeOf(const QPalette& palette);

  signals:
    void schemeChanged(pellucine::ColorScheme scheme);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <class Change>
    void update(Change change);

    ColorScheme palette_ = ColorScheme::light;
    std::optional<ColorScheme> stated_;
    std::optional<ColorScheme> forced_;
};

}  // namespace pellucine

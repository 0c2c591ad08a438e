#pragma once

#include <QString>
#include <array>
#include <optional>

namespace pellucine {

// How the Switcher page shows and sets the preview width.
namespace PreviewWidth {

constexpr double minimum = 360;
constexpr double maximum = 800;
constexpr double step = 20;
constexpr int stepCount = static_cast<int>((maximum - minimum) / step);

struct Preset {
    QString title;
    double width;
};
// "Compact" 420, "Standard" 600, "Large" 760.
const std::array<Preset, 3>& presets();

// "Compact" below 500, "Standard" below 700, "Large" from 700.
QString word(double width);
// The width without its fraction, then " px".
QString readout(double width);
// The preset whose width is exactly this one.
std::optional<int> selectedPreset(double width);

// The slider's step nearest to a width, within the steps.
int sliderStep(double width);
double widthAtStep(int step);

}  // namespace PreviewWidth
}  // namespace pellucine

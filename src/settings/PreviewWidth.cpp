#include "settings/PreviewWidth.h"

#include <algorithm>
#include <cmath>

namespace pellucine::PreviewWidth {

const std::array<Preset, 3>& presets() {
    static const std::array<Preset, 3> all{{
        {QStringLiteral("Compact"), 420},
        {QStringLiteral("Standard"), 600},
        {QStringLiteral("Large"), 760},
    }};
    return all;
}

QString word(double width) {
    if (width < 500) {
        return QStringLiteral("Compact");
    }
    if (width < 700) {
        return QStringLiteral("Standard");
    }
    return QStringLiteral("Large");
}

QString readout(double width) {
    return QString::number(static_cast<qint64>(std::trunc(width))) + QStringLiteral(" px");
}

std::optional<int> selectedPreset(double width) {
    for (std::size_t i = 0; i < presets().size(); ++i) {
        if (presets()[i].width == width) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

int sliderStep(double width) {
    if (!std::isfinite(width)) {
        return 0;
    }
    const double steps = std::round((width - minimum) / step);
    return static_cast<int>(std::clamp(steps, 0.0, static_cast<double>(stepCount)));
}

double widthAtStep(int index) {
    return minimum + step * std::clamp(index, 0, stepCount);
}

}  // namespace pellucine::PreviewWidth

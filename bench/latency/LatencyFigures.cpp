#include "latency/LatencyFigures.h"

#include <algorithm>
#include <cmath>

namespace pellucine {

LatencyFigures LatencyFigures::of(std::vector<double> samples, int failures) {
    LatencyFigures figures;
    figures.failures = failures;
    figures.count = static_cast<int>(samples.size());
    if (samples.empty()) {
        return figures;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    figures.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
    figures.p95 = samples[std::max<std::size_t>(rank, 1) - 1];
    figures.worst = samples.back();
    return figures;
}

QString LatencyFigures::describe() const {
    QString text = QStringLiteral("median %1 ms, p95 %2 ms, worst %3 ms (%4 runs)")
                       .arg(median, 0, 'f', 1)
                       .arg(p95, 0, 'f', 1)
                       .arg(worst, 0, 'f', 1)
                       .arg(count);
    if (failures > 0) {
        text += QStringLiteral(", %1 timed out").arg(failures);
    }
    return text;
}

double ratio(double a, double b) {
    return b == 0 ? 0 : a / b;
}

}  // namespace pellucine

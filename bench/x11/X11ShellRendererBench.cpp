#include <benchmark/benchmark.h>

#include <QImage>

#include "platform/x11/shell/X11ShellRenderer.h"
#include "platform/x11/shell/X11SwitcherLayout.h"
#include "support/OffscreenApplication.h"

namespace pellucine {
namespace {

// The strip as Super+Tab draws it: twenty applications on a 1280 by 800 screen, one with an
// icon of its own and the others without.
void BM_RenderSwitcherStrip(benchmark::State& state) {
    bench::ensureOffscreenApplication();
    const X11SwitcherLayout layout = X11SwitcherLayout::compute(20, QRect(0, 0, 1280, 800), 1.0);
    QImage icon(layout.iconSize, layout.iconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::darkCyan);
    QList<QImage> icons(20);
    icons[0] = icon;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            X11ShellRenderer::renderSwitcher(layout, icons, 1, QStringLiteral("XTerm"), 1.0));
    }
}
BENCHMARK(BM_RenderSwitcherStrip)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pellucine

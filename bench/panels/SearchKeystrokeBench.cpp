#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <array>

#include "panels/SearchCandidates.h"
#include "panels/WindowSearchState.h"
#include "panels/WindowSearchView.h"

namespace pellucine {
namespace {

// The GUI application on the offscreen platform, made on first use.
bool ensureApplication() {
    if (QApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "panels_bench";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }
    return true;
}

// The panel's content, as the controller fills it at opening.
class OpenPanel {
  public:
    explicit OpenPanel(int windowCount) {
        // Inside a window of its own, as in the panel.
        view = new WindowSearchView(state, WindowSearchView::Callbacks{}, nullptr, &window);
        state.setTotalCount(windowCount);
        state.setCandidates(bench::makeCandidates(windowCount));
        state.refresh();
        window.resize(660, WindowSearchView::chromeHeight + 8 * 54);
        view->resize(window.size());
        window.show();
        QApplication::processEvents();
    }

    // One keystroke: the field's new text ranks the windows, and the view lays out and paints
    // the rows in sight.
    void type(const QString& text) {
        view->field()->setText(text);
        view->repaint();
    }

    bool applicationReady = ensureApplication();
    WindowSearchState state;
    QWidget window;
    WindowSearchView* view = nullptr;
};

// Typing a two-word query and erasing it again, a keystroke per iteration.
void BM_KeystrokeToUpdatedList(benchmark::State& state) {
    static const std::array<QString, 10> steps{
        QStringLiteral("r"),         QStringLiteral("re"),
        QStringLiteral("rep"),       QStringLiteral("repo"),
        QStringLiteral("repor"),     QStringLiteral("report"),
        QStringLiteral("report "),   QStringLiteral("report m"),
        QStringLiteral("report ma"), QString()};
    OpenPanel panel(static_cast<int>(state.range(0)));
    std::size_t step = 0;
    for (auto _ : state) {
        panel.type(steps[step]);
        step = (step + 1) % steps.size();
    }
    state.counters["rows"] = static_cast<double>(panel.view->list()->model()->rowCount());
}
BENCHMARK(BM_KeystrokeToUpdatedList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pellucine

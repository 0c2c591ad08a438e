#include <benchmark/benchmark.h>

#include <QPainter>
#include <QRandomGenerator>

#include "base/Clock.h"
#include "core/PreviewCache.h"
#include "core/ScreenCapturePreviewService.h"
#include "platform/linux/JpegImageCoding.h"

namespace pellucine {
namespace {

// Runs each job and its completion at once, as if the copy arrived before the next store.
class InlineExecutor final : public BackgroundExecutor {
  public:
    void execute(std::function<void()> job, std::function<void()> done) override {
        job();
        done();
    }
};

// A fixed small copy, so that cache benchmarks measure the cache and not the coding.
class FixedCoding final : public ImageCoding {
  public:
    std::optional<QByteArray> encodeJpeg(const QImage&, double) const override {
        return QByteArray(24 * 1024, 'j');
    }
    std::optional<QImage> decodeJpeg(const QByteArray&) const override { return QImage(); }
};

// Something like a document window: a title bar, a sidebar, lines of "text" and a photo-like
// gradient with noise, drawn at the picture's size.
QImage windowPicture(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(250, 250, 248));
    QPainter p(&image);
    const int w = size.width();
    const int h = size.height();
    p.fillRect(0, 0, w, std::max(1, h / 18), QColor(226, 226, 230));
    p.fillRect(0, h / 18, w / 5, h, QColor(236, 238, 242));
    QRandomGenerator random(7);
    const int line = std::max(2, h / 60);
    for (int y = h / 12; y < h * 2 / 3; y += line * 2) {
        int x = w / 5 + w / 30;
        while (x < w - w / 20) {
            const int word = line * static_cast<int>(random.bounded(2, 9));
            p.fillRect(x, y, word, line, QColor(40, 40, 48));
            x += word + line;
        }
    }
    QLinearGradient sky(0, h * 2 / 3, w, h);
    sky.setColorAt(0, QColor(70, 120, 200));
    sky.setColorAt(1, QColor(230, 150, 80));
    p.fillRect(w / 5 + w / 30, h * 2 / 3 + line, w * 3 / 4, h / 3 - 2 * line, sky);
    p.end();
    for (int i = 0; i < w * h / 40; ++i) {
        const int x = static_cast<int>(random.bounded(w));
        const int y = static_cast<int>(random.bounded(h * 2 / 3, std::max(h * 2 / 3 + 1, h)));
        image.setPixel(x, y, qRgb(static_cast<int>(random.bounded(256)), 140, 110));
    }
    return image;
}

struct FullCache {
    FakeContinuousClock clock;
    InlineExecutor executor;
    FixedCoding coding;
    PreviewCache cache{coding, executor, clock};
    QImage picture = windowPicture({600, 450});

    FullCache() {
        for (quint32 w = 1; w <= PreviewCache::defaultCapacity; ++w) {
            clock.advance(std::chrono::milliseconds(10));
            cache.store(picture, w, clock.now());
        }
    }
};

void BM_CacheFreshLookupAt150(benchmark::State& state) {
    FullCache full;
    quint32 window = 0;
    for (auto _ : state) {
        window = window % PreviewCache::defaultCapacity + 1;
        full.clock.advance(std::chrono::microseconds(1));
        benchmark::DoNotOptimize(full.cache.freshImage(window, full.clock.now()));
    }
}
BENCHMARK(BM_CacheFreshLookupAt150)->Unit(benchmark::kMicrosecond);

void BM_CacheStoreAt150(benchmark::State& state) {
    FullCache full;
    quint32 window = 1000;
    for (auto _ : state) {
        full.clock.advance(std::chrono::microseconds(1));
        // Each store of a new window evicts one entry and trims the hot tier twice.
        full.cache.store(full.picture, ++window, full.clock.now());
    }
    state.counters["entries"] = static_cast<double>(full.cache.entries().size());
    state.counters["hot"] = full.cache.hotImageCount();
}
BENCHMARK(BM_CacheStoreAt150)->Unit(benchmark::kMicrosecond);

// The preview sizes: 800 x 600 at the smallest, default and largest preview widths, and the
// extreme ratios.
const QList<std::pair<Size, double>> previewCases{
    {{800, 600}, 300}, {{800, 600}, 360},  {{800, 600}, 600},
    {{800, 600}, 800}, {{100, 1000}, 200}, {{1000, 50}, 200},
};

void BM_JpegCompress(benchmark::State& state) {
    const auto& [frame, width] = previewCases[state.range(0)];
    const QImage picture = windowPicture(ScreenCapturePreviewService::pixelSize(frame, width));
    const JpegImageCoding coding;
    qsizetype bytes = 0;
    for (auto _ : state) {
        const auto copy = coding.encodeJpeg(picture, PreviewCache::jpegQuality);
        bytes = copy ? copy->size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.SetLabel(
        QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height()).toStdString());
    state.counters["kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_JpegCompress)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_JpegDecode(benchmark::State& state) {
    const auto& [frame, width] = previewCases[state.range(0)];
    const QImage picture = windowPicture(ScreenCapturePreviewService::pixelSize(frame, width));
    const JpegImageCoding coding;
    const QByteArray copy = *coding.encodeJpeg(picture, PreviewCache::jpegQuality);
    for (auto _ : state) {
        benchmark::DoNotOptimize(coding.decodeJpeg(copy));
    }
    state.SetLabel(
        QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height()).toStdString());
}
BENCHMARK(BM_JpegDecode)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pellucine

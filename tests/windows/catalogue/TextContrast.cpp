#include "windows/catalogue/TextContrast.h"

#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace pellucine::testing {

namespace {

double channel(double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

QColor over(const QColor& ink, qreal alpha, const QColor& ground) {
    const auto mix = [alpha](int top, int below) {
        return static_cast<int>(std::lround(top * alpha + below * (1 - alpha)));
    };
    return QColor(mix(ink.red(), ground.red()), mix(ink.green(), ground.green()),
                  mix(ink.blue(), ground.blue()));
}

// One run of text as the painter was asked to draw it, in the window's pixels.
struct TextRun {
    const QWidget* widget = nullptr;
    QString text;
    QRect place;
    QColor ink;
    qreal alpha = 1;
    bool large = false;
};

// A paint engine that draws nothing and keeps every text run it is given.
class TextRunEngine : public QPaintEngine {
  public:
    TextRunEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    Type type() const override { return QPaintEngine::User; }

    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        QPainter* p = painter();
        if (item.text().trimmed().isEmpty() || p == nullptr) {
            return;
        }
        const QTransform transform = p->deviceTransform();
        const QRectF box(at.x(), at.y() - item.ascent(), item.width(),
                         item.ascent() + item.descent());
        QRectF place = transform.mapRect(box);
        if (p->hasClipping()) {
            place &= transform.mapRect(p->clipBoundingRect());
        }
        if (const QRegion system = systemClip(); !system.isEmpty()) {
            place &= QRectF(system.boundingRect());
        }
        const QColor ink = p->pen().color();
        const qreal alpha = ink.alphaF() * p->opacity();
        if (place.isEmpty() || alpha <= 0) {
            return;
        }
        const QFont font = item.font();
        const qreal pixels =
            (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72) *
            std::sqrt(std::abs(transform.determinant()));
        const bool bold = font.weight() >= QFont::Bold;
        runs.append({dynamic_cast<const QWidget*>(p->device()), item.text(), place.toAlignedRect(),
                     ink, alpha, pixels >= 24 || (bold && pixels >= 18.66)});
    }

    QList<TextRun> runs;
};

class TextRunDevice : public QPaintDevice {
  public:
    explicit TextRunDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable TextRunEngine engine;

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return size_.width();
            case PdmHeight:
                return size_.height();
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 96;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
            default:
                return QPaintDevice::metric(metric);
        }
    }

  private:
    QSize size_;
};

// The colour most pixels of `place` have.
QColor groundOf(const QImage& picture, const QRect& place) {
    QHash<QRgb, int> counts;
    const QRect inside = place & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ++counts[picture.pixel(x, y)];
        }
    }
    QRgb most = 0;
    int mostCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > mostCount) {
            most = it.key();
            mostCount = it.value();
        }
    }
    return QColor(most);
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<LayoutFault> checkTextContrast(QWidget& window) {
    const QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    TextRunDevice device(window.size());
    {
        QPainter painter(&device);
        window.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    QList<LayoutFault> faults;
    for (const TextRun& run : device.engine.runs) {
        const QWidget* widget = run.widget != nullptr ? run.widget : &window;
        if (!widget->isEnabled() || !(run.place & picture.rect()).isValid()) {
            continue;
        }
        const QColor ground = groundOf(picture, run.place);
        const double ratio = contrastRatio(over(run.ink, run.alpha, ground), ground);
        const double needed = run.large ? 3.0 : 4.5;
        if (ratio < needed) {
            faults.append({widgetPath(*widget),
                           QStringLiteral("\"%1\" in %2 on %3 is %4:1, below %5:1")
                               .arg(run.text, run.ink.name(QColor::HexArgb), ground.name())
                               .arg(ratio, 0, 'f', 2)
                               .arg(needed, 0, 'f', 1)});
        }
    }
    return faults;
}

}  // namespace pellucine::testing

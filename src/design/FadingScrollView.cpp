#include "design/FadingScrollView.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "design/Symbols.h"
#include "design/Transition.h"
#include "design/Yard.h"
#include "design/YardAccessible.h"

namespace pellucine {
namespace {

constexpr qreal overscrollAllowance = 6;
constexpr qreal hiddenAllowance = 1;

}  // namespace

ScrollEdges ScrollEdges::of(qreal contentTop, qreal contentBottom, qreal viewportHeight) {
    return {contentTop<-overscrollAllowance, contentBottom> viewportHeight + hiddenAllowance};
}

// One fade band (and, at the bottom, the cue), drawn over the viewport. It takes no input and
// is hidden from assistive technologies.
class FadingScrollView::Overlay : public QWidget, public AccessibleElement {
    Q_OBJECT

  public:
    Overlay(FadingScrollView* view, bool bottom) : QWidget(view), view_(view), bottom_(bottom) {
        Yard::installAccessibility();
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

    QAccessible::Role accessibleRole() const override { return QAccessible::Graphic; }
    void adjustAccessibleState(QAccessible::State& state) const override { state.invisible = true; }

  protected:
    void paintEvent(QPaintEvent*) override {
        const qreal opacity = bottom_ ? view_->bottomFadeOpacity() : view_->topFadeOpacity();
        if (opacity <= 0) {
            return;
        }
        const Yard::Palette& palette = Yard::palette(view_);
        QPainter painter(this);
        painter.setOpacity(opacity);
        const qreal bandHeight = bottom_ ? bottomFadeHeight : topFadeHeight;
        const QRectF band(0, bottom_ ? height() - bandHeight : 0, width(), bandHeight);
        QLinearGradient gradient(band.topLeft(), band.bottomLeft());
        const QColor ground = palette.*(view_->ground_);
        for (const QGradientStop& stop : bottom_ ? bottomFadeStops() : topFadeStops()) {
            QColor colour = ground;
            colour.setAlphaF(static_cast<float>(ground.alphaF() * stop.second.alphaF()));
            gradient.setColorAt(stop.first, colour);
        }
        painter.fillRect(band, gradient);
        if (bottom_) {
            paintCue(painter, palette.*(view_->cue_));
        }
    }

  private:
    void paintCue(QPainter& painter, const QColor& colour) const {
        const QFont font = Yard::keyFont();
        const QFontMetricsF metrics(font);
        const qreal symbol = Symbols::side(cueSymbolSize);
        const qreal textWidth = metrics.horizontalAdvance(cueText());
        const qreal lineHeight = std::max(metrics.height(), symbol);
        const qreal left = (width() - (textWidth + cueSpacing + symbol)) / 2;
        const qreal top = height() - cueBottom - lineHeight;
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(QRectF(left, top, textWidth, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cueText());
        Symbols::draw(
            painter, u"chevron.down",
            QRectF(left + textWidth + cueSpacing, top + (lineHeight - symbol) / 2, symbol, symbol),
            cueSymbolSize, SymbolWeight::bold, {colour});
    }

    FadingScrollView* view_;
    bool bottom_;
};

FadingScrollView::FadingScrollView(Ink ground, Ink cue, QWidget* parent)
    : QScrollArea(parent),
      ground_(ground),
      cue_(cue),
      top_(new Overlay(this, false)),
      bottom_(new Overlay(this, true)),
      topShown_(new Transition(top_, std::chrono::milliseconds(durationMs))),
      bottomShown_(new Transition(bottom_, std::chrono::milliseconds(durationMs))) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    QScrollBar* bar = verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &FadingScrollView::refreshEdges);
    connect(bar, &QScrollBar::rangeChanged, this, &FadingScrollView::refreshEdges);
    top_->raise();
    bottom_->raise();
}

FadingScrollView::~FadingScrollView() = default;

qreal FadingScrollView::topFadeOpacity() const {
    return topShown_->progress();
}

qreal FadingScrollView::bottomFadeOpacity() const {
    return bottomShown_->progress();
}

void FadingScrollView::finishTransitions() {
    topShown_->finish();
    bottomShown_->finish();
}

QGradientStops FadingScrollView::bottomFadeStops() {
    const auto stop = [](qreal location, qreal opacity) {
        QColor colour(Qt::black);
        colour.setAlphaF(static_cast<float>(opacity));
        return QGradientStop(location, colour);
    };
    return {stop(0.0, 0.0), stop(0.45, 0.6), stop(0.86, 1.0), stop(1.0, 1.0)};
}

QGradientStops FadingScrollView::topFadeStops() {
    QGradientStops result;
    const QGradientStops bottom = bottomFadeStops();
    for (auto it = bottom.rbegin(); it != bottom.rend(); ++it) {
        result.append({1.0 - it->first, it->second});
    }
    return result;
}

QString FadingScrollView::cueText() {
    return QStringLiteral("More below");
}

QRect FadingScrollView::topOverlayRect() const {
    const QRect area = viewport()->geometry();
    const int right = std::min(area.right() + 1, width() - trailingInset);
    return {area.left(), area.top(), std::max(0, right - area.left()),
            std::min(area.height(), static_cast<int>(std::ceil(topFadeHeight)))};
}

QRect FadingScrollView::bottomOverlayRect() const {
    const QRect area = viewport()->geometry();
    const int right = std::min(area.right() + 1, width() - trailingInset);
    const int height = std::min(area.height(), static_cast<int>(std::ceil(bottomFadeHeight)));
    return {area.left(), area.bottom() + 1 - height, std::max(0, right - area.left()), height};
}

void FadingScrollView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    placeOverlays();
    refreshEdges();
}

bool FadingScrollView::viewportEvent(QEvent* event) {
    // The viewport narrows when the scroll bar comes and widens when it goes.
    if (event->type() == QEvent::Resize) {
        placeOverlays();
        refreshEdges();
    }
    return QScrollArea::viewportEvent(event);
}

void FadingScrollView::placeOverlays() {
    top_->setGeometry(topOverlayRect());
    bottom_->setGeometry(bottomOverlayRect());
    top_->raise();
    bottom_->raise();
}

void FadingScrollView::refreshEdges() {
    // The scroll bar knows the content: its range is what does not fit, its page the viewport.
    const QScrollBar* bar = verticalScrollBar();
    const qreal top = -bar->value();
    const qreal height = bar->maximum() > 0 ? bar->maximum() + bar->pageStep() : 0;
    edges_ = ScrollEdges::of(top, top + height, viewport()->height());
    topShown_->setOn(edges_.above);
    bottomShown_->setOn(edges_.below);
    placeOverlays();
}

}  // namespace pellucine

#include "FadingScrollView.moc"

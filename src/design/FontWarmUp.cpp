#include "design/FontWarmUp.h"

#include <QImage>
#include <QPainter>
#include <utility>

namespace pellucine {

FontWarmUp::FontWarmUp(Scheduler& scheduler, Duration delay, QList<QFont> fonts)
    : scheduler_(scheduler), fonts_(std::move(fonts)) {
    if (!fonts_.isEmpty()) {
        next_ = ScopedWork(scheduler_, scheduler_.postAfter(delay, [this] { step(); }));
    }
}

FontWarmUp::FontWarmUp(Scheduler& scheduler, Duration delay, Later fonts)
    : scheduler_(scheduler), makeFonts_(std::move(fonts.make)) {
    if (makeFonts_) {
        next_ = ScopedWork(scheduler_, scheduler_.postAfter(delay, [this] { step(); }));
    }
}

void FontWarmUp::step() {
    next_ = ScopedWork();
    if (makeFonts_) {
        fonts_ = std::exchange(makeFonts_, nullptr)();
    }
    if (fonts_.isEmpty()) {
        return;
    }
    const QFont font = fonts_.takeFirst();
    QImage scratch(64, 24, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    QPainter painter(&scratch);
    painter.setFont(font);
    painter.drawText(scratch.rect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ag 0"));
    painter.end();
    if (!fonts_.isEmpty()) {
        next_ = ScopedWork(scheduler_, scheduler_.post([this] { step(); }));
    }
}

}  // namespace pellucine

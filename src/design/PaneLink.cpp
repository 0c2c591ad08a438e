#include "design/PaneLink.h"

#include <QDesktopServices>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <cmath>

#include "design/OpenFailureNotice.h"
#include "design/Yard.h"
#include "design/YardText.h"

namespace pellucine {
namespace {

QFont underlined(QFont font) {
    font.setUnderline(true);
    return font;
}

QString oneLine(QString text) {
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

}  // namespace

PaneLink::PaneLink(const QString& title, const QFont& font, QWidget* parent)
    : QAbstractButton(parent) {
    Yard::installAccessibility();
    setFont(underlined(font));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setTitle(title);
}

PaneLink::PaneLink(const QString& title, const QFont& font, std::function<void()> action,
                   QWidget* parent)
    : PaneLink(title, font, parent) {
    if (action) {
        connect(this, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    }
}

void PaneLink::setTitle(const QString& title) {
    title_ = oneLine(title);
    setText(title_);
    setAccessibleName(title_);
    updateGeometry();
    update();
}

QSize PaneLink::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(title_))),
            static_cast<int>(std::ceil(metrics.height()))};
}

int PaneLink::firstBaseline() const {
    return QFontMetrics(font()).ascent();
}

void PaneLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(Yard::palette(this).accentType);
    painter.drawText(QPointF(0, QFontMetricsF(font()).ascent()), title_);
}

bool PaneLink::event(QEvent* event) {
    // The font is the caller's, with the underline kept whatever it is changed to.
    if (event->type() == QEvent::FontChange && !font().underline()) {
        setFont(underlined(font()));
    }
    return QAbstractButton::event(event);
}

WebLink::WebLink(const QString& title, const QUrl& url, QWidget* parent)
    : PaneLink(label(title), Yard::bodyFont(), parent), url_(url) {
    setToolTip(url_.toString());
    setAccessibleName(title);
    setAccessibleDescription(url_.toString());
    // A location the desktop cannot open is ignored.
    connect(this, &QAbstractButton::clicked, this, &WebLink::openUrl);
}

QString WebLink::label(const QString& title) {
    return title + QStringLiteral(" ↗");
}

void WebLink::openUrl() {
    const auto failed =
        OpenFailureNotice::whenNothingOpened(this, OpenFailureNotice::noBrowser, url_.toString());
    if (opener_) {
        opener_(url_, failed);
    } else if (!QDesktopServices::openUrl(url_)) {
        failed();
    }
}

QWidget* linkedSentence(const QString& lead, PaneLink* link, const QString& tail, const QFont& font,
                        int spacing) {
    auto* line = new QWidget;
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(new YardText(lead, font, &Yard::Palette::muted, false), 0, Qt::AlignVCenter);
    row->addSpacing(spacing);
    row->addWidget(link, 0, Qt::AlignVCenter);
    if (!tail.isEmpty()) {
        row->addWidget(new YardText(tail, font, &Yard::Palette::muted, false), 0, Qt::AlignVCenter);
    }
    row->addStretch(1);
    return line;
}

}  // namespace pellucine

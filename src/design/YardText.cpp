#include "design/YardText.h"

#include <QEvent>

#include "design/Yard.h"

namespace pellucine {

YardText::YardText(const QString& text, const QFont& font, Ink ink, bool wraps, QWidget* parent)
    : QLabel(parent), ink_(ink) {
    // Callers' texts are never markup.
    setTextFormat(Qt::PlainText);
    setText(text);
    setFont(font);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(wraps);
    QSizePolicy policy(wraps ? QSizePolicy::Preferred : QSizePolicy::Fixed,
                       wraps ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    policy.setHeightForWidth(wraps);
    setSizePolicy(policy);
    restyle();
}

void YardText::setInk(Ink ink) {
    ink_ = ink;
    restyle();
}

int YardText::firstBaseline() const {
    return contentsMargins().top() + margin() + fontMetrics().ascent();
}

bool YardText::event(QEvent* event) {
    if (Yard::restyles(event)) {
        restyle();
    }
    return QLabel::event(event);
}

void YardText::restyle() {
    const QColor colour = Yard::palette(this).*ink_;
    QPalette palette = this->palette();
    if (palette.color(QPalette::WindowText) != colour) {
        palette.setColor(QPalette::WindowText, colour);
        setPalette(palette);
    }
}

}  // namespace pellucine

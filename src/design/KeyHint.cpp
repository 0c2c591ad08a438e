#include "design/KeyHint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/KeyNames.h"
#include "design/KeyCap.h"
#include "design/Yard.h"

namespace pellucine {

KeyHint::KeyHint(const QString& templateText, const QFont& font, bool muted, QWidget* parent)
    : QWidget(parent), muted_(muted) {
    Yard::installAccessibility();
    QWidget::setFont(font);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setTemplateText(templateText);
}

void KeyHint::setTemplateText(const QString& templateText) {
    template_ = templateText;
    tokens_ = tokens(template_);
    setAccessibleName(spokenText(template_));
    changed();
}

void KeyHint::setMuted(bool muted) {
    if (muted_ != muted) {
        muted_ = muted;
        update();
    }
}

void KeyHint::setFont(const QFont& font) {
    QWidget::setFont(font);
    changed();
}

QList<KeyHint::Token> KeyHint::tokens(QStringView text) {
    QList<Token> result;
    QString word;
    bool gap = false;
    auto emitWord = [&] {
        if (!word.isEmpty()) {
            result.append(Token{Token::Kind::word, word, gap});
            word.clear();
            return true;
        }
        return false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', i + 1);
            if (close >= 0) {
                const bool keyGap = emitWord() ? false : gap;
                result.append(
                    Token{Token::Kind::key, text.sliced(i + 1, close - i - 1).toString(), keyGap});
                gap = false;
                i = close;
                continue;
            }
        } else if (c == u' ') {
            emitWord();
            gap = true;
            continue;
        }
        word.append(c);
    }
    emitWord();
    return result;
}

QString KeyHint::spokenText(QStringView text) {
    QString result;
    bool previousWasKey = false;
    for (const Token& token : tokens(text)) {
        const bool isKey = token.kind == Token::Kind::key;
        QString part = isKey ? KeyNames::spoken(token.text) : token.text;
        part.remove(u'{');
        part.remove(u'}');
        // Caps written against each other are still separate keys when read.
        if (!result.isEmpty() && !part.isEmpty() && (token.gap || (isKey && previousWasKey))) {
            result += u' ';
        }
        result += part;
        previousWasKey = isKey;
    }
    return result;
}

QList<FlowLayout::Child> KeyHint::children() const {
    const QFontMetricsF metrics(font());
    QList<FlowLayout::Child> result;
    result.reserve(tokens_.size());
    for (const Token& token : tokens_) {
        const QSizeF size = token.kind == Token::Kind::key
                                ? QSizeF(KeyCap::size(token.text, true))
                                : QSizeF(metrics.horizontalAdvance(token.text), metrics.height());
        result.append({size, token.gap});
    }
    return result;
}

void KeyHint::changed() {
    updateGeometry();
    update();
}

QSize KeyHint::sizeHint() const {
    return flow().sizeThatFits(children(), std::nullopt).toSize();
}

QSize KeyHint::minimumSizeHint() const {
    // The widest single piece; anything narrower only wraps.
    qreal widest = 0;
    for (const FlowLayout::Child& child : children()) {
        widest = std::max(widest, child.size.width());
    }
    return {static_cast<int>(std::ceil(widest)), heightForWidth(static_cast<int>(widest))};
}

int KeyHint::heightForWidth(int width) const {
    return static_cast<int>(flow().sizeThatFits(children(), width).height());
}

int KeyHint::firstBaseline() const {
    const QList<FlowLayout::Child> all = children();
    const QList<FlowLayout::Row> rows = flow().rows(all, width());
    const QFontMetricsF metrics(font());
    const qreal rowHeight = FlowLayout::rowHeight(rows.first());
    const qreal wordTop = (rowHeight - metrics.height()) * 0.5;
    return static_cast<int>(std::round(std::max<qreal>(0, wordTop) + metrics.ascent()));
}

void KeyHint::paintEvent(QPaintEvent*) {
    const Yard::Palette& palette = Yard::palette(this);
    const QList<FlowLayout::Child> all = children();
    const QList<QPointF> places = flow().place(all, QRectF(rect()), width());
    const QFontMetricsF metrics(font());
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (qsizetype i = 0; i < tokens_.size(); ++i) {
        const Token& token = tokens_.at(i);
        const QRectF box(places.at(i), all.at(i).size);
        if (token.kind == Token::Kind::key) {
            KeyCap::paint(painter, box, token.text, palette, false);
        } else {
            painter.setFont(font());
            painter.setPen(muted_ ? palette.muted : palette.fore);
            painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), token.text);
        }
    }
}

}  // namespace pellucine

#include "design/TextBaseline.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

namespace pellucine::Yard {

int firstBaseline(const QWidget* widget, int height) {
    if (widget == nullptr) {
        return 0;
    }
    if (const auto* own = dynamic_cast<const HasTextBaseline*>(widget)) {
        return own->firstBaseline();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QFontMetrics metrics(label->font());
        const int top = label->contentsMargins().top() + label->margin();
        const Qt::Alignment align = label->alignment();
        if (align & Qt::AlignTop || label->wordWrap()) {
            return top + metrics.ascent();
        }
        const int inner = height - top - label->contentsMargins().bottom();
        if (align & Qt::AlignBottom) {
            return top + inner - metrics.descent();
        }
        return top + (inner - metrics.height() + 1) / 2 + metrics.ascent();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        const QFontMetrics metrics(edit->font());
        return (height - metrics.height() + 1) / 2 + metrics.ascent();
    }
    return height;
}

}  // namespace pellucine::Yard

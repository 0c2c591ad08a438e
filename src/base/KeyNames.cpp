#include "base/KeyNames.h"

#include <QHash>

namespace pellucine::KeyNames {

QString spoken(const QString& label) {
    static const auto& names = *new QHash<QString, QString>{
        {control, QStringLiteral("Control")},
        {QStringLiteral("Esc"), QStringLiteral("Escape")},
        {QStringLiteral("Page Dn"), QStringLiteral("Page Down")},
        {QStringLiteral("↩"), QStringLiteral("Return")},
        {QStringLiteral("←"), QStringLiteral("Left Arrow")},
        {QStringLiteral("→"), QStringLiteral("Right Arrow")},
        {QStringLiteral("↑"), QStringLiteral("Up Arrow")},
        {QStringLiteral("↓"), QStringLiteral("Down Arrow")},
        {QStringLiteral(","), QStringLiteral("Comma")},
        {QStringLiteral("."), QStringLiteral("Period")},
    };
    return names.value(label, label);
}

QString spoken(const QStringList& labels) {
    QStringList words;
    words.reserve(labels.size());
    for (const QString& label : labels) {
        words << spoken(label);
    }
    return words.join(u' ');
}

}  // namespace pellucine::KeyNames

#include "preferences/SettingsFileSchema.h"

namespace pellucine {

std::optional<QString> SettingsFileSchema::problem(const QMap<QString, QVariant>& values) const {
    bool invalid = false;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const auto kind = keys.constFind(it.key());
        if (kind == keys.cend()) {
            return QStringLiteral("foreign-key");
        }
        invalid = invalid || !fits(*kind, it.value());
    }
    return invalid ? std::optional(QStringLiteral("invalid-value")) : std::nullopt;
}

bool SettingsFileSchema::fits(Kind kind, const QVariant& value) {
    switch (kind) {
        case Kind::data:
            return value.typeId() == QMetaType::QByteArray;
        case Kind::flag:
            return value.typeId() == QMetaType::Bool ||
                   (value.typeId() == QMetaType::QString &&
                    (value.toString() == QLatin1String("true") ||
                     value.toString() == QLatin1String("false")));
        case Kind::text:
            return value.typeId() == QMetaType::QString;
    }
    return false;
}

}  // namespace pellucine

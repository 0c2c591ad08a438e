#include "core/WindowAction.h"

namespace pellucine {

QString WindowAction::textForm() const {
    switch (kind) {
        case Kind::place:
            return QStringLiteral("place(pellucine.WindowPlacement.") + rawValue(placement) +
                   QLatin1Char(')');
        case Kind::focus:
            return QStringLiteral("focus");
        case Kind::minimize:
            return QStringLiteral("minimize");
        case Kind::restore:
            return QStringLiteral("restore");
        case Kind::toggleFullScreen:
            return QStringLiteral("toggleFullScreen");
        case Kind::close:
            return QStringLiteral("close");
    }
    return {};
}

}  // namespace pellucine

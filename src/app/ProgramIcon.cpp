#include "app/ProgramIcon.h"

// Outside any namespace, as the resource initialiser requires.
static void initProgramIconResource() {
    Q_INIT_RESOURCE(pellucine_icon);
}

namespace pellucine {

QIcon bundledProgramIcon() {
    initProgramIconResource();
    return QIcon(QStringLiteral(":/pellucine/icon/pellucine.png"));
}

QIcon themedProgramIcon() {
    return QIcon::fromTheme(QStringLiteral("pellucine"));
}

}  // namespace pellucine

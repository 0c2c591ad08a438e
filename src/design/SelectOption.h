#pragma once

#include <QString>
#include <QVariant>

namespace pellucine {

// One choice of a select: the value handed to its owner and the title shown for it.
struct SelectOption {
    QVariant value;
    QString title;
};

}  // namespace pellucine

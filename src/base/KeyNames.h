#pragma once

#include <QString>
#include <QStringList>

namespace pellucine {

// How keys are shown and read: the modifier caps as X11 keyboards label them, and the names
// assistive technologies read for caps.
namespace KeyNames {

inline const QString control = QStringLiteral("Ctrl");
inline const QString alt = QStringLiteral("Alt");
inline const QString shift = QStringLiteral("Shift");
inline const QString super = QStringLiteral("Super");
inline const QString tab = QStringLiteral("Tab");

// A cap's label spelled out ("Ctrl" is "Control", "↩" is "Return"); other labels as they are.
QString spoken(const QString& label);
// Caps read one after the other: "Control Alt K".
QString spoken(const QStringList& labels);

}  // namespace KeyNames

}  // namespace pellucine

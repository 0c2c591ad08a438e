#pragma once

#include <QFont>
#include <QList>

namespace pellucine {

// Every face the floating panels draw text with, once each, to be loaded ahead of their first
// showing.
QList<QFont> panelFonts();

}  // namespace pellucine

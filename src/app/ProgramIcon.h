#pragma once

#include <QIcon>

namespace pellucine {

// The program's icon: the installed one from the icon theme, else the picture built into the
// program, as when it runs from the build folder. Needs the GUI application.
QIcon programIcon();

}  // namespace pellucine

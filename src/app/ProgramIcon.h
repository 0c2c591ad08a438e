#pragma once

#include <QIcon>

namespace pellucine {

// The picture built into the program; cheap, so it serves from the start.
QIcon bundledProgramIcon();

// The program's icon installed in the icon theme; null when it is not there, as when the program
// runs from the build folder. The lookup reads the theme's folders, so it is made once the launch
// is over. Needs the GUI application.
QIcon themedProgramIcon();

}  // namespace pellucine

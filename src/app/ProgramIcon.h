#pragma once

#include <QIcon>

namespace pellucine {

// The picture built into the program; cheap, so it serves from the start.
QIcon bundledProgramIcon();

// The program's icon: the installed one from the icon theme, else the built-in picture, as
// when it runs from the build folder. The theme lookup reads the theme's folders, so it is
// made once the launch is over. Needs the GUI application.
QIcon programIcon();

}  // namespace pellucine

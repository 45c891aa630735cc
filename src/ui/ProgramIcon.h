#pragma once

#include <QIcon>

namespace quill::ui {

// The program's icon, the one the desktop entry names: from the icon theme
// when it is installed there, else the copies built into the program, so
// that a window started from a build tree carries it too.
QIcon programIcon();

} // namespace quill::ui

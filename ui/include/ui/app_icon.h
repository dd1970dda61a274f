// The application's own icon, and the settings of the running application that
// the window, the taskbar and the desktop entry share.
#pragma once

#include <QIcon>

namespace ui {

// The keep and record card, at 16 to 256 pixels.
QIcon applicationIcon();

// Sets the application's name, icon and desktop entry name; call once after the
// QApplication is made.
void setUpApplication();

}  // namespace ui

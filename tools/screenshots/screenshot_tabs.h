// Once the window is up, each table tab (and each tab
// of a tab control on it) is selected in turn and the window is saved as a PNG.
#pragma once

#include <QString>

class QMainWindow;

namespace screenshots {

// Queues the run on the event loop: selects every tab of SSTab1 that has a data file
// behind it, and every tab of a tab control directly on such a page, saves the window
// into folder/<caption>.png ("monsters-normal.png" for a nested tab), then the windows
// of Find and Where Used, then closes the window and ends the event loop, with 0 when
// every picture was written.
void takeTabScreenshots(QMainWindow& window, const QString& folder);

}  // namespace screenshots

// Showing a window and running the event loop until its first frame is painted.
#pragma once

class QWidget;

namespace editor_bench {

// Shows window and processes events until a widget of it has been painted and that
// pass of the event loop is over, so the whole first frame is drawn. False when
// nothing was painted within a few seconds.
bool showUntilPainted(QWidget& window);

// Closes window (running its close handler) and processes what that posted.
void closeAndSettle(QWidget& window);

}  // namespace editor_bench

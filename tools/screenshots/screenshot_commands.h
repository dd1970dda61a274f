// Pictures of the windows of the world commands: Find with a text typed and its
// results, and Where Used on an item the demo monsters drop.
#pragma once

#include <QString>

class QMainWindow;

namespace screenshots {

// Saves folder/find.png and folder/where-used.png; false when a window or a result
// was not there or a picture could not be written.
bool shootWorldCommands(QMainWindow& window, const QString& folder);

}  // namespace screenshots

// Finding the editor program and starting it in a world's folder.
#pragma once

#include <QString>

namespace launcher {

// The editor beside the launcher's own executable, else the one on PATH; empty if neither.
QString findEditor();

// Starts program on its own, with folder as its working directory, where it opens the
// six data files. On failure error says why.
bool startEditor(const QString& program, const QString& folder, QString& error);

}  // namespace launcher

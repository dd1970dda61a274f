// The program's name, version and web page, as shown in captions and boxes.
#pragma once

#include <QString>

namespace ui {

int versionMajor();
int versionMinor();

// The application title, " v", major, ".", minor: "Tarrow Grimhold Editor v0.4".
QString windowCaption();
// "Version " followed by major, "." and minor.
QString versionText();
// Shown in the box that ends every run.
QString webPageAddress();

}  // namespace ui

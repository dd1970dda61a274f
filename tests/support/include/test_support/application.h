// The one QApplication of a test program, made on first use with the offscreen
// platform unless QT_QPA_PLATFORM says otherwise.
#pragma once

#include <QApplication>

namespace test_support {

QApplication& application();

}  // namespace test_support

#include "test_support/application.h"

#include <cstdlib>

namespace test_support {

QApplication& application() {
    static int argc = 1;
    static char name[] = "grimhold-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);  // lives until the test program ends
    }();
    return *app;
}

}  // namespace test_support

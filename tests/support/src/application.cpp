#include "test_support/application.h"

#include <cstdlib>

// The system font library keeps a cache it never frees; with LeakSanitizer on,
// that is not a leak of ours. Linked into every test that makes the application.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

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

// Fontconfig keeps its font cache for the life of the process; the leak checker of
// sanitizer builds would count it against every test that lays out text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

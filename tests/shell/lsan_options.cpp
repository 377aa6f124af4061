// The options LeakSanitizer takes when the window tests run in a build with sanitizers: leaks
// inside system libraries, listed in lsan.supp, are left out of the report.

extern "C" const char* __lsan_default_options();

extern "C" const char* __lsan_default_options() {
    return "suppressions=" KESTRO_LSAN_SUPPRESSIONS;
}

// Libraries that keep process-lifetime state the leak checker reports at exit, none of it ours to
// free: fontconfig's cache, and the GL driver's context made once by the graphics set-up.
// Everything the layer tests make is freed and still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:HeadlessGlMakeCurrent\n";
}
// The GL driver has no frame pointers: only the slow unwinder reaches the frame named above.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

// Libraries that keep process-lifetime state the leak checker reports at exit, none of it ours to
// free: fontconfig's cache. Everything the layer tests make is freed and still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

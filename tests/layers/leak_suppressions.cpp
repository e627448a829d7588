// fontconfig keeps a small cache for the life of the process that the leak checker reports at
// exit; it is not ours to free. Everything the layer tests make is freed and still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}

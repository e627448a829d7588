// SDL's input-method support opens a D-Bus connection whose library keeps one buffer until the
// process ends; it is not ours to free. Everything the platform makes is still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

// What the leak checker may not count against us: the program's set-up objects, kept for the
// life of the process by design (these tests start the program more than once), and a few bytes
// of the square list's storage that Mesa's software driver keeps after its context is deleted.
// Everything the scene itself makes is freed and still checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:RunSetUp\n"
           "leak:InitGraphics\n"
           "leak:swrast_dri.so\n";
}

// Process entry of the demonstration program.
#include <cstdlib>

#include "shell/main_window.h"

int main() {
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
    std::exit(code);
}

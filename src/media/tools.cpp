#include "media/tools.h"

#include "util/files.h"

HINSTANCE RunAssembler(HWND window) {
    return ShellExecuteA(window, "Open", "Assembler\\Fasm.exe", " code.txt code.com", nullptr,
                         SW_HIDE);
}

HINSTANCE RunDisassembler(HWND window, const char*) {
    char directory[1024];
    GetModuleDirectory(directory);
    return ShellExecuteA(window, "Open", "Assembler\\disasm.exe",
                         "Copy of Velmora.exe > disasm.txt", directory, SW_HIDE);
}

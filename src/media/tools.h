// Launchers of the external assembler and disassembler, expected in a folder named Assembler.
// Both start their tool hidden through ShellExecuteA and return at once with its result: above
// 32 when the tool started, 32 or less when it could not be (2 when the file does not exist).
#pragma once
#include "platform/shellapi.h"

// "Assembler\Fasm.exe" with the arguments code.txt and code.com, in the current directory.
HINSTANCE RunAssembler(HWND window);
// "Assembler\disasm.exe" with the arguments Copy, of, Velmora.exe, > and disasm.txt, run in the
// program's own directory (where the tool is looked for too).
// text is not used: it may be NULL or of any length, and the tool's arguments stay the same.
HINSTANCE RunDisassembler(HWND window, const char* text);

// Starting programs in the platform's manner: ShellExecuteA runs a program file as a separate
// process and returns at once, without waiting for it. Used by the external tool launchers.
#pragma once
#include <string>
#include <vector>

#include "platform/windows.h"

// ShellExecuteA results of 32 or less: the program could not be started.
constexpr int SE_ERR_FNF = 2;              // the file does not exist
constexpr int SE_ERR_PNF = 3;              // the directory does not exist
constexpr int SE_ERR_ACCESSDENIED = 5;     // the file may not be run
constexpr int SE_ERR_OOM = 8;              // no process could be made
constexpr int ERROR_BAD_FORMAT = 11;       // not a program this system can run
constexpr int SE_ERR_NOASSOC = 31;         // a verb other than "open"
constexpr int SHELL_EXECUTE_STARTED = 42;  // the result when the program was started

// Runs file (separators '\' or '/'; a relative name is found from the working directory) with
// the parameters split into arguments as a command line, stdin, stdout and stderr on /dev/null,
// in directory (NULL or empty: the current directory). verb must be "open" in any case or NULL.
// The show command is accepted; started programs never get a window from us. The finished
// process is reaped in the background. Returns SHELL_EXECUTE_STARTED or an error code above.
HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand);

// The arguments of a command line: blanks separate them; double quotes group blanks into one
// and are removed; 2n backslashes before a quote give n backslashes, 2n + 1 give n and a literal
// quote; other backslashes are kept. No redirection or other interpretation.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// ShellExecuteA on posix_spawn: the file actions put the three standard streams on /dev/null,
// close every other inherited descriptor and change to the working directory before the program
// starts, so a relative program name is found from that directory. A detached thread reaps the
// process when it ends, so started tools never linger as zombies.
#include "platform/shellapi.h"

#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <algorithm>
#include <cerrno>
#include <thread>

extern char** environ;

namespace {

std::string PlatformPath(const char* path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

HINSTANCE Result(int code) {
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(code));
}

int ErrorCode(int error) {
    switch (error) {
        case ENOENT:
            return SE_ERR_FNF;
        case ENOTDIR:
            return SE_ERR_PNF;
        case EACCES:
        case EPERM:
        case EISDIR:
            return SE_ERR_ACCESSDENIED;
        case ENOEXEC:
            return ERROR_BAD_FORMAT;
        default:
            return SE_ERR_OOM;
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> arguments;
    if (commandLine == nullptr) return arguments;
    const char* p = commandLine;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (*p == '\0') return arguments;
        std::string argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                size_t slashes = 0;
                while (*p == '\\') ++slashes, ++p;
                if (*p == '"') {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) argument += *p++;
                } else {
                    argument.append(slashes, '\\');
                }
            } else if (*p == '"') {
                quoted = !quoted;
                ++p;
            } else {
                argument += *p++;
            }
        }
        arguments.push_back(std::move(argument));
    }
}

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int) {
    if (verb != nullptr && strcasecmp(verb, "open") != 0) return Result(SE_ERR_NOASSOC);
    if (file == nullptr || *file == '\0') return Result(SE_ERR_FNF);
    const std::string program = PlatformPath(file);
    const bool hasDirectory = directory != nullptr && *directory != '\0';
    const std::string workingDirectory = hasDirectory ? PlatformPath(directory) : std::string();
    if (hasDirectory) {
        struct stat info {};
        if (stat(workingDirectory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return Result(SE_ERR_PNF);
    }

    std::vector<std::string> arguments = SplitCommandLine(parameters);
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return Result(SE_ERR_OOM);
    for (int stream = 0; stream < 3; ++stream)
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                         stream == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (hasDirectory) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return Result(ErrorCode(error));
    try {
        std::thread([child] {
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // Without a reaper the finished tool stays a zombie until we end; it still ran.
    }
    return Result(SHELL_EXECUTE_STARTED);
}

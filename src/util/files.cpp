#include "util/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// Paths reach us with either separator; the system wants '/'.
std::string SystemPath(const char* path) {
    std::string name(path);
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

constexpr mode_t NEW_FILE_MODE = 0666;  // narrowed by the process's umask

}  // namespace

int32_t ReadFileBytes(void* destination, const char* path, uint32_t* bytesRead, uint32_t maxBytes) {
    uint32_t total = 0;
    bool ok = false;
    if (path != nullptr) {
        const std::string name = SystemPath(path);
        int fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, NEW_FILE_MODE);
        // A file we may not write (read-only file or medium) is still read: its data is not lost.
        if (fd < 0) fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ok = true;
            auto* to = static_cast<unsigned char*>(destination);
            while (total < maxBytes) {
                const ssize_t n = read(fd, to + total, maxBytes - total);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) ok = false;
                if (n <= 0) break;
                total += static_cast<uint32_t>(n);
            }
            close(fd);
        }
    }
    if (bytesRead != nullptr) *bytesRead = total;
    return ok ? 1 : 0;
}

int32_t WriteFileBytes(const void* source, const char* path, uint32_t* bytesWritten,
                       uint32_t count) {
    uint32_t total = 0;
    bool closed = false;
    if (path != nullptr) {
        // No O_TRUNC: bytes beyond count keep their old values.
        const int fd =
            open(SystemPath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, NEW_FILE_MODE);
        if (fd >= 0) {
            const auto* from = static_cast<const unsigned char*>(source);
            while (total < count) {
                const ssize_t n = write(fd, from + total, count - total);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                total += static_cast<uint32_t>(n);
            }
            closed = close(fd) == 0;
        }
    }
    if (bytesWritten != nullptr) *bytesWritten = total;
    return (closed && total == count) ? 1 : 0;
}

uint64_t FileByteCount(const char* path) {
    if (path == nullptr) return 0;
    struct stat info;
    if (stat(SystemPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    return static_cast<uint64_t>(info.st_size);
}

int32_t FileExists(const char* path) {
    if (path == nullptr || *path == '\0') return 0;
    const std::string name = SystemPath(path);
    if (name.find_first_of("*?") == std::string::npos) {
        struct stat info;
        return lstat(name.c_str(), &info) == 0 ? 1 : 0;
    }
    // Wildcards match within the last component only, against the directory's real entries
    // ("." and ".." are not entries). Only * and ? are wildcards: '[' is escaped for fnmatch.
    const size_t slash = name.rfind('/');
    const std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    if (last.empty() || directory.find_first_of("*?") != std::string::npos) return 0;
    std::string pattern;
    for (char c : last) {
        if (c == '[') pattern += '\\';
        pattern += c;
    }
    DIR* entries = opendir(directory.c_str());
    if (entries == nullptr) return 0;
    int32_t exists = 0;
    while (const dirent* entry = readdir(entries)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        if (fnmatch(pattern.c_str(), entry->d_name, 0) == 0) {
            exists = 1;
            break;
        }
    }
    closedir(entries);
    return exists;
}

char* DirectoryOfPath(const char* path, char* destination, uint32_t capacity) {
    if (capacity == 0) return destination;
    destination[0] = '\0';
    const char* lastSeparator = nullptr;
    for (const char* c = path; *c != '\0'; ++c)
        if (*c == '/' || *c == '\\') lastSeparator = c;
    if (lastSeparator == nullptr) return destination;
    const size_t length = static_cast<size_t>(lastSeparator - path) + 1;
    if (length >= capacity) return destination;
    std::memcpy(destination, path, length);
    destination[length] = '\0';
    return destination;
}

char* GetModuleDirectory(char* destination) {
    char path[PATH_MAX + 1];
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    path[n > 0 ? n : 0] = '\0';
    return DirectoryOfPath(path, destination, 128);
}

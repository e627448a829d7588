// Process, memory and string services of the kernel side, and the choice of driver.
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/driver.h"
#include "platform/windows.h"

struct PlatformModule {
    int unused;
};

namespace {

PlatformModule programModule{0};
thread_local DWORD lastError = 0;

// The path with `\` separators, as the program expects paths to look.
std::string WithBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace

const PlatformDriver* ActiveDriver() {
    static const PlatformDriver* const chosen = [] {
        const char* name = std::getenv("VELMORA_DRIVER");
        return (name != nullptr && std::strcmp(name, "headless") == 0) ? &HeadlessDriver
                                                                       : &WindowDriver;
    }();
    return chosen;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    return moduleName == nullptr ? &programModule : nullptr;
}

LPSTR GetCommandLineA() {
    static std::string line = [] {
        std::string joined;
        if (FILE* file = std::fopen("/proc/self/cmdline", "rb")) {
            int c;
            while ((c = std::fgetc(file)) != EOF) joined.push_back(c == 0 ? ' ' : char(c));
            std::fclose(file);
        }
        while (!joined.empty() && joined.back() == ' ') joined.pop_back();
        return joined;
    }();
    return line.data();
}

void ExitProcess(UINT exitCode) {
    ActiveDriver()->shutdown();
    std::fflush(nullptr);
    std::exit(static_cast<int>(exitCode));
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if ((module != nullptr && module != &programModule) || fileName == nullptr || size == 0)
        return 0;
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return 0;
    const std::string name = WithBackslashes(std::string(path, size_t(length)));
    const DWORD copied = std::min<DWORD>(static_cast<DWORD>(name.size()), size - 1);
    std::memcpy(fileName, name.data(), copied);
    fileName[copied] = '\0';
    return copied;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    char path[4096];
    if (getcwd(path, sizeof path) == nullptr) return 0;
    const std::string name = WithBackslashes(path);
    if (buffer == nullptr || bufferLength <= name.size())
        return static_cast<DWORD>(name.size() + 1);
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return static_cast<DWORD>(name.size());
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD errorCode) {
    lastError = errorCode;
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    const size_t size = std::max<SIZE_T>(bytes, 1);
    return (flags & GMEM_ZEROINIT) ? std::calloc(1, size) : std::malloc(size);
}
LPVOID GlobalLock(HGLOBAL block) {
    return block;
}
BOOL GlobalUnlock(HGLOBAL) {
    return FALSE;
}  // fixed blocks carry no lock count
HGLOBAL GlobalFree(HGLOBAL block) {
    std::free(block);
    return nullptr;
}
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    return GlobalAlloc(flags, bytes);
}
HLOCAL LocalFree(HLOCAL block) {
    return GlobalFree(block);
}

int lstrlenA(LPCSTR text) {
    return text ? static_cast<int>(std::strlen(text)) : 0;
}
LPSTR lstrcatA(LPSTR destination, LPCSTR source) {
    return (destination && source) ? std::strcat(destination, source) : nullptr;
}
LPSTR lstrcpyA(LPSTR destination, LPCSTR source) {
    return (destination && source) ? std::strcpy(destination, source) : nullptr;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    constexpr size_t LIMIT = 1024;
    if (buffer == nullptr || format == nullptr) return 0;
    std::string out;
    va_list arguments;
    va_start(arguments, format);
    for (const char* p = format; *p != '\0' && out.size() < LIMIT; ++p) {
        if (*p != '%') {
            out.push_back(*p);
            continue;
        }
        ++p;
        bool leftAlign = false, zeroPad = false;
        for (;; ++p) {
            if (*p == '-')
                leftAlign = true;
            else if (*p == '0')
                zeroPad = true;
            else
                break;
        }
        size_t width = 0;
        while (*p >= '0' && *p <= '9')
            width = std::min<size_t>(width * 10 + size_t(*p++ - '0'), LIMIT);
        if (*p == 'l' || *p == 'h') ++p;
        std::string field;
        bool numeric = true;
        switch (*p) {
            case 'd':
            case 'i': {
                const int32_t value = va_arg(arguments, int32_t);
                const uint32_t magnitude =
                    value < 0 ? 0u - static_cast<uint32_t>(value) : uint32_t(value);
                field = std::to_string(magnitude);
                if (value < 0) field.insert(0, 1, '-');
                break;
            }
            case 'u':
                field = std::to_string(va_arg(arguments, uint32_t));
                break;
            case 'x':
            case 'X': {
                char digits[16];
                std::snprintf(digits, sizeof digits, *p == 'x' ? "%x" : "%X",
                              va_arg(arguments, uint32_t));
                field = digits;
                break;
            }
            case 'c':
                field.assign(1, static_cast<char>(va_arg(arguments, int)));
                numeric = false;
                break;
            case 's': {
                const char* text = va_arg(arguments, const char*);
                field = text ? text : "(null)";
                numeric = false;
                break;
            }
            case '%':
                field = "%";
                numeric = false;
                break;
            case '\0':
                --p;  // a lone '%' at the end
                continue;
            default:
                field.assign(1, *p);
                numeric = false;
                break;
        }
        if (field.size() < width) {
            const size_t pad = width - field.size();
            if (leftAlign)
                field.append(pad, ' ');
            else if (zeroPad && numeric)
                field.insert(field[0] == '-' ? 1 : 0, pad, '0');
            else
                field.insert(0, pad, ' ');
        }
        out += field;
    }
    va_end(arguments);
    if (out.size() > LIMIT) out.resize(LIMIT);
    std::memcpy(buffer, out.c_str(), out.size() + 1);
    return static_cast<int>(out.size());
}

LPSTR CharUpperA(LPSTR text) {
    if (text == nullptr) return nullptr;
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p != 0; ++p) {
        const unsigned char c = *p;
        if (c >= 'a' && c <= 'z')
            *p = static_cast<unsigned char>(c - 32);
        else if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
            *p = static_cast<unsigned char>(c - 32);
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            *p = static_cast<unsigned char>(c - 16);  // š œ ž
        else if (c == 0xFF)
            *p = 0x9F;  // ÿ
    }
    return text;
}

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const int64_t product = int64_t{value} * numerator;
    const int64_t half = (denominator < 0 ? -int64_t{denominator} : int64_t{denominator}) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const int64_t magnitude = (product < 0 ? -product : product) + half;
    int64_t result = magnitude / (denominator < 0 ? -int64_t{denominator} : int64_t{denominator});
    if (negative) result = -result;
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<int>(result);
}

// For fuzz targets of file readers: writes the input to this process's temporary file (removed
// at exit) and returns its path.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline const char* WriteInputFile(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string name = std::string(tmp != nullptr ? tmp : "/tmp") + "/velmora-fuzz-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { std::remove(path.c_str()); });
        return name;
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path.c_str();
}

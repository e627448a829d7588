// Fuzz target of the wave reader: the input is the file. It is written to a temporary file and
// opened on a "waveaudio" device, which decodes and converts it; an open that succeeds is closed.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/mmsystem.h"

namespace {

const std::string& InputPath() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string name = std::string(tmp != nullptr ? tmp : "/tmp") + "/velmora-wave-fuzz-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { std::remove(InputPath().c_str()); });
        return name;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = InputPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    MCI_OPEN_PARMSA open{0, 0, "waveaudio", path.c_str(), nullptr};
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                        reinterpret_cast<DWORD_PTR>(&open)) == 0 &&
        mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0) != 0)
        std::abort();  // a device just opened must close
    return 0;
}

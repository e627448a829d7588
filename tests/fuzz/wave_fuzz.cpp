// Fuzz target of the wave reader: the input is the file. It is written to a temporary file and
// opened on a "waveaudio" device, which decodes and converts it; an open that succeeds is closed.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "input_file.h"
#include "platform/mmsystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteInputFile(data, size);

    MCI_OPEN_PARMSA open{0, 0, "waveaudio", path.c_str(), nullptr};
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                        reinterpret_cast<DWORD_PTR>(&open)) == 0 &&
        mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0) != 0)
        std::abort();  // a device just opened must close
    return 0;
}

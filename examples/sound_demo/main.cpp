// Sound demonstration: plays "xxxx.wav" on a sound thread, then on a wave device whose end is
// reported to a window, and launches a stand-in assembler, printing what happens at each step.
// Runs from any directory: without "xxxx.wav" in the current directory it moves to the assets
// folder. Without a display it uses the headless window driver.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "media/sound.h"
#include "media/tools.h"
#include "platform/audio_controls.h"
#include "platform/headless.h"
#include "platform/threads.h"
#include "shell/dispatch.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point demoStart = Clock::now();
Clock::time_point playStart;
bool notified = false;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Length of a PCM wave file in milliseconds from its fmt and data chunks; 0 when unreadable.
uint32_t WaveLengthMs(const char* path) {
    std::ifstream file(path, std::ios::binary);
    char riff[12];
    if (!file.read(riff, 12) || std::string(riff, 4) != "RIFF") return 0;
    uint32_t bytesPerSecond = 0;
    char header[8];
    while (file.read(header, 8)) {
        const std::string id(header, 4);
        uint32_t size = 0;
        for (int i = 3; i >= 0; --i) size = size << 8 | uint8_t(header[4 + i]);
        if (id == "fmt ") {
            char format[16];
            if (size < 16 || !file.read(format, 16)) return 0;
            for (int i = 11; i >= 8; --i) bytesPerSecond = bytesPerSecond << 8 | uint8_t(format[i]);
            file.seekg(size - 16 + (size & 1), std::ios::cur);
        } else if (id == "data") {
            return bytesPerSecond ? uint32_t(uint64_t(size) * 1000 / bytesPerSecond) : 0;
        } else {
            file.seekg(size + (size & 1), std::ios::cur);
        }
    }
    return 0;
}

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_MCINOTIFY) {
        std::printf(
            "  MM_MCINOTIFY after %lld ms: code %u, device %ld; the dispatcher closes "
            "device %u\n",
            MsSince(playStart), unsigned(wParam), long(lParam), unsigned(WaveDeviceId));
        PreDispatchMessage(window, message, wParam, lParam);
        std::printf("  wave devices open now: %u\n", MciOpenDeviceCount());
        notified = true;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Keeps the message loop alive and bounded; under the headless driver, whose clock jumps from
// tick to tick, it also paces the loop to real time while the sound plays.
void CALLBACK DemoTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (HeadlessActive()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (MsSince(playStart) > 10000) {
        std::printf("  no notification within 10 s: giving up\n");
        PostQuitMessage(0);
    }
}

void PlayOnThread() {
    std::printf("1. StartSoundThread: plays xxxx.wav on a thread of its own\n");
    const auto start = Clock::now();
    StartSoundThread();
    while (RunningThreadCount() > 0 && MsSince(start) < 10000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const AudioStats stats = GetAudioStats();
    std::printf(
        "  returned at once; the thread ended after %lld ms (output: %s, first samples "
        "mixed %u us after the call)\n",
        MsSince(start), AudioOutputName().c_str(), stats.lastStartLatencyUs);
}

void PlayOnDevice() {
    std::printf("2. PlayWaveFile: plays xxxx.wav on a wave device, the window is notified\n");
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.lpszClassName = "VelmoraSoundDemo";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "VelmoraSoundDemo", "Sound demo", WS_OVERLAPPEDWINDOW, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        std::printf("  no window could be made: skipped\n");
        return;
    }
    const uint32_t length = WaveLengthMs("xxxx.wav");
    playStart = Clock::now();
    const int32_t result = PlayWaveFile(window, "xxxx.wav", 0, length);
    std::printf("  PlayWaveFile(0 .. %u ms) = %d after %lld ms; device %u, devices open: %u\n",
                length, result, MsSince(playStart), unsigned(WaveDeviceId), MciOpenDeviceCount());
    if (result == 0) {
        SetTimer(window, 1, 20, DemoTimerProc);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        if (!notified) std::printf("  the window was not notified\n");
    }
    std::printf("  PlayWaveFile(\"missing.wav\") = %d, devices open: %u\n",
                PlayWaveFile(window, "missing.wav", 0, 100), MciOpenDeviceCount());
    DestroyWindow(window);
}

void LaunchTools(const std::string& home) {
    std::printf("3. RunAssembler with a stand-in Assembler\\Fasm.exe in a temporary folder\n");
    char folder[] = "/tmp/velmora-demo-XXXXXX";
    if (mkdtemp(folder) == nullptr) return;
    const std::string base = folder;
    const std::string record = base + "/record.txt";
    std::system(("mkdir -p " + base + "/Assembler").c_str());
    {
        std::ofstream tool(base + "/Assembler/Fasm.exe");
        tool << "#!/bin/sh\n{ echo \"directory: $(pwd)\"; for a in \"$@\"; do echo \"argument: "
                "[$a]\"; done; } > "
             << record << "\n";
    }
    std::system(("chmod +x " + base + "/Assembler/Fasm.exe").c_str());
    if (chdir(base.c_str()) != 0) return;
    const auto result = reinterpret_cast<intptr_t>(RunAssembler(nullptr));
    std::printf("  RunAssembler = %ld (above 32: started)\n", long(result));
    for (int i = 0; i < 300 && access(record.c_str(), R_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream recorded(record);
    std::stringstream lines;
    lines << recorded.rdbuf();
    std::printf("  the tool recorded:\n%s", lines.str().c_str());
    std::system(("rm -rf " + base).c_str());
    if (chdir("/") == 0)
        std::printf("  from a folder without Assembler: RunAssembler = %ld\n",
                    long(reinterpret_cast<intptr_t>(RunAssembler(nullptr))));
    std::printf("  RunDisassembler = %ld (looks in the program's own folder)\n",
                long(reinterpret_cast<intptr_t>(RunDisassembler(nullptr, "demo"))));
    if (chdir(home.c_str()) != 0) return;
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each step shows as it happens
    if (std::getenv("DISPLAY") == nullptr && std::getenv("VELMORA_DRIVER") == nullptr)
        setenv("VELMORA_DRIVER", "headless", 1);
    if (access("xxxx.wav", R_OK) != 0 && chdir(VELMORA_ASSET_DIR) == 0)
        std::printf("xxxx.wav is not here: playing from %s\n", VELMORA_ASSET_DIR);
    char home[1024];
    if (getcwd(home, sizeof home) == nullptr) return 0;

    PlayOnThread();
    PlayOnDevice();
    LaunchTools(home);
    std::printf("done after %lld ms\n", MsSince(demoStart));
    return 0;
}

// Test fixture of the sound tests: a private temporary folder, wave files written to order, the
// platform's sound output sent to a file there (SDL's disk driver, real-time pace), a headless
// window that records the MM_MCINOTIFY it receives and passes them to the dispatcher.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_controls.h"
#include "platform/core.h"
#include "platform/headless.h"
#include "platform/mmsystem.h"
#include "shell/dispatch.h"

// The platform chooses its driver at the first call: make it the headless one before any test.
inline const bool headlessChosen = (setenv("VELMORA_DRIVER", "headless", 1), true);

struct WaveFormat {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;  // 8 (unsigned) or 16 (signed)
};

// A canonical PCM wave file: the header, then the samples as given (interleaved; 8-bit samples
// are stored as their low byte).
inline std::string WaveBytes(WaveFormat format, const std::vector<int32_t>& samples) {
    const uint32_t sampleBytes = format.bits / 8u;
    const uint32_t dataBytes = uint32_t(samples.size()) * sampleBytes;
    std::string out;
    auto word = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
    };
    out += "RIFF";
    word(36 + dataBytes, 4);
    out += "WAVEfmt ";
    word(16, 4);
    word(1, 2);  // PCM
    word(format.channels, 2);
    word(format.rate, 4);
    word(format.rate * format.channels * sampleBytes, 4);
    word(format.channels * sampleBytes, 2);
    word(format.bits, 2);
    out += "data";
    word(dataBytes, 4);
    for (int32_t s : samples) word(uint32_t(s), int(sampleBytes));
    return out;
}

// Stereo samples in the output format: a ramp that never repeats within 32768 frames, so any
// stretch of it is found in the output at exactly one place.
inline std::vector<int32_t> RampSamples(uint32_t frames) {
    std::vector<int32_t> samples;
    for (uint32_t i = 0; i < frames; ++i) {
        samples.push_back(int32_t(1000 + (i % 30000)));
        samples.push_back(-int32_t(1000 + (i % 30000)));
    }
    return samples;
}

using Clock = std::chrono::steady_clock;

inline long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct Notification {
    WPARAM code;
    LPARAM device;
};

class SoundTest : public ::testing::Test {
  protected:
    std::filesystem::path folder;
    std::string outputFile;
    HWND window = nullptr;
    static inline std::vector<Notification> received;
    static inline bool dispatch = true;  // pass MM_MCINOTIFY on to the dispatcher

    void SetUp() override {
        char name[] = "/tmp/velmora-sound-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        outputFile = (folder / "output.raw").string();
        AudioResetForTest();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", outputFile.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");  // the disk output keeps real time
        received.clear();
        dispatch = true;
    }

    void TearDown() override {
        AudioResetForTest();
        PlatformResetForTest();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == MM_MCINOTIFY) {
            received.push_back(Notification{wParam, lParam});
            if (dispatch) PreDispatchMessage(window, message, wParam, lParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND MakeWindow() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "SoundTestWindow";
        RegisterClassExA(&windowClass);
        window = CreateWindowExA(0, "SoundTestWindow", "sound", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
        return window;
    }

    // Delivers the window's messages as they arrive until done() holds; false after timeoutMs.
    static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
        const auto start = Clock::now();
        for (;;) {
            while (MessageWaiting()) {
                MSG message;
                if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
                DispatchMessageA(&message);
            }
            if (done()) return true;
            if (MsSince(start) > timeoutMs) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Closes the output, which completes its file, and returns what was played.
    std::vector<int16_t> StopAndReadOutput() {
        AudioResetForTest();
        std::ifstream file(outputFile, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
};

// Index of the frame where expected begins in output, or -1.
inline long FindFrames(const std::vector<int16_t>& output, const std::vector<int16_t>& expected) {
    auto at = output.begin();
    for (;;) {
        at = std::search(at, output.end(), expected.begin(), expected.end());
        if (at == output.end()) return -1;
        const long index = long(at - output.begin());
        if (index % 2 == 0) return index / 2;
        ++at;
    }
}

inline std::vector<int16_t> ToInt16(const std::vector<int32_t>& samples) {
    return std::vector<int16_t>(samples.begin(), samples.end());
}

// Sound path measurements, printed, never judged: the delay from PlayWaveFile to the first samples
// leaving the mixer, and the CPU the process spends while a sound plays against while it idles
// with the output open. Runs on the output SDL picks (the dummy one without a sound card), or on
// the one named by SDL_AUDIODRIVER; the window is the headless one.
//   bench_sound [plays]
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "media/sound.h"
#include "platform/audio_controls.h"
#include "platform/core.h"
#include "shell/dispatch.h"

namespace {

using Clock = std::chrono::steady_clock;
bool notified = false;

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_MCINOTIFY) {
        PreDispatchMessage(window, message, wParam, lParam);
        notified = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void WaitForNotification() {
    const auto start = Clock::now();
    while (!notified && Clock::now() - start < std::chrono::seconds(10)) {
        while (MessageWaiting()) {
            MSG message;
            if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
            DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A wave file of seconds of a quiet tone, 22050 Hz mono 16-bit: converted on opening as the
// program's own sound is.
std::string WriteTone(const char* path, uint32_t milliseconds) {
    const uint32_t rate = 22050, frames = rate * milliseconds / 1000;
    std::string out = "RIFF";
    auto word = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
    };
    word(36 + frames * 2, 4);
    out += "WAVEfmt ";
    word(16, 4), word(1, 2), word(1, 2), word(rate, 4), word(rate * 2, 4), word(2, 2), word(16, 2);
    out += "data";
    word(frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) word(uint32_t(int32_t((i % 50) * 200 - 5000)), 2);
    std::ofstream(path, std::ios::binary) << out;
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("VELMORA_DRIVER", "headless", 1);
    const int plays = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string shortSound = WriteTone("/tmp/velmora-bench-short.wav", 50);
    const std::string longSound = WriteTone("/tmp/velmora-bench-long.wav", 3000);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = BenchProc;
    windowClass.lpszClassName = "SoundBench";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "SoundBench", "bench", 0, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);

    // The first play opens the output; it is measured apart from the others.
    std::vector<double> latencies;
    double firstLatency = 0, openMs = 0;
    for (int i = 0; i <= plays; ++i) {
        notified = false;
        const auto start = Clock::now();
        if (PlayWaveFile(window, shortSound.c_str(), 0, 50) != 0) {
            std::printf("PlayWaveFile failed\n");
            return 1;
        }
        const double callMs =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        WaitForNotification();
        const double latencyMs = GetAudioStats().lastStartLatencyUs / 1000.0;
        if (i == 0) {
            firstLatency = latencyMs;
            openMs = callMs;
        } else {
            latencies.push_back(latencyMs);
        }
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("output: %s, %u Hz stereo 16-bit, 512-frame mixer rounds\n",
                AudioOutputName().c_str(), AUDIO_OUTPUT_RATE);
    std::printf(
        "first PlayWaveFile (opens the output): call %.1f ms, first samples mixed %.1f ms "
        "after the call\n",
        openMs, firstLatency);
    std::printf(
        "PlayWaveFile to first samples mixed, %d plays: min %.2f ms, median %.2f ms, "
        "max %.2f ms\n",
        plays, latencies.front(), latencies[latencies.size() / 2], latencies.back());

    // CPU while idle (output open, nothing playing) and while a 3 s sound plays.
    const auto measure = [](auto&& during) {
        const double cpu = CpuSeconds();
        const auto start = Clock::now();
        during();
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        return 100.0 * (CpuSeconds() - cpu) / wall;
    };
    const double idle = measure([] { std::this_thread::sleep_for(std::chrono::seconds(2)); });
    const uint64_t mixerBefore = GetAudioStats().mixerNanoseconds;
    notified = false;
    const auto playStart = Clock::now();
    const double playing = measure([&] {
        PlayWaveFile(window, longSound.c_str(), 0, 3000);
        WaitForNotification();
    });
    const double playWall = std::chrono::duration<double>(Clock::now() - playStart).count();
    const double mixerShare =
        100.0 * double(GetAudioStats().mixerNanoseconds - mixerBefore) * 1e-9 / playWall;
    std::printf(
        "process CPU of one core: idle with the output open %.2f %%, playing %.2f %% "
        "(of which mixing %.3f %%)\n",
        idle, playing, mixerShare);
    unlink(shortSound.c_str());
    unlink(longSound.c_str());
    return 0;
}

// The program's sound: the sound thread on "xxxx.wav", the wave device player and the
// dispatcher's close on MM_MCINOTIFY, on the headless window with the output in a file.
#include "media/sound.h"

#include "sound_fixture.h"

namespace {

class WaveSound : public SoundTest {
  protected:
    std::filesystem::path previousDirectory;

    void SetUp() override {
        SoundTest::SetUp();
        WaveDeviceId = 0;
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(folder);  // "xxxx.wav" is looked for here
    }
    void TearDown() override {
        std::filesystem::current_path(previousDirectory);
        SoundTest::TearDown();
    }

    static bool ThreadsEnded(uint32_t baseline) {
        return PumpUntil([&] { return RunningThreadCount() == baseline; });
    }
};

TEST_F(WaveSound, SoundThreadProcPlaysTheFixedFile) {
    const std::vector<int32_t> ramp = RampSamples(AUDIO_OUTPUT_RATE / 10);
    Write("xxxx.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, ramp));
    EXPECT_EQ(SoundThreadProc(nullptr), 1u);
    EXPECT_GE(FindFrames(StopAndReadOutput(), ToInt16(ramp)), 0);
    // Without the file the default sound plays and the result says the file did not.
    std::filesystem::remove(folder / "xxxx.wav");
    EXPECT_EQ(SoundThreadProc(nullptr), 0u);
    EXPECT_GE(FindFrames(StopAndReadOutput(), DefaultSoundSamples()), 0);
}

// Two sound threads started one after the other play at the same time, each to its end.
TEST_F(WaveSound, TwoSoundThreadsPlayIndependently) {
    Write("xxxx.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(AUDIO_OUTPUT_RATE / 3)));
    const uint32_t baseline = RunningThreadCount();
    const auto start = Clock::now();
    StartSoundThread();
    StartSoundThread();
    EXPECT_LT(MsSince(start), 100);  // neither call waits for its sound
    ASSERT_TRUE(ThreadsEnded(baseline));
    const AudioStats stats = GetAudioStats();
    EXPECT_EQ(stats.voicesStarted, 2u);
    EXPECT_EQ(stats.voicesFinished, 2u);
    EXPECT_EQ(stats.peakVoices, 2u);
    EXPECT_LT(MsSince(start), 2 * 333);  // together, not one after the other
}

TEST_F(WaveSound, MissingFileFailsAndLeavesNoDeviceOpen) {
    ASSERT_NE(MakeWindow(), nullptr);
    EXPECT_EQ(PlayWaveFile(window, "missing.wav", 0, 100), -1);
    EXPECT_EQ(MciOpenDeviceCount(), 0u);
    EXPECT_EQ(PlayWaveFile(window, "", 0, 100), -1);
    EXPECT_EQ(MciOpenDeviceCount(), 0u);
}

// A play that cannot start (positions past the end) must not leave its device open either: no
// notification would ever come to close it.
TEST_F(WaveSound, FailedPlayClosesItsDevice) {
    ASSERT_NE(MakeWindow(), nullptr);
    Write("short.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(AUDIO_OUTPUT_RATE / 10)));
    EXPECT_EQ(PlayWaveFile(window, "short.wav", 0, 5000), -1);
    EXPECT_EQ(MciOpenDeviceCount(), 0u);
    EXPECT_NE(WaveDeviceId, 0u);  // the open did take place
}

TEST_F(WaveSound, PlayReturnsAtOnceAndTheNotificationClosesTheDevice) {
    ASSERT_NE(MakeWindow(), nullptr);
    const std::vector<int32_t> ramp = RampSamples(AUDIO_OUTPUT_RATE * 3 / 10);  // 300 ms
    Write("sound.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, ramp));
    const auto start = Clock::now();
    ASSERT_EQ(PlayWaveFile(window, "sound.wav", 0, 300), 0);
    EXPECT_LT(MsSince(start), 150);
    EXPECT_EQ(MciOpenDeviceCount(), 1u);
    EXPECT_NE(WaveDeviceId, 0u);
    EXPECT_EQ(WavePlayParms.dwCallback, DWORD_PTR(window));

    ASSERT_TRUE(PumpUntil([] { return !received.empty(); }));
    EXPECT_GE(MsSince(start), 200);
    EXPECT_EQ(received[0].code, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(received[0].device, LPARAM(WaveDeviceId));
    EXPECT_EQ(MciOpenDeviceCount(), 0u);  // closed by the dispatcher
    EXPECT_GE(FindFrames(StopAndReadOutput(), ToInt16(ramp)), 0);
}

// With nothing open the dispatcher's close is refused and nothing else happens: a device that
// was opened some other way stays open and silent.
TEST_F(WaveSound, NotificationWithNoDeviceOpenChangesNothing) {
    ASSERT_NE(MakeWindow(), nullptr);
    const std::string path =
        Write("sound.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(1000)));
    MCI_OPEN_PARMSA other{0, 0, "waveaudio", path.c_str(), nullptr};
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&other)),
              0u);
    ASSERT_EQ(WaveDeviceId, 0u);
    PostMessageA(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, LPARAM(other.wDeviceID));
    ASSERT_TRUE(PumpUntil([] { return !received.empty(); }));
    EXPECT_EQ(MciOpenDeviceCount(), 1u);
    EXPECT_EQ(WaveDeviceId, 0u);
    EXPECT_EQ(GetAudioStats().voicesStarted, 0u);
    EXPECT_EQ(mciSendCommandA(other.wDeviceID, MCI_CLOSE, 0, 0), 0u);
}

// A close while the device plays, a thread still playing, and the process ending in the middle:
// the process ends normally with exit code 0.
TEST_F(WaveSound, ProcessEndsCleanlyWhileSoundsPlay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Write("xxxx.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(AUDIO_OUTPUT_RATE)));
    EXPECT_EXIT(
        {
            HWND w = MakeWindow();
            StartSoundThread();
            if (PlayWaveFile(w, "xxxx.wav", 0, 1000) != 0) std::exit(3);
            const MCIDEVICEID playing = WaveDeviceId;
            if (PlayWaveFile(w, "xxxx.wav", 0, 1000) != 0) std::exit(4);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (mciSendCommandA(playing, MCI_CLOSE, 0, 0) != 0) std::exit(5);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace

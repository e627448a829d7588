// The platform's sound service as the sound code relies on it: what reaches the output, format
// conversion, the default sound, the MCI wave device's errors, positions and notifications.
#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>

#include "sound_fixture.h"

namespace {

using WaveOutput = SoundTest;

TEST_F(WaveOutput, PlaySoundReturnsAfterTheSoundWithItsSamplesInTheOutput) {
    const std::vector<int32_t> ramp = RampSamples(AUDIO_OUTPUT_RATE / 5);  // 200 ms
    const std::string path = Write("ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, ramp));
    const auto start = Clock::now();
    EXPECT_EQ(PlaySoundA(path.c_str(), nullptr, SND_FILENAME), TRUE);
    EXPECT_GE(MsSince(start), 150);  // synchronous: the sound has been mixed out
    const AudioStats stats = GetAudioStats();
    EXPECT_EQ(stats.voicesFinished, 1u);
    EXPECT_EQ(AudioOutputName(), "disk");
    EXPECT_GE(FindFrames(StopAndReadOutput(), ToInt16(ramp)), 0);
}

TEST_F(WaveOutput, BackslashSeparatorsReachTheFile) {
    const std::vector<int32_t> ramp = RampSamples(2000);
    std::filesystem::create_directory(folder / "sub");
    Write("sub/ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, ramp));
    const std::string windowsPath = folder.string() + "\\sub\\ramp.wav";
    EXPECT_EQ(PlaySoundA(windowsPath.c_str(), nullptr, SND_FILENAME), TRUE);
    EXPECT_GE(FindFrames(StopAndReadOutput(), ToInt16(ramp)), 0);
}

// Other formats are converted to the output's on opening: a constant level per channel must
// come out at the same level, in the same channel, for the same time.
TEST_F(WaveOutput, OtherFormatsArePlayedConverted) {
    struct Case {
        const char* why;
        WaveFormat format;
        int32_t left, right;              // stored sample values
        int32_t expectLeft, expectRight;  // in the output
    };
    const Case cases[] = {
        {"8-bit unsigned, 11025 Hz, stereo", {2, 11025, 8}, 192, 64, 16384, -16384},
        {"16-bit, 22050 Hz, mono (both sides)", {1, 22050, 16}, -12000, 0, -12000, -12000},
        {"16-bit, 48000 Hz, stereo", {2, 48000, 16}, 8000, -3000, 8000, -3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        AudioResetForTest();
        const uint32_t frames = c.format.rate / 5;  // 200 ms
        std::vector<int32_t> samples;
        for (uint32_t i = 0; i < frames; ++i) {
            samples.push_back(c.left);
            if (c.format.channels == 2) samples.push_back(c.right);
        }
        const std::string path = Write("level.wav", WaveBytes(c.format, samples));
        ASSERT_EQ(PlaySoundA(path.c_str(), nullptr, SND_FILENAME), TRUE);
        const std::vector<int16_t> output = StopAndReadOutput();
        // The frames near the expected level, and how many there are.
        uint32_t matching = 0;
        for (size_t f = 0; f + 1 < output.size(); f += 2)
            if (std::abs(output[f] - c.expectLeft) <= 300 &&
                std::abs(output[f + 1] - c.expectRight) <= 300)
                ++matching;
        const uint32_t expected = AUDIO_OUTPUT_RATE / 5;
        EXPECT_GT(matching, expected * 95 / 100);
        EXPECT_LT(matching, expected * 105 / 100);
    }
}

TEST_F(WaveOutput, UnplayableFilePlaysTheDefaultSoundAndFails) {
    const auto start = Clock::now();
    EXPECT_EQ(PlaySoundA((folder / "missing.wav").c_str(), nullptr, SND_FILENAME), FALSE);
    EXPECT_GE(MsSince(start), 100);  // the default sound was played out
    const std::vector<int16_t> chime = DefaultSoundSamples();
    ASSERT_FALSE(chime.empty());
    EXPECT_GE(FindFrames(StopAndReadOutput(), chime), 0);

    // With SND_NODEFAULT nothing at all is played.
    EXPECT_EQ(PlaySoundA((folder / "missing.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT),
              FALSE);
    EXPECT_EQ(GetAudioStats().voicesStarted, 0u);
}

TEST_F(WaveOutput, UnsupportedPlaySoundCallsFailWithoutSound) {
    const std::string path =
        Write("ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(100)));
    EXPECT_EQ(PlaySoundA(nullptr, nullptr, SND_FILENAME), FALSE);
    EXPECT_EQ(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC), FALSE);
    EXPECT_EQ(PlaySoundA(path.c_str(), nullptr, SND_ALIAS), FALSE);
    EXPECT_EQ(GetAudioStats().voicesStarted, 0u);
}

// Without a usable sound card the output falls back to SDL's dummy driver, which keeps time.
TEST_F(WaveOutput, FallsBackToTheDummyOutputWhenNoDeviceOpens) {
    setenv("SDL_DISKAUDIOFILE", (folder / "no-such-folder" / "out.raw").c_str(), 1);
    const std::string path =
        Write("ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(4410)));
    const auto start = Clock::now();
    EXPECT_EQ(PlaySoundA(path.c_str(), nullptr, SND_FILENAME), TRUE);
    EXPECT_GE(MsSince(start), 60);
    EXPECT_EQ(AudioOutputName(), "dummy");
}

// Broken or hostile files: each one fails to open with the error that says why, opens no
// device, and PlaySoundA neither crashes nor hangs on it.
TEST_F(WaveOutput, BadFilesFailToOpen) {
    const std::string good = WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(1000));
    std::string zeroChannels = good;
    zeroChannels[22] = 0;
    std::string oddData = WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(10));
    oddData[40] = char(oddData[40] - 1);  // data size not a whole frame
    std::filesystem::create_directory(folder / "folder.wav");
    // A file over the size limit, sparse so it costs no disk: the header promises it all.
    const std::string huge = (folder / "huge.wav").string();
    {
        std::string header = WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, {});
        const uint32_t dataBytes = 200u << 20;
        for (int i = 0; i < 4; ++i) header[40 + i] = char((dataBytes >> (8 * i)) & 0xFF);
        std::ofstream(huge, std::ios::binary) << header;
        std::filesystem::resize_file(huge, 44 + uintmax_t(dataBytes));
    }
    struct Case {
        const char* why;
        std::string path;
        MCIERROR error;
    };
    const Case cases[] = {
        {"missing", (folder / "missing.wav").string(), MCIERR_FILE_NOT_FOUND},
        {"empty", Write("empty.wav", ""), MCIERR_INVALID_FILE},
        {"text", Write("text.wav", "This is not a sound at all, only words.\r\n"),
         MCIERR_INVALID_FILE},
        {"header only, cut inside fmt", Write("cut.wav", good.substr(0, 30)), MCIERR_INVALID_FILE},
        {"data chunk cut short", Write("short.wav", good.substr(0, good.size() - 1000)),
         MCIERR_INVALID_FILE},
        {"zero channels", Write("zero.wav", zeroChannels), MCIERR_INVALID_FILE},
        {"data not whole frames", Write("odd.wav", oddData), MCIERR_INVALID_FILE},
        {"a folder", (folder / "folder.wav").string(), MCIERR_INVALID_FILE},
        {"over the size limit", huge, MCIERR_OUT_OF_MEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        MCI_OPEN_PARMSA open{0, 0, "waveaudio", c.path.c_str(), nullptr};
        EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open)),
                  c.error);
        EXPECT_EQ(open.wDeviceID, 0u);
        EXPECT_EQ(PlaySoundA(c.path.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT), FALSE);
    }
    EXPECT_EQ(MciOpenDeviceCount(), 0u);
    EXPECT_EQ(GetAudioStats().voicesStarted, 0u);
}

TEST_F(WaveOutput, AWaveWithNoSamplesPlaysAsAnInstantEnd) {
    const std::string path = Write("none.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, {}));
    EXPECT_EQ(PlaySoundA(path.c_str(), nullptr, SND_FILENAME), TRUE);
    MakeWindow();
    dispatch = false;
    MCI_OPEN_PARMSA open{0, 0, "waveaudio", path.c_str(), nullptr};
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open)), 0u);
    MCI_PLAY_PARMS play{DWORD_PTR(window), 0, 0};
    EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_PLAY, MCI_NOTIFY, DWORD_PTR(&play)), 0u);
    ASSERT_TRUE(PumpUntil([] { return !received.empty(); }));
    EXPECT_EQ(received[0].code, MCI_NOTIFY_SUCCESSFUL);
}

TEST_F(WaveOutput, CommandErrors) {
    const std::string path =
        Write("ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(4410)));
    MCI_OPEN_PARMSA open{0, 0, "waveaudio", path.c_str(), nullptr};
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open)), 0u);
    const MCIDEVICEID id = open.wDeviceID;
    EXPECT_NE(id, 0u);
    MCI_OPEN_PARMSA sequencer{0, 0, "sequencer", path.c_str(), nullptr};
    MCI_PLAY_PARMS play100{0, 0, 100};  // the sound is 100 ms long
    MCI_PLAY_PARMS past{0, 0, 101};
    MCI_PLAY_PARMS backwards{0, 60, 40};
    MCI_PLAY_PARMS fromPast{0, 200, 0};
    struct Case {
        const char* why;
        MCIDEVICEID device;
        UINT command;
        DWORD_PTR flags;
        const void* block;
        MCIERROR error;
    };
    const Case cases[] = {
        {"open: another device type", 0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, &sequencer,
         MCIERR_INVALID_DEVICE_NAME},
        {"open: no type", 0, MCI_OPEN, MCI_OPEN_ELEMENT, &open, MCIERR_DEVICE_TYPE_REQUIRED},
        {"open: no element", 0, MCI_OPEN, MCI_OPEN_TYPE, &open, MCIERR_MISSING_PARAMETER},
        {"open: no block", 0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, nullptr,
         MCIERR_NULL_PARAMETER_BLOCK},
        {"open: alias", 0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS, &open,
         MCIERR_UNSUPPORTED_FUNCTION},
        {"play: never opened", id + 100, MCI_PLAY, 0, nullptr, MCIERR_INVALID_DEVICE_ID},
        {"play: device 0", 0, MCI_PLAY, 0, nullptr, MCIERR_INVALID_DEVICE_ID},
        {"play: notify without block", id, MCI_PLAY, MCI_NOTIFY, nullptr,
         MCIERR_NULL_PARAMETER_BLOCK},
        {"play: to past the end", id, MCI_PLAY, MCI_FROM | MCI_TO, &past, MCIERR_OUTOFRANGE},
        {"play: from past the end", id, MCI_PLAY, MCI_FROM, &fromPast, MCIERR_OUTOFRANGE},
        {"play: from after to", id, MCI_PLAY, MCI_FROM | MCI_TO, &backwards, MCIERR_OUTOFRANGE},
        {"play: to the exact end", id, MCI_PLAY, MCI_FROM | MCI_TO | MCI_WAIT, &play100, 0},
        {"close: never opened", id + 100, MCI_CLOSE, 0, nullptr, MCIERR_INVALID_DEVICE_ID},
        {"another command", id, 0x0808, 0, nullptr, MCIERR_UNRECOGNIZED_COMMAND},
        {"close", id, MCI_CLOSE, 0, nullptr, 0},
        {"close again", id, MCI_CLOSE, 0, nullptr, MCIERR_INVALID_DEVICE_ID},
        {"play once closed", id, MCI_PLAY, 0, nullptr, MCIERR_INVALID_DEVICE_ID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(mciSendCommandA(c.device, c.command, c.flags, DWORD_PTR(c.block)), c.error);
    }
    EXPECT_EQ(MciOpenDeviceCount(), 0u);
    // Every open gets an id of its own.
    MCI_OPEN_PARMSA second{0, 0, "WaveAudio", path.c_str(), nullptr};
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&second)),
              0u);
    EXPECT_NE(second.wDeviceID, id);
}

// Positions are milliseconds: a play from 100 to 200 ms puts out exactly those frames.
TEST_F(WaveOutput, PlayFromToPutsOutThatStretch) {
    const std::vector<int32_t> ramp = RampSamples(AUDIO_OUTPUT_RATE * 3 / 10);  // 300 ms
    const std::string path = Write("ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, ramp));
    MCI_OPEN_PARMSA open{0, 0, "waveaudio", path.c_str(), nullptr};
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open)), 0u);
    MCI_PLAY_PARMS play{0, 100, 200};
    ASSERT_EQ(
        mciSendCommandA(open.wDeviceID, MCI_PLAY, MCI_FROM | MCI_TO | MCI_WAIT, DWORD_PTR(&play)),
        0u);
    const std::vector<int16_t> output = StopAndReadOutput();
    const size_t first = AUDIO_OUTPUT_RATE / 10 * 2, last = AUDIO_OUTPUT_RATE / 5 * 2;
    const std::vector<int16_t> stretch(ramp.begin() + long(first), ramp.begin() + long(last));
    const long at = FindFrames(output, stretch);
    ASSERT_GE(at, 0);
    // Nothing of the sound on either side of the stretch.
    if (at > 0) {
        EXPECT_EQ(output[size_t(at - 1) * 2], 0);
    }
    const size_t after = size_t(at) * 2 + stretch.size();
    if (after < output.size()) {
        EXPECT_EQ(output[after], 0);
    }
}

// MM_MCINOTIFY reaches the window once per play that asked for it, from the output's thread,
// with the reason and the device id.
TEST_F(WaveOutput, NotificationsTellHowEachPlayEnded) {
    MakeWindow();
    dispatch = false;
    const std::string path = Write(
        "ramp.wav", WaveBytes({2, AUDIO_OUTPUT_RATE, 16}, RampSamples(AUDIO_OUTPUT_RATE / 5)));
    MCI_OPEN_PARMSA open{0, 0, "waveaudio", path.c_str(), nullptr};
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open)), 0u);
    const MCIDEVICEID id = open.wDeviceID;
    MCI_PLAY_PARMS play{DWORD_PTR(window), 0, 0};

    // Played to the end.
    ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, DWORD_PTR(&play)), 0u);
    ASSERT_TRUE(PumpUntil([] { return received.size() == 1; }));
    EXPECT_EQ(received[0].code, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(received[0].device, LPARAM(id));

    // Replaced by a play that notifies: superseded, and the new play ends normally.
    ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, DWORD_PTR(&play)), 0u);
    ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, DWORD_PTR(&play)), 0u);
    ASSERT_TRUE(PumpUntil([] { return received.size() == 3; }));
    EXPECT_EQ(received[1].code, MCI_NOTIFY_SUPERSEDED);
    EXPECT_EQ(received[2].code, MCI_NOTIFY_SUCCESSFUL);

    // Replaced by a play without notify: aborted, and nothing more comes.
    ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, DWORD_PTR(&play)), 0u);
    ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_FROM | MCI_WAIT, DWORD_PTR(&play)), 0u);
    ASSERT_TRUE(PumpUntil([] { return received.size() == 4; }));
    EXPECT_EQ(received[3].code, MCI_NOTIFY_ABORTED);

    // Closed while playing: aborted, and the sound stops.
    ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, DWORD_PTR(&play)), 0u);
    ASSERT_EQ(mciSendCommandA(id, MCI_CLOSE, 0, 0), 0u);
    ASSERT_TRUE(PumpUntil([] { return received.size() == 5; }));
    EXPECT_EQ(received[4].code, MCI_NOTIFY_ABORTED);
    EXPECT_EQ(MciOpenDeviceCount(), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(received.size(), 5u);
    const AudioStats stats = GetAudioStats();
    EXPECT_EQ(stats.voicesFinished, 3u);  // the three that reached their end
    EXPECT_EQ(stats.voicesStopped + stats.voicesFinished, 6u);
}

}  // namespace

// Test and measurement controls of the platform's sound output: what the mixer has done, which
// wave devices are open, and a reset that makes the next play open the output anew (so a test can
// point SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE at a file of its own first).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The output format every sound is converted to: interleaved stereo 16-bit samples.
constexpr uint32_t AUDIO_OUTPUT_RATE = 44100;
constexpr uint32_t AUDIO_OUTPUT_CHANNELS = 2;

struct AudioStats {
    uint64_t framesMixed = 0;         // frames the output has taken from the mixer
    uint32_t voicesStarted = 0;       // plays that reached the mixer
    uint32_t voicesFinished = 0;      // plays that reached their end
    uint32_t voicesStopped = 0;       // plays ended early: closed, replaced, timed out or reset
    uint32_t peakVoices = 0;          // most plays mixed at one time
    uint32_t lastStartLatencyUs = 0;  // from the play call to its first frame leaving the mixer
    uint32_t maxStartLatencyUs = 0;
    uint64_t mixerNanoseconds = 0;  // time spent mixing
};

AudioStats GetAudioStats();
uint32_t MciOpenDeviceCount();
std::string AudioOutputName();  // the SDL audio driver in use; empty while no output is open
// The platform's default sound, in the output format.
std::vector<int16_t> DefaultSoundSamples();
// Ends every play (waiting callers return, no notifications are posted), closes every wave
// device and the output, and clears the statistics.
void AudioResetForTest();

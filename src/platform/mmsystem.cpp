// The sound service: one SDL audio output that mixes every play, PlaySoundA on top of it and the
// "waveaudio" MCI devices. A play is a voice in the mixer; the mixer runs on SDL's audio thread,
// ends voices there and posts their MM_MCINOTIFY from there (PostMessageA is thread-safe).
// The state is one block that is never destroyed: SDL's audio thread and detached sound threads
// may still touch it while the process ends.
#include "platform/mmsystem.h"

#include <SDL.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_controls.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t OUTPUT_BUFFER_FRAMES = 512;  // about 12 ms a mixer round
constexpr uint64_t MAX_FILE_BYTES = uint64_t{64} << 20;
constexpr uint64_t MAX_SOUND_FRAMES = uint64_t{25} * 60 * AUDIO_OUTPUT_RATE;
// A waiting play gives up when the output has not finished it after twice its length plus this.
constexpr uint32_t WAIT_MARGIN_MS = 2000;

// Samples in the output format.
struct Sound {
    std::vector<int16_t> samples;
    uint32_t Frames() const { return uint32_t(samples.size() / AUDIO_OUTPUT_CHANNELS); }
};

// What a caller waiting for a play (PlaySoundA, MCI_WAIT) waits on.
struct Completion {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
    bool reachedEnd = false;
};

struct Voice {
    std::shared_ptr<const Sound> sound;
    uint32_t position = 0;  // frames
    uint32_t end = 0;
    MCIDEVICEID device = 0;  // 0 for PlaySoundA
    HWND notifyWindow = nullptr;
    bool notify = false;
    std::shared_ptr<Completion> completion;
    Clock::time_point queuedAt;
    bool started = false;
};

struct WaveDevice {
    std::shared_ptr<const Sound> sound;
    uint32_t position = 0;         // where the last play stopped
    std::shared_ptr<Voice> voice;  // the play in progress
};

struct Notice {
    HWND window;
    WPARAM code;
    MCIDEVICEID device;
};

struct AudioState {
    std::mutex lock;  // voices, devices and statistics
    std::vector<std::shared_ptr<Voice>> voices;
    std::map<MCIDEVICEID, WaveDevice> devices;
    MCIDEVICEID nextDevice = 1;
    AudioStats stats;

    std::mutex outputLock;  // opening and closing the output; never taken inside `lock`
    SDL_AudioDeviceID output = 0;
    bool subsystemStarted = false;  // SDL_InitSubSystem succeeded
    bool driverStarted = false;     // the dummy driver was started without the subsystem
    std::string outputName;
};

AudioState& State() {
    static AudioState* state = new AudioState;
    return *state;
}

// SDL keeps an error text per thread and frees it only for threads it made itself. Work that
// may leave an error text runs on a short-lived SDL thread, so the callers' own threads (a sound
// thread that ends, say) leave nothing behind.
int RunWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}
void RunOnSdlThread(const std::function<void()>& work) {
    SDL_Thread* thread = SDL_CreateThread(RunWork, "velmora-sound",
                                          const_cast<void*>(static_cast<const void*>(&work)));
    if (thread == nullptr) {
        work();
        return;
    }
    SDL_WaitThread(thread, nullptr);
}

// Ends a voice that is no longer in the mixer (the caller removes it): wakes its waiter, keeps
// the device's position and queues its notification. Called with the state lock held.
void EndVoice(AudioState& state, Voice& voice, WPARAM code, std::vector<Notice>* notices) {
    if (code == MCI_NOTIFY_SUCCESSFUL)
        ++state.stats.voicesFinished;
    else
        ++state.stats.voicesStopped;
    if (voice.device != 0) {
        const auto found = state.devices.find(voice.device);
        if (found != state.devices.end() && found->second.voice.get() == &voice) {
            found->second.position = voice.position;
            found->second.voice.reset();
        }
    }
    if (voice.notify && voice.notifyWindow != nullptr && notices != nullptr)
        notices->push_back(Notice{voice.notifyWindow, code, voice.device});
    voice.notify = false;
    if (voice.completion) {
        {
            std::lock_guard<std::mutex> hold(voice.completion->lock);
            voice.completion->done = true;
            voice.completion->reachedEnd = code == MCI_NOTIFY_SUCCESSFUL;
        }
        voice.completion->changed.notify_all();
    }
}

void RemoveVoice(AudioState& state, const Voice* voice) {
    state.voices.erase(std::remove_if(state.voices.begin(), state.voices.end(),
                                      [&](const auto& v) { return v.get() == voice; }),
                       state.voices.end());
}

void PostNotices(const std::vector<Notice>& notices) {
    for (const Notice& notice : notices)
        PostMessageA(notice.window, MM_MCINOTIFY, notice.code, LPARAM(notice.device));
}

// SDL's audio callback: sums every voice into the buffer, saturating, and ends the voices that
// ran out.
void Mix(void*, Uint8* stream, int bytes) {
    const Clock::time_point started = Clock::now();
    AudioState& state = State();
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    const uint32_t frames = uint32_t(bytes) / (2 * AUDIO_OUTPUT_CHANNELS);
    thread_local std::vector<int32_t> sum;
    sum.assign(size_t(frames) * AUDIO_OUTPUT_CHANNELS, 0);
    std::vector<Notice> notices;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        state.stats.peakVoices = std::max(state.stats.peakVoices, uint32_t(state.voices.size()));
        std::vector<std::shared_ptr<Voice>> ended;
        for (const auto& voice : state.voices) {
            if (!voice->started) {
                voice->started = true;
                ++state.stats.voicesStarted;
                const auto latency = std::chrono::duration_cast<std::chrono::microseconds>(
                    started - voice->queuedAt);
                state.stats.lastStartLatencyUs = uint32_t(latency.count());
                state.stats.maxStartLatencyUs =
                    std::max(state.stats.maxStartLatencyUs, state.stats.lastStartLatencyUs);
            }
            const uint32_t count = std::min(frames, voice->end - voice->position);
            const int16_t* source =
                voice->sound->samples.data() + size_t(voice->position) * AUDIO_OUTPUT_CHANNELS;
            for (size_t i = 0; i < size_t(count) * AUDIO_OUTPUT_CHANNELS; ++i) sum[i] += source[i];
            voice->position += count;
            if (voice->position >= voice->end) ended.push_back(voice);
        }
        for (const auto& voice : ended) {
            RemoveVoice(state, voice.get());
            EndVoice(state, *voice, MCI_NOTIFY_SUCCESSFUL, &notices);
        }
        state.stats.framesMixed += frames;
    }
    for (size_t i = 0; i < sum.size(); ++i) out[i] = int16_t(std::clamp(sum[i], -32768, 32767));
    PostNotices(notices);
    const auto spent = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - started);
    std::lock_guard<std::mutex> hold(state.lock);
    state.stats.mixerNanoseconds += uint64_t(spent.count());
}

// Opens the output on first use. When no sound card opens, SDL's dummy driver takes its place:
// it consumes samples in real time, so plays still end and notify.
void OpenOutput() {
    AudioState& state = State();
    SDL_AudioSpec wanted{};
    wanted.freq = int(AUDIO_OUTPUT_RATE);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = uint8_t(AUDIO_OUTPUT_CHANNELS);
    wanted.samples = OUTPUT_BUFFER_FRAMES;
    wanted.callback = Mix;
    state.subsystemStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (state.subsystemStarted) state.output = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (state.output == 0 && SDL_AudioInit("dummy") == 0) {
        state.driverStarted = !state.subsystemStarted;
        state.output = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    }
    if (state.output == 0) {
        if (state.subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (state.driverStarted) SDL_AudioQuit();
        state.subsystemStarted = state.driverStarted = false;
        return;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    state.outputName = driver != nullptr ? driver : "";
    SDL_PauseAudioDevice(state.output, 0);
}

bool EnsureOutput() {
    AudioState& state = State();
    std::lock_guard<std::mutex> hold(state.outputLock);
    if (state.output == 0) RunOnSdlThread(OpenOutput);
    return state.output != 0;
}

void CloseOutput() {
    AudioState& state = State();
    std::lock_guard<std::mutex> hold(state.outputLock);
    if (state.output == 0) return;
    RunOnSdlThread([&] {
        SDL_CloseAudioDevice(state.output);  // returns once the mixer has stopped for good
        if (state.subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (state.driverStarted) SDL_AudioQuit();
    });
    state.output = 0;
    state.subsystemStarted = state.driverStarted = false;
    state.outputName.clear();
}

// Reads and converts a wave file; 0 or the MCI error that describes why it cannot be played.
MCIERROR ReadSound(const char* name, std::shared_ptr<const Sound>* result) {
    static std::once_flag hintsSet;
    std::call_once(hintsSet, [] {
        // An incomplete data chunk is an error, not a shorter sound; the RIFF size, often wrong
        // in files written by streaming tools, is not held against the file.
        SDL_SetHintWithPriority(SDL_HINT_WAVE_TRUNCATION, "strict", SDL_HINT_OVERRIDE);
    });
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return MCIERR_FILE_NOT_FOUND;
    if (!S_ISREG(info.st_mode) || info.st_size == 0) return MCIERR_INVALID_FILE;
    if (uint64_t(info.st_size) > MAX_FILE_BYTES) return MCIERR_OUT_OF_MEMORY;

    std::vector<uint8_t> bytes(size_t(info.st_size));
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return MCIERR_INVALID_FILE;
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (got != bytes.size()) return MCIERR_INVALID_FILE;

    SDL_AudioSpec spec{};
    Uint8* decoded = nullptr;
    Uint32 decodedBytes = 0;
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (source == nullptr) return MCIERR_OUT_OF_MEMORY;
    if (SDL_LoadWAV_RW(source, 1, &spec, &decoded, &decodedBytes) == nullptr)
        return MCIERR_INVALID_FILE;
    std::unique_ptr<Uint8, void (*)(Uint8*)> hold(decoded, SDL_FreeWAV);

    const uint32_t frameBytes = uint32_t(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    if (frameBytes == 0 || spec.freq <= 0) return MCIERR_INVALID_FILE;
    const uint64_t sourceFrames = decodedBytes / frameBytes;
    if (sourceFrames * AUDIO_OUTPUT_RATE / uint64_t(spec.freq) > MAX_SOUND_FRAMES)
        return MCIERR_OUT_OF_MEMORY;

    SDL_AudioCVT convert;
    if (SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, AUDIO_S16SYS,
                          uint8_t(AUDIO_OUTPUT_CHANNELS), int(AUDIO_OUTPUT_RATE)) < 0)
        return MCIERR_INVALID_FILE;
    auto sound = std::make_shared<Sound>();
    const size_t usable = size_t(sourceFrames) * frameBytes;
    if (usable > 0) {
        std::vector<uint8_t> work(usable * size_t(std::max(convert.len_mult, 1)));
        std::memcpy(work.data(), decoded, usable);
        convert.buf = work.data();
        convert.len = int(usable);
        if (convert.needed != 0 && SDL_ConvertAudio(&convert) != 0) return MCIERR_INVALID_FILE;
        const size_t outBytes = convert.needed != 0 ? size_t(convert.len_cvt) : usable;
        const size_t outFrameBytes = 2 * AUDIO_OUTPUT_CHANNELS;
        sound->samples.resize(outBytes / outFrameBytes * AUDIO_OUTPUT_CHANNELS);
        std::memcpy(sound->samples.data(), work.data(), sound->samples.size() * 2);
    }
    *result = std::move(sound);
    return 0;
}

MCIERROR LoadSound(const char* name, std::shared_ptr<const Sound>* result) {
    MCIERROR error = 0;
    RunOnSdlThread([&] { error = ReadSound(name, result); });
    return error;
}

// The platform's default sound: a short two-note chime of our own, made once.
std::shared_ptr<const Sound> DefaultSound() {
    static const std::shared_ptr<const Sound> chime = [] {
        auto sound = std::make_shared<Sound>();
        const uint32_t frames = AUDIO_OUTPUT_RATE * 150 / 1000;
        const uint32_t split = AUDIO_OUTPUT_RATE * 60 / 1000;
        sound->samples.resize(size_t(frames) * AUDIO_OUTPUT_CHANNELS);
        double phase = 0;
        for (uint32_t i = 0; i < frames; ++i) {
            const double hertz = i < split ? 880.0 : 1318.5;
            const uint32_t noteFrame = i < split ? i : i - split;
            const double attack = std::min(1.0, noteFrame / (0.004 * AUDIO_OUTPUT_RATE));
            const double decay = std::exp(-double(noteFrame) / (0.05 * AUDIO_OUTPUT_RATE));
            phase += 2 * M_PI * hertz / AUDIO_OUTPUT_RATE;
            const auto value = int16_t(std::lrint(0.35 * 32767 * attack * decay * std::sin(phase)));
            sound->samples[size_t(i) * 2] = value;
            sound->samples[size_t(i) * 2 + 1] = value;
        }
        return std::shared_ptr<const Sound>(std::move(sound));
    }();
    return chime;
}

uint32_t MsToFrames(DWORD ms) {
    return uint32_t(uint64_t(ms) * AUDIO_OUTPUT_RATE / 1000);
}

uint64_t LengthMs(const Sound& sound) {
    return (uint64_t(sound.Frames()) * 1000 + AUDIO_OUTPUT_RATE - 1) / AUDIO_OUTPUT_RATE;
}

// Waits for a play; a play the output has not finished in twice its length plus a margin is
// taken out of the mixer, so a stalled output never hangs the caller. True when it reached its
// end.
bool WaitForVoice(const std::shared_ptr<Voice>& voice) {
    const auto limit = std::chrono::milliseconds(
        2 * (uint64_t(voice->end - voice->position) * 1000 / AUDIO_OUTPUT_RATE) + WAIT_MARGIN_MS);
    Completion& completion = *voice->completion;
    {
        std::unique_lock<std::mutex> hold(completion.lock);
        if (completion.changed.wait_for(hold, limit, [&] { return completion.done; }))
            return completion.reachedEnd;
    }
    AudioState& state = State();
    std::vector<Notice> notices;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        if (std::find(state.voices.begin(), state.voices.end(), voice) != state.voices.end()) {
            RemoveVoice(state, voice.get());
            EndVoice(state, *voice, MCI_NOTIFY_FAILURE, &notices);
        }
    }
    PostNotices(notices);
    std::lock_guard<std::mutex> hold(completion.lock);
    return completion.reachedEnd;
}

bool PlayAndWait(const std::shared_ptr<const Sound>& sound) {
    if (sound->Frames() == 0) return true;
    if (!EnsureOutput()) return false;
    auto voice = std::make_shared<Voice>();
    voice->sound = sound;
    voice->end = sound->Frames();
    voice->completion = std::make_shared<Completion>();
    voice->queuedAt = Clock::now();
    {
        AudioState& state = State();
        std::lock_guard<std::mutex> hold(state.lock);
        state.voices.push_back(voice);
    }
    return WaitForVoice(voice);
}

MCIERROR OpenWaveDevice(DWORD_PTR flags, MCI_OPEN_PARMSA* parameters) {
    if (parameters == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
    if ((flags & ~DWORD_PTR{MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT}) != 0)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if ((flags & MCI_OPEN_TYPE) == 0) return MCIERR_DEVICE_TYPE_REQUIRED;
    if (parameters->lpstrDeviceType == nullptr ||
        strcasecmp(parameters->lpstrDeviceType, "waveaudio") != 0)
        return MCIERR_INVALID_DEVICE_NAME;
    if ((flags & MCI_OPEN_ELEMENT) == 0 || parameters->lpstrElementName == nullptr)
        return MCIERR_MISSING_PARAMETER;
    std::shared_ptr<const Sound> sound;
    if (const MCIERROR error = LoadSound(parameters->lpstrElementName, &sound)) return error;
    AudioState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.nextDevice == 0) state.nextDevice = 1;
    const MCIDEVICEID id = state.nextDevice++;
    state.devices[id].sound = std::move(sound);
    parameters->wDeviceID = id;
    return 0;
}

MCIERROR PlayWaveDevice(MCIDEVICEID device, DWORD_PTR flags, const MCI_PLAY_PARMS* parameters) {
    if ((flags & ~DWORD_PTR{MCI_NOTIFY | MCI_WAIT | MCI_FROM | MCI_TO}) != 0)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (parameters == nullptr && (flags & (MCI_NOTIFY | MCI_FROM | MCI_TO)) != 0)
        return MCIERR_NULL_PARAMETER_BLOCK;
    AudioState& state = State();
    {
        std::lock_guard<std::mutex> hold(state.lock);
        if (state.devices.count(device) == 0) return MCIERR_INVALID_DEVICE_ID;
    }
    if (!EnsureOutput()) return MCIERR_HARDWARE;

    auto voice = std::make_shared<Voice>();
    std::vector<Notice> notices;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        const auto found = state.devices.find(device);
        if (found == state.devices.end()) return MCIERR_INVALID_DEVICE_ID;  // closed meanwhile
        WaveDevice& wave = found->second;
        const uint64_t length = LengthMs(*wave.sound);
        if (((flags & MCI_FROM) && parameters->dwFrom > length) ||
            ((flags & MCI_TO) && parameters->dwTo > length))
            return MCIERR_OUTOFRANGE;
        const uint32_t frames = wave.sound->Frames();
        uint32_t from = (flags & MCI_FROM) ? MsToFrames(parameters->dwFrom) : wave.position;
        if (wave.voice) from = (flags & MCI_FROM) ? from : wave.voice->position;
        const uint32_t to =
            (flags & MCI_TO) ? std::min(MsToFrames(parameters->dwTo), frames) : frames;
        from = std::min(from, frames);
        if (from > to) return MCIERR_OUTOFRANGE;

        if (wave.voice) {
            const std::shared_ptr<Voice> replaced = wave.voice;
            RemoveVoice(state, replaced.get());
            EndVoice(state, *replaced,
                     (flags & MCI_NOTIFY) ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED, &notices);
        }
        voice->sound = wave.sound;
        voice->position = from;
        voice->end = to;
        voice->device = device;
        voice->notify = (flags & MCI_NOTIFY) != 0;
        voice->notifyWindow =
            voice->notify ? reinterpret_cast<HWND>(parameters->dwCallback) : nullptr;
        voice->completion = std::make_shared<Completion>();
        voice->queuedAt = Clock::now();
        if (from == to) {
            wave.position = to;
            EndVoice(state, *voice, MCI_NOTIFY_SUCCESSFUL, &notices);
        } else {
            wave.voice = voice;
            state.voices.push_back(voice);
        }
    }
    PostNotices(notices);
    if (flags & MCI_WAIT) WaitForVoice(voice);
    return 0;
}

MCIERROR CloseWaveDevice(MCIDEVICEID device) {
    AudioState& state = State();
    std::vector<Notice> notices;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        const auto found = state.devices.find(device);
        if (found == state.devices.end()) return MCIERR_INVALID_DEVICE_ID;
        if (const std::shared_ptr<Voice> playing = found->second.voice) {
            RemoveVoice(state, playing.get());
            EndVoice(state, *playing, MCI_NOTIFY_ABORTED, &notices);
        }
        state.devices.erase(device);
    }
    PostNotices(notices);
    return 0;
}

}  // namespace

BOOL PlaySoundA(LPCSTR soundName, HMODULE, DWORD flags) {
    if (soundName == nullptr || (flags & SND_FILENAME) == 0 ||
        (flags & ~(SND_FILENAME | SND_NODEFAULT)) != 0)
        return FALSE;
    std::shared_ptr<const Sound> sound;
    if (LoadSound(soundName, &sound) == 0) return PlayAndWait(sound) ? TRUE : FALSE;
    if ((flags & SND_NODEFAULT) == 0) PlayAndWait(DefaultSound());
    return FALSE;
}

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT command, DWORD_PTR flags, DWORD_PTR parameters) {
    switch (command) {
        case MCI_OPEN:
            return OpenWaveDevice(flags, reinterpret_cast<MCI_OPEN_PARMSA*>(parameters));
        case MCI_PLAY:
            return PlayWaveDevice(device, flags,
                                  reinterpret_cast<const MCI_PLAY_PARMS*>(parameters));
        case MCI_CLOSE:
            return CloseWaveDevice(device);
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

AudioStats GetAudioStats() {
    AudioState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    return state.stats;
}

uint32_t MciOpenDeviceCount() {
    AudioState& state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    return uint32_t(state.devices.size());
}

std::string AudioOutputName() {
    AudioState& state = State();
    std::lock_guard<std::mutex> hold(state.outputLock);
    return state.outputName;
}

std::vector<int16_t> DefaultSoundSamples() {
    return DefaultSound()->samples;
}

void AudioResetForTest() {
    AudioState& state = State();
    {
        std::lock_guard<std::mutex> hold(state.lock);
        for (const auto& voice : state.voices) EndVoice(state, *voice, MCI_NOTIFY_ABORTED, nullptr);
        state.voices.clear();
        state.devices.clear();
    }
    CloseOutput();
    std::lock_guard<std::mutex> hold(state.lock);
    state.stats = AudioStats{};
}

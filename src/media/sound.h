// Wave playback for the program: a fire-and-forget sound on a thread of its own, and a wave
// device that plays in the background and tells a window when it has finished (the window's
// dispatcher then closes the device with MCI_CLOSE on WaveDeviceId).
#pragma once
#include <cstdint>

#include "platform/mmsystem.h"
#include "platform/threads.h"

// The open block of the wave device; its wDeviceID is WaveDeviceId.
extern MCI_OPEN_PARMSA WaveOpenParms;
// The device most recently opened by PlayWaveFile, 0 at start.
extern MCIDEVICEID& WaveDeviceId;
// The play block: the window to notify and the positions of the last PlayWaveFile.
extern MCI_PLAY_PARMS WavePlayParms;

// Starts a detached thread that plays "xxxx.wav" from the current directory once.
void StartSoundThread();
// The sound thread's routine: PlaySoundA's result (nonzero when "xxxx.wav" itself played).
DWORD WINAPI SoundThreadProc(LPVOID parameter);
// Opens fileName on a "waveaudio" device and plays it from `from` to `to` (milliseconds),
// notifying window with MM_MCINOTIFY when it ends. 0 once playing; -1 when the open or the play
// failed, in which case no device is left open.
int32_t PlayWaveFile(HWND window, const char* fileName, uint32_t from, uint32_t to);

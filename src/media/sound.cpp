#include "media/sound.h"

MCI_OPEN_PARMSA WaveOpenParms{0, 0, nullptr, nullptr, nullptr};
MCIDEVICEID& WaveDeviceId = WaveOpenParms.wDeviceID;
MCI_PLAY_PARMS WavePlayParms{0, 0, 0};

void StartSoundThread() {
    DWORD threadId = 0;
    const HANDLE thread = CreateThread(nullptr, 0, SoundThreadProc, nullptr, 0x20, &threadId);
    CloseHandle(thread);  // nobody waits for the sound
}

DWORD WINAPI SoundThreadProc(LPVOID) {
    return DWORD(PlaySoundA("xxxx.wav", nullptr, SND_FILENAME));
}

int32_t PlayWaveFile(HWND window, const char* fileName, uint32_t from, uint32_t to) {
    WaveOpenParms.lpstrDeviceType = "waveaudio";
    WaveOpenParms.lpstrElementName = fileName;
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                        reinterpret_cast<DWORD_PTR>(&WaveOpenParms)) != 0)
        return -1;
    WavePlayParms.dwCallback = reinterpret_cast<DWORD_PTR>(window);
    WavePlayParms.dwFrom = from;
    WavePlayParms.dwTo = to;
    if (mciSendCommandA(WaveDeviceId, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO,
                        reinterpret_cast<DWORD_PTR>(&WavePlayParms)) != 0) {
        // No notification will come to close it: close it here rather than leave it open.
        mciSendCommandA(WaveDeviceId, MCI_CLOSE, 0, 0);
        return -1;
    }
    return 0;
}

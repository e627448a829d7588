// Sound in the platform's manner: PlaySoundA plays a wave file and returns when it has finished;
// mciSendCommandA drives "waveaudio" devices that play in the background and post MM_MCINOTIFY
// to a window when their playback ends. All sound goes through one output of our own, opened on
// the first play (SDL's dummy output stands in when no sound card opens). Files are decoded and
// converted to the output format once, when they are opened. Any thread may call these.
#pragma once
#include "platform/windows.h"

using DWORD_PTR = uintptr_t;
using MCIDEVICEID = UINT;
using MCIERROR = DWORD;

// PlaySoundA flags. SND_FILENAME is required; SND_NODEFAULT is honoured; any other flag makes the
// call fail without a sound.
constexpr DWORD SND_SYNC = 0x00000000;
constexpr DWORD SND_ASYNC = 0x00000001;
constexpr DWORD SND_NODEFAULT = 0x00000002;
constexpr DWORD SND_MEMORY = 0x00000004;
constexpr DWORD SND_LOOP = 0x00000008;
constexpr DWORD SND_NOSTOP = 0x00000010;
constexpr DWORD SND_ALIAS = 0x00010000;
constexpr DWORD SND_FILENAME = 0x00020000;

// Plays the wave file (separators '\' or '/') and returns when it has finished. Calls on several
// threads play at the same time, mixed. A missing or unreadable file plays the platform's own
// short default sound instead (unless SND_NODEFAULT) and the result is FALSE: TRUE means the
// named sound itself played to its end.
BOOL PlaySoundA(LPCSTR soundName, HMODULE module, DWORD flags);

// MCI commands and flags
constexpr UINT MCI_OPEN = 0x0803;
constexpr UINT MCI_CLOSE = 0x0804;
constexpr UINT MCI_PLAY = 0x0806;
constexpr DWORD MCI_NOTIFY = 0x00000001;
constexpr DWORD MCI_WAIT = 0x00000002;
constexpr DWORD MCI_FROM = 0x00000004;
constexpr DWORD MCI_TO = 0x00000008;
constexpr DWORD MCI_OPEN_SHAREABLE = 0x00000100;
constexpr DWORD MCI_OPEN_ELEMENT = 0x00000200;
constexpr DWORD MCI_OPEN_ALIAS = 0x00000400;
constexpr DWORD MCI_OPEN_ELEMENT_ID = 0x00000800;
constexpr DWORD MCI_OPEN_TYPE_ID = 0x00001000;
constexpr DWORD MCI_OPEN_TYPE = 0x00002000;

// MM_MCINOTIFY: wParam is one of these codes, lParam the device id.
constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 0x0001;  // played to the requested end
constexpr WPARAM MCI_NOTIFY_SUPERSEDED = 0x0002;  // replaced by a later play that notifies
constexpr WPARAM MCI_NOTIFY_ABORTED = 0x0004;     // stopped by a close or a play without notify
constexpr WPARAM MCI_NOTIFY_FAILURE = 0x0008;     // the output could not play it

// MCI errors (0 is success)
constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
constexpr MCIERROR MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
constexpr MCIERROR MCIERR_DEVICE_TYPE_REQUIRED = MCIERR_BASE + 31;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;

struct MCI_GENERIC_PARMS {
    DWORD_PTR dwCallback;  // the window to notify
};

struct MCI_OPEN_PARMSA {
    DWORD_PTR dwCallback;
    MCIDEVICEID wDeviceID;  // written by MCI_OPEN
    LPCSTR lpstrDeviceType;
    LPCSTR lpstrElementName;
    LPCSTR lpstrAlias;
};

struct MCI_PLAY_PARMS {
    DWORD_PTR dwCallback;  // the window to notify
    DWORD dwFrom;          // milliseconds
    DWORD dwTo;            // milliseconds
};

// MCI_OPEN (device ignored; MCI_OPEN_TYPE "waveaudio" and MCI_OPEN_ELEMENT required, MCI_WAIT
//   allowed, other flags MCIERR_UNSUPPORTED_FUNCTION): loads the file and writes a new device id,
//   never 0 and never reused, into wDeviceID. A missing file is MCIERR_FILE_NOT_FOUND; an empty,
//   truncated, corrupt or non-wave file MCIERR_INVALID_FILE; a file over 64 MiB or longer than
//   about 25 minutes once converted MCIERR_OUT_OF_MEMORY.
// MCI_PLAY (MCI_FROM, MCI_TO, MCI_NOTIFY, MCI_WAIT; a null block only without them): plays from
//   dwFrom (else where the last play stopped) to dwTo (else the end), in milliseconds, and returns
//   at once unless MCI_WAIT. Positions past the sound's length, or from after to, are
//   MCIERR_OUTOFRANGE. A play on a playing device replaces its playback.
// MCI_CLOSE (flags ignored, block may be null): stops the device and frees it.
// An id that is not open is MCIERR_INVALID_DEVICE_ID; other commands MCIERR_UNRECOGNIZED_COMMAND.
// A play with MCI_NOTIFY posts MM_MCINOTIFY to dwCallback from the sound output's thread once,
// when it ends, is replaced or is stopped by the close.
MCIERROR mciSendCommandA(MCIDEVICEID device, UINT command, DWORD_PTR flags, DWORD_PTR parameters);

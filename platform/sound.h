// Sounds of the platform: the wave-file player and the message beep.
//
// Every request is recorded (the latest 100, oldest first) for tests to read and clear. A real
// player runs only when the environment variable FIELDCORE_SOUND_PLAYER names one (a program
// given the host path of the file as its one argument): it is started without waiting, and
// finished players are reaped at the next request. Tests never set it.
#pragma once

#include "platform/CString.h"
#include "platform/winTypes.h"

#include <vector>

// PlaySoundW flags.
constexpr DWORD SND_SYNC = 0x00000000;
constexpr DWORD SND_ASYNC = 0x00000001;
constexpr DWORD SND_NODEFAULT = 0x00000002;
constexpr DWORD SND_FILENAME = 0x00020000;

// MessageBeep types.
constexpr UINT MB_BEEP_SIMPLE = 0xFFFFFFFF;

struct SoundRecord {
    bool beep;          // a message beep (then only `flags` tells its type)
    CString path;       // the device path asked for
    DWORD flags;        // PlaySoundW flags, or the beep type
    bool fileExisted;   // the file existed (device names match without case)
};

// Plays a wave file given by device path (SND_FILENAME). A missing file plays nothing when
// SND_NODEFAULT is given (else the default beep would sound: it is recorded all the same).
// TRUE when the file exists; `module` is ignored.
BOOL PlaySoundW(LPCWSTR path, void* module, DWORD flags);
// A message beep of the given type (MB_OK, MB_ICONSTOP, ..., or MB_BEEP_SIMPLE).
BOOL MessageBeep(UINT type);

std::vector<SoundRecord> recordedSounds();
void clearRecordedSounds();

// Keyboard state of the platform: the Caps Lock toggle and synthetic key events. There is no
// keyboard: keybd_event records each event (the latest 100, oldest first), and a Caps Lock
// press (key down) toggles the Caps Lock state that GetKeyState reports.
#pragma once

#include "platform/winTypes.h"

#include <vector>

constexpr BYTE VK_CAPITAL = 0x14;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;

// For VK_CAPITAL: bit 0 set while Caps Lock is on. Other keys: 0.
short GetKeyState(int key);
void keybd_event(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra);

struct KeyEventRecord {
    BYTE key;
    DWORD flags;
};
std::vector<KeyEventRecord> recordedKeyEvents();
void clearRecordedKeyEvents();
// Sets the Caps Lock state directly (tests).
void setCapsLock(bool on);

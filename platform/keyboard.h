// Keyboard state of the platform: the Caps Lock toggle and synthetic key events. There is no
// keyboard: keybd_event records each event (the latest 100, oldest first), and a Caps Lock
// press (key down) toggles the Caps Lock state that GetKeyState reports.
#pragma once

#include "platform/winTypes.h"

#include <vector>

constexpr BYTE VK_CAPITAL = 0x14;
// Virtual-key codes of WM_KEYDOWN and WM_KEYUP (platform/messages.h).
constexpr BYTE VK_BACK = 0x08;
constexpr BYTE VK_TAB = 0x09;
constexpr BYTE VK_RETURN = 0x0D;
constexpr BYTE VK_SHIFT = 0x10;
constexpr BYTE VK_ESCAPE = 0x1B;
constexpr BYTE VK_LEFT = 0x25;
constexpr BYTE VK_UP = 0x26;
constexpr BYTE VK_RIGHT = 0x27;
constexpr BYTE VK_DOWN = 0x28;
constexpr BYTE VK_F1 = 0x70;   // F1 to F24 follow on: F9 0x78
constexpr BYTE VK_F9 = 0x78;
constexpr BYTE VK_F24 = 0x87;
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

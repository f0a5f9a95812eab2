#include "platform/keyboard.h"

#include <deque>
#include <mutex>

namespace {

struct Keyboard {
    std::mutex mutex;
    bool capsLock = false;
    std::deque<KeyEventRecord> events;
};

Keyboard& keyboard()
{
    static Keyboard* k = new Keyboard;
    return *k;
}

} // namespace

short GetKeyState(int key)
{
    Keyboard& k = keyboard();
    std::lock_guard<std::mutex> lock(k.mutex);
    return key == VK_CAPITAL && k.capsLock ? 1 : 0;
}

void keybd_event(BYTE key, BYTE, DWORD flags, ULONG_PTR)
{
    Keyboard& k = keyboard();
    std::lock_guard<std::mutex> lock(k.mutex);
    k.events.push_back(KeyEventRecord{key, flags});
    if (k.events.size() > 100)
        k.events.pop_front();
    if (key == VK_CAPITAL && !(flags & KEYEVENTF_KEYUP))
        k.capsLock = !k.capsLock;
}

std::vector<KeyEventRecord> recordedKeyEvents()
{
    Keyboard& k = keyboard();
    std::lock_guard<std::mutex> lock(k.mutex);
    return std::vector<KeyEventRecord>(k.events.begin(), k.events.end());
}

void clearRecordedKeyEvents()
{
    Keyboard& k = keyboard();
    std::lock_guard<std::mutex> lock(k.mutex);
    k.events.clear();
}

void setCapsLock(bool on)
{
    Keyboard& k = keyboard();
    std::lock_guard<std::mutex> lock(k.mutex);
    k.capsLock = on;
}

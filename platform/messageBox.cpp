#include "platform/messageBox.h"

#include <deque>
#include <mutex>

namespace {

const std::size_t kKeptBoxes = 100;

struct Boxes {
    std::mutex mutex;
    std::deque<MessageBoxRecord> recorded;
    MessageBoxHandler handler;
    HWND mainWindow = nullptr;
};

Boxes& boxes()
{
    static Boxes* b = new Boxes;
    return *b;
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags)
{
    const MessageBoxRecord box{owner, CString(text ? text : L""), CString(caption ? caption : L""), flags};
    MessageBoxHandler handler;
    {
        Boxes& b = boxes();
        std::lock_guard<std::mutex> lock(b.mutex);
        b.recorded.push_back(box);
        if (b.recorded.size() > kKeptBoxes)
            b.recorded.pop_front();
        handler = b.handler;
    }
    return handler ? handler(box) : IDOK;
}

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    Boxes& b = boxes();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.handler = std::move(handler);
}

std::vector<MessageBoxRecord> recordedMessageBoxes()
{
    Boxes& b = boxes();
    std::lock_guard<std::mutex> lock(b.mutex);
    return std::vector<MessageBoxRecord>(b.recorded.begin(), b.recorded.end());
}

void clearMessageBoxes()
{
    Boxes& b = boxes();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.recorded.clear();
}

void SetMainWindow(HWND window)
{
    Boxes& b = boxes();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.mainWindow = window;
}

HWND GetMainWindow()
{
    Boxes& b = boxes();
    std::lock_guard<std::mutex> lock(b.mutex);
    return b.mainWindow;
}

// Message queues: posting, filters, peeking with and without removal, quitting, sending within
// and across threads, and the queue's life with its thread.
#include "platform/lastError.h"
#include "platform/messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace {

void drain()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

std::vector<UINT> takeAll(HWND window = nullptr, UINT low = 0, UINT high = 0)
{
    std::vector<UINT> numbers;
    MSG msg;
    while (PeekMessage(&msg, window, low, high, PM_REMOVE))
        numbers.push_back(msg.message);
    return numbers;
}

TEST(Messages, PostedInOrderAndFiltered)
{
    drain();
    HWND a = createWindowStub(1, 1);
    HWND b = createWindowStub(1, 1);
    ASSERT_TRUE(PostMessage(a, WM_USER + 1, 10, 20));
    ASSERT_TRUE(PostMessage(b, WM_USER + 2, 0, 0));
    ASSERT_TRUE(PostMessage(nullptr, WM_USER + 3, 0, 0)) << "a thread message to oneself";
    ASSERT_TRUE(PostMessage(a, WM_COMMAND, 0, 0));

    MSG msg{};
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_EQ(msg.message, WM_USER + 1);
    EXPECT_EQ(msg.wParam, 10u);
    EXPECT_EQ(msg.lParam, 20);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1) << "PM_NOREMOVE leaves it";

    EXPECT_EQ(takeAll(nullptr, WM_USER + 2, WM_USER + 3), (std::vector<UINT>{WM_USER + 2, WM_USER + 3}))
        << "a range";
    EXPECT_EQ(takeAll(a, WM_COMMAND, WM_COMMAND), (std::vector<UINT>{WM_COMMAND})) << "a window and a number";
    EXPECT_EQ(takeAll(b), (std::vector<UINT>{})) << "nothing left for b";
    EXPECT_EQ(takeAll(), (std::vector<UINT>{WM_USER + 1}));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    destroyWindowStub(a);
    destroyWindowStub(b);
}

TEST(Messages, PostingNeverMerges)
{
    drain();
    HWND a = createWindowStub(1, 1);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(PostMessage(a, WM_TICTIMER, 3, 0));
    EXPECT_EQ(takeAll(), std::vector<UINT>(10, WM_TICTIMER));
    destroyWindowStub(a);
}

TEST(Messages, QuitEndsGetMessageAfterWhatWasPostedBefore)
{
    drain();
    PostThreadMessage(GetCurrentThreadId(), WM_USER, 1, 0);
    PostQuitMessage(5);
    MSG msg{};
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "taken once";
    EXPECT_EQ(GetMessage(nullptr, nullptr, 0, 0), -1);
}

TEST(Messages, PostToAThreadNeedsItsQueueAndFailsOnceItEnded)
{
    std::promise<DWORD> idPromise;
    std::promise<void> mayMakeQueue, mayEnd;
    std::promise<void> queueMade;
    std::atomic<int> got{0};
    std::thread worker([&] {
        idPromise.set_value(GetCurrentThreadId());
        mayMakeQueue.get_future().wait();
        MSG msg;
        PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
        queueMade.set_value();
        if (GetMessage(&msg, nullptr, 0, 0) > 0)
            got = static_cast<int>(msg.wParam);
        mayEnd.get_future().wait();
    });
    const DWORD id = idPromise.get_future().get();
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessage(id, WM_USER, 1, 0)) << "no queue yet";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    mayMakeQueue.set_value();
    queueMade.get_future().wait();
    EXPECT_TRUE(PostThreadMessage(id, WM_USER, 2, 0));
    mayEnd.set_value();
    worker.join();
    EXPECT_EQ(got.load(), 2);
    EXPECT_FALSE(PostThreadMessage(id, WM_USER, 3, 0)) << "the thread has ended";
    EXPECT_FALSE(PostThreadMessage(0, WM_USER, 3, 0));
}

struct Recorder : CWnd {
    std::vector<UINT> seen;
    std::atomic<DWORD> thread{0};
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        thread = GetCurrentThreadId();
        return message == WM_USER ? static_cast<LRESULT>(wParam * 2) : CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(Messages, SendAndDispatchOnTheCallingThread)
{
    drain();
    Recorder window;
    ASSERT_TRUE(window.Create(L"Recorder", L"", 0, CRect(0, 0, 10, 10), nullptr));
    EXPECT_EQ(window.SendMessage(WM_USER, 21), 42);
    EXPECT_EQ(window.thread.load(), GetCurrentThreadId());
    ASSERT_TRUE(window.PostMessage(WM_USER, 5));
    MSG msg{};
    ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(DispatchMessage(&msg), 10);
    EXPECT_EQ(window.seen, (std::vector<UINT>{WM_USER, WM_USER}));
    const MSG threadMessage{nullptr, WM_USER, 1, 0, 0};
    EXPECT_EQ(DispatchMessage(&threadMessage), 0) << "a thread message has no procedure";
    EXPECT_EQ(SendMessage(nullptr, WM_USER, 1, 0), 0);
}

TEST(Messages, SendToAnotherThreadsWindowWaitsForItsLoop)
{
    std::promise<HWND> made;
    std::atomic<DWORD> ownerId{0};
    Recorder* window = new Recorder;
    std::thread owner([&] {
        ownerId = GetCurrentThreadId();
        window->Create(L"Recorder", L"", 0, CRect(0, 0, 10, 10), nullptr);
        made.set_value(window->m_hWnd);
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0) > 0)
            DispatchMessage(&msg);
        window->DestroyWindow();
    });
    const HWND handle = made.get_future().get();
    EXPECT_EQ(SendMessage(handle, WM_USER, 50, 0), 100);
    EXPECT_EQ(window->thread.load(), ownerId.load()) << "ran on the window's thread";
    EXPECT_EQ(GetWindowThreadProcessId(handle, nullptr), ownerId.load());
    EXPECT_TRUE(PostThreadMessage(ownerId, WM_QUIT, 0, 0));
    owner.join();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(SendMessage(handle, WM_USER, 50, 0), 0) << "no window";
    delete window;
}

TEST(Messages, SendToAThreadThatEndsGivesZero)
{
    std::promise<HWND> made;
    std::promise<void> mayEnd;
    std::thread owner([&] {
        made.set_value(createWindowStub(1, 1));
        mayEnd.get_future().wait();  // never pumps
    });
    const HWND window = made.get_future().get();
    auto answer = std::async(std::launch::async, [&] { return SendMessage(window, WM_USER, 1, 0); });
    EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout)
        << "waits for the owner's loop";
    mayEnd.set_value();
    owner.join();
    EXPECT_EQ(answer.get(), 0) << "the thread ended first";
    EXPECT_FALSE(IsWindow(window)) << "its windows ended with it";
    EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0));
}

} // namespace

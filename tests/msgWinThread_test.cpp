// CMsgWinThread: its creator returns only once the thread has a queue, its destructor ends
// the thread through WM_QUIT, and it is made by its name.
#include "devices/msgWinThread.h"
#include "platform/lastError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct Counters {
    std::atomic<int> received{0};
    std::atomic<int> quits{0};
};

// Counts WM_USER + 1 thread messages and the WM_QUIT that ends the loop.
class Receiver : public CMsgWinThread {
public:
    explicit Receiver(Counters& counters) : m_counters(counters) { m_bAutoDelete = FALSE; }
    ~Receiver() override { StopThread(); }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        m_counters.received += msg->message == WM_USER + 1;
        return TRUE;
    }
    int ExitInstance() override
    {
        m_counters.quits += m_msgCur.message == WM_QUIT;
        return CMsgWinThread::ExitInstance();
    }

private:
    Counters& m_counters;
};

TEST(MsgWinThread, MessagePostedAtOnceIsAlwaysReceived)
{
    Counters counters;
    const int kRuns = 1000;
    for (int run = 0; run < kRuns; ++run) {
        Receiver* thread = new Receiver(counters);
        ASSERT_TRUE(thread->CreateThread());
        ASSERT_TRUE(thread->PostThreadMessage(WM_USER + 1, 0, 0)) << "run " << run << ": the queue exists";
        delete thread;  // posts WM_QUIT after the message and waits for the thread
    }
    EXPECT_EQ(counters.received.load(), kRuns);
    EXPECT_EQ(counters.quits.load(), kRuns) << "every thread ended through WM_QUIT";
}

TEST(MsgWinThread, DestructorEndsTheThreadThroughQuit)
{
    const int before = runningThreadCount();
    CMsgWinThread* thread = new CMsgWinThread;
    thread->m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread->CreateThread());
    const HANDLE handle = thread->m_hThread;
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_TIMEOUT) << "the loop waits for messages";
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(handle, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(runningThreadCount(), before + 1);
    delete thread;  // the loop ends only on WM_QUIT
    EXPECT_EQ(runningThreadCount(), before) << "the thread ended before the destructor returned";
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED) << "the handle was closed with the object";
}

TEST(MsgWinThread, SuspendedCreationIsRefused)
{
    Counters counters;
    Receiver thread(counters);
    SetLastError(0);
    EXPECT_FALSE(thread.CreateThread(CREATE_SUSPENDED));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(thread.m_hThread, nullptr) << "nothing started";
    EXPECT_TRUE(thread.CreateThread()) << "a plain start still works";
    EXPECT_FALSE(thread.CreateThread()) << "one thread per object";
}

TEST(MsgWinThread, MadeByItsName)
{
    const CRuntimeClass* threadClass = CRuntimeClass::FromName("CMsgWinThread");
    ASSERT_NE(threadClass, nullptr);
    EXPECT_STREQ(threadClass->m_lpszClassName, "CMsgWinThread");
    EXPECT_EQ(CRuntimeClass::FromName("CMsgWinthread"), nullptr) << "names are exact";
    EXPECT_EQ(AfxBeginThread(nullptr), nullptr);

    const int before = runningThreadCount();
    CWinThread* thread = AfxBeginThread(threadClass, THREAD_PRIORITY_BELOW_NORMAL);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(dynamic_cast<CMsgWinThread*>(thread), nullptr);
    EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_BELOW_NORMAL);
    // Auto-deleted: the quit ends the thread, which deletes the object on itself (its
    // destructor must not wait for its own thread).
    ASSERT_TRUE(thread->PostThreadMessage(WM_QUIT, 0, 0));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (runningThreadCount() > before && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(runningThreadCount(), before);
}

} // namespace

// CWinThread: the order InitInstance, Run, ExitInstance; exit codes; auto-delete; classes by name.
#include "platform/winThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

std::string steps;

class Worker : public CWinThread {
public:
    explicit Worker(BOOL init) : m_init(init) { m_bAutoDelete = FALSE; }
    BOOL InitInstance() override
    {
        steps += "init ";
        return m_init;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        steps += "msg" + std::to_string(msg->wParam) + " ";
        return TRUE;
    }
    int ExitInstance() override
    {
        steps += "exit ";
        return CWinThread::ExitInstance() + 100;
    }

private:
    BOOL m_init;
};

DWORD exitCodeOf(HANDLE thread)
{
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

TEST(WinThread, RunsTheLoopUntilQuit)
{
    steps.clear();
    Worker worker(TRUE);
    ASSERT_TRUE(worker.CreateThread(CREATE_SUSPENDED));
    EXPECT_NE(worker.m_nThreadID, 0u);
    // The loop has not run yet, so the queue does not exist yet: posting waits for it.
    EXPECT_FALSE(worker.PostThreadMessage(WM_USER, 1, 0));
    EXPECT_EQ(worker.ResumeThread(), 1u);
    while (!worker.PostThreadMessage(WM_USER, 1, 0))
        Sleep(1);
    ASSERT_TRUE(worker.PostThreadMessage(WM_USER, 2, 0));
    ASSERT_TRUE(worker.PostThreadMessage(WM_QUIT, 7, 0));
    EXPECT_EQ(exitCodeOf(worker), 107u) << "the quit code through ExitInstance";
    EXPECT_EQ(steps, "init msg1 msg2 exit ");
}

TEST(WinThread, FailedInitEndsThroughExitInstance)
{
    steps.clear();
    Worker worker(FALSE);
    ASSERT_TRUE(worker.CreateThread());
    EXPECT_EQ(exitCodeOf(worker), 100u);
    EXPECT_EQ(steps, "init exit ");
    EXPECT_FALSE(worker.CreateThread()) << "one thread per object";
}

std::atomic<int> liveObjects{0};

class Counted : public CWinThread {
public:
    Counted() { ++liveObjects; }
    ~Counted() override { --liveObjects; }
};

TEST(WinThread, AutoDeleteOnItsOwnThread)
{
    const int before = runningThreadCount();
    Counted* thread = new Counted;  // the base InitInstance gives FALSE: it ends at once
    ASSERT_TRUE(thread->CreateThread());
    for (int i = 0; i < 10000 && (liveObjects.load() != 0 || runningThreadCount() != before); ++i)
        Sleep(1);
    EXPECT_EQ(liveObjects.load(), 0) << "deleted itself";
}

const CRuntimeClass classCounted("TestCounted", [] { return static_cast<CWinThread*>(new Counted); });

TEST(WinThread, ClassesByName)
{
    EXPECT_EQ(CRuntimeClass::FromName("TestCounted"), &classCounted);
    EXPECT_EQ(CRuntimeClass::FromName("Nothing"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
    CWinThread* thread = AfxBeginThread(&classCounted, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_LOWEST) << "set before the start";
    thread->ResumeThread();  // auto-deleted from here on
    for (int i = 0; i < 10000 && liveObjects.load() != 0; ++i)
        Sleep(1);
    EXPECT_EQ(liveObjects.load(), 0);
}

} // namespace

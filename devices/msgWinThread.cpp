#include "devices/msgWinThread.h"

#include "platform/kernelObjects.h"
#include "platform/lastError.h"

#include <new>

namespace {

CWinThread* createMsgWinThread()
{
    return new (std::nothrow) CMsgWinThread;
}

} // namespace

const CRuntimeClass CMsgWinThread::classCMsgWinThread("CMsgWinThread", &createMsgWinThread);

CMsgWinThread::CMsgWinThread() : m_hEvent(CreateEvent(nullptr, TRUE, FALSE, nullptr)) {}

CMsgWinThread::~CMsgWinThread()
{
    StopThread();
    if (m_hEvent)
        CloseHandle(m_hEvent);
}

void CMsgWinThread::StopThread()
{
    if (m_hThread && m_nThreadID != GetCurrentThreadId() &&
        WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT) {
        ::PostThreadMessage(m_nThreadID, WM_QUIT, 0, 0);
        WaitForSingleObject(m_hThread, INFINITE);
    }
}

BOOL CMsgWinThread::CreateThread(DWORD flags, UINT stackSize, void* security)
{
    if ((flags & CREATE_SUSPENDED) || !m_hEvent) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Taken before the start: an auto-deleted object may be gone by the time the wait ends
    // (the event lives on while the wait is under way).
    const HANDLE event = m_hEvent;
    if (!CWinThread::CreateThread(flags, stackSize, security))
        return FALSE;
    WaitForSingleObject(event, INFINITE);
    return TRUE;
}

BOOL CMsgWinThread::InitInstance()
{
    MSG msg;
    PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(m_hEvent);
    return TRUE;
}

int CMsgWinThread::ExitInstance()
{
    return CWinThread::ExitInstance();
}

// A worker thread class whose creator waits until the new thread owns a message queue, so
// that a message posted the moment CreateThread returns is never lost. Made by name as
// "CMsgWinThread" (CRuntimeClass::FromName, AfxBeginThread; platform/winThread.h).
#pragma once

#include "platform/winThread.h"

class CMsgWinThread : public CWinThread {
public:
    CMsgWinThread();
    // Ends the thread (StopThread), then releases the event.
    ~CMsgWinThread() override;

    // Starts the thread and waits, without limit, until it has its queue. A suspended thread
    // could never report that, so CREATE_SUSPENDED is refused (FALSE, ERROR_INVALID_PARAMETER,
    // nothing started); so is a missing event. FALSE also when the base cannot start the thread
    // (no wait then).
    BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0, void* security = nullptr) override;
    // On the new thread: peeks for WM_USER without removing anything (which makes the queue),
    // then sets the event; TRUE.
    BOOL InitInstance() override;
    int ExitInstance() override;

    static const CRuntimeClass classCMsgWinThread;

protected:
    // While the thread runs: posts WM_QUIT to it and waits for it to end, without limit (but
    // never on the thread itself, as when it deletes itself). A derived class that overrides
    // the thread's virtual functions calls this in its own destructor: once that destructor
    // has run, the thread would reach this class's functions instead of its own.
    void StopThread();

private:
    HANDLE m_hEvent;
};

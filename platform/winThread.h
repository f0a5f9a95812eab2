// The platform's thread class: an object that owns a thread running InitInstance, then the
// message loop Run, then ExitInstance; and thread classes made at run time by their names.
#pragma once

#include "platform/messages.h"
#include "platform/threads.h"
#include "platform/winTypes.h"

class CWinThread {
public:
    CWinThread() = default;
    // Closes the thread's handle; does not wait for the thread.
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread (flags: CREATE_SUSPENDED or 0; the stack size is a minimum, see
    // platform/threads.h). The handle and identity are set before the thread runs. FALSE when
    // the object already has a thread or the host cannot start one. Virtual here, so that a
    // class made by name (AfxBeginThread) starts the way its class does.
    virtual BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0, void* security = nullptr);

    // On the new thread: TRUE to run the message loop, FALSE to end at once (through
    // ExitInstance). The base returns FALSE.
    virtual BOOL InitInstance();
    // The message loop: each message goes through PreTranslateMessage and, unless that took
    // it, DispatchMessage; WM_QUIT ends the loop, which returns ExitInstance().
    virtual int Run();
    // The thread's exit code: the base returns the last WM_QUIT's code (0 when there was none).
    virtual int ExitInstance();
    // TRUE when the message was handled here; the base returns FALSE.
    virtual BOOL PreTranslateMessage(MSG* msg);

    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
    DWORD ResumeThread();
    // Before CreateThread: the level the thread starts with.
    BOOL SetThreadPriority(int priority);
    int GetThreadPriority();
    operator HANDLE() const { return m_hThread; }

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    // When TRUE (the default), the object deletes itself on its thread once the thread's work
    // is done; the creator must not use it after the thread ends.
    BOOL m_bAutoDelete = TRUE;

protected:
    MSG m_msgCur{};

private:
    int m_startPriority = THREAD_PRIORITY_NORMAL;
    static DWORD threadMain(void* self);
};

// A thread class known by name: its name and how to make an object of it. Each object
// registers the class when made (a namespace-scope object of the class's source, which must
// be part of the program).
class CRuntimeClass {
public:
    CRuntimeClass(const char* className, CWinThread* (*create)());
    CRuntimeClass(const CRuntimeClass&) = delete;
    CRuntimeClass& operator=(const CRuntimeClass&) = delete;

    // A new object of the class (null when memory runs out).
    CWinThread* CreateObject() const { return m_pfnCreateObject(); }
    // The registered class of that name (exact), or null.
    static const CRuntimeClass* FromName(const char* className);

    const char* const m_lpszClassName;

private:
    CWinThread* (*const m_pfnCreateObject)();
};

// Makes an object of the class, starts its thread (CreateThread with the flags and stack
// size) and sets its priority. Null when the object cannot be made or its thread cannot start
// (the object is then deleted).
CWinThread* AfxBeginThread(const CRuntimeClass* threadClass, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD flags = 0, void* security = nullptr);

#include "platform/winThread.h"

#include <cstring>
#include <mutex>
#include <vector>

// ---- CWinThread ----

CWinThread::~CWinThread()
{
    if (m_hThread)
        CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD flags, UINT stackSize, void*)
{
    if (m_hThread)
        return FALSE;
    // Started suspended so that the handle and identity are in place before the thread can
    // use them (or delete the object).
    DWORD id = 0;
    const HANDLE thread = ::CreateThread(nullptr, stackSize, &CWinThread::threadMain, this,
                                         flags | CREATE_SUSPENDED, &id);
    if (!thread)
        return FALSE;
    m_hThread = thread;
    m_nThreadID = id;
    ::SetThreadPriority(thread, m_startPriority);
    if (!(flags & CREATE_SUSPENDED))
        ::ResumeThread(thread);
    return TRUE;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    for (;;) {
        const BOOL got = GetMessage(&m_msgCur, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&m_msgCur))
            DispatchMessage(&m_msgCur);
    }
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}

BOOL CWinThread::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostThreadMessage(m_nThreadID, message, wParam, lParam);
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int priority)
{
    if (m_hThread)
        return ::SetThreadPriority(m_hThread, priority);
    if (priority < 0 || priority > 7)
        return FALSE;
    m_startPriority = priority;
    return TRUE;
}

int CWinThread::GetThreadPriority()
{
    return m_hThread ? ::GetThreadPriority(m_hThread) : m_startPriority;
}

DWORD CWinThread::threadMain(void* self)
{
    CWinThread* thread = static_cast<CWinThread*>(self);
    const int code = thread->InitInstance() ? thread->Run() : thread->ExitInstance();
    if (thread->m_bAutoDelete)
        delete thread;
    return static_cast<DWORD>(code);
}

// ---- Classes by name ----

namespace {

struct ClassList {
    std::mutex mutex;
    std::vector<const CRuntimeClass*> classes;
};

ClassList& classList()
{
    static ClassList* list = new ClassList;
    return *list;
}

} // namespace

CRuntimeClass::CRuntimeClass(const char* className, CWinThread* (*create)())
    : m_lpszClassName(className), m_pfnCreateObject(create)
{
    ClassList& list = classList();
    std::lock_guard<std::mutex> lock(list.mutex);
    list.classes.push_back(this);
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    if (!className)
        return nullptr;
    ClassList& list = classList();
    std::lock_guard<std::mutex> lock(list.mutex);
    for (const CRuntimeClass* c : list.classes)
        if (std::strcmp(c->m_lpszClassName, className) == 0)
            return c;
    return nullptr;
}

CWinThread* AfxBeginThread(const CRuntimeClass* threadClass, int priority, UINT stackSize, DWORD flags,
                           void* security)
{
    CWinThread* thread = threadClass ? threadClass->CreateObject() : nullptr;
    if (!thread)
        return nullptr;
    // Set before the start: an auto-deleted thread may be gone once it has started.
    thread->SetThreadPriority(priority);
    if (!thread->CreateThread(flags, stackSize, security)) {
        delete thread;
        return nullptr;
    }
    return thread;
}

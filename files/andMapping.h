// CAndMapping: a whole existing file mapped read-only, its bytes handed out through a pointer.
// Paths are device paths. Failures show a message box (caption "Message", the stop icon,
// topmost, owned by the given window, else the application's main window, else none), or,
// when the object is quiet, show nothing and record an error code (GetLastAndMappingError).
//
// An empty file cannot be mapped: loading it fails at "Cannot create mapping file."
// (ERROR_FILE_INVALID). Read text through `operator char*` as bytes; the wide pointer is the
// same address as wchar_t*, which is 32 bits here: never read UTF-16 text through it.
#pragma once

#include "platform/CString.h"
#include "platform/windowStub.h"
#include "platform/winTypes.h"

class CAndMapping {
public:
    explicit CAndMapping(int quiet = 0);
    CAndMapping(const wchar_t* path, int quiet, HWND owner);
    virtual ~CAndMapping();
    CAndMapping(const CAndMapping&) = delete;
    CAndMapping& operator=(const CAndMapping&) = delete;

    // Loads `path` (releasing what was loaded before); the loaded flag.
    int Construct(const wchar_t* path);
    int IsLoaded() const { return m_loaded; }
    int GetFileLength() const { return m_length; }
    unsigned long GetLastAndMappingError() const { return m_lastError; }
    // The view (null when nothing is loaded).
    operator char*() const { return static_cast<char*>(m_view); }
    operator wchar_t*() const { return static_cast<wchar_t*>(m_view); }
    // Unmaps, closes, and resets every field but the quiet flag, the owner and the last error.
    void UnloadFile();

protected:
    int LoadFile(const wchar_t* path);
    void Reset();
    // Quiet: records the layer's last error. Otherwise shows `text`.
    void InitError(const CString& text, unsigned long boxFlags);
    // Quiet: records `code`. Otherwise shows the system's message for the code (systemCode
    // non-zero) or the string resource numbered `code` of the running module.
    void InitError(unsigned long code, unsigned long boxFlags, int systemCode);

private:
    void show(const CString& text, unsigned long boxFlags);

    HANDLE m_file;
    HANDLE m_mapping;
    void* m_view;
    int m_loaded;
    int m_quiet;
    HWND m_owner;
    int m_length;
    CString m_fileName;
    unsigned long m_lastError;
};

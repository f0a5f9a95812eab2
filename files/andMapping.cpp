#include "files/andMapping.h"

#include "files/translate.h"
#include "platform/fileMapping.h"
#include "platform/lastError.h"
#include "platform/messageBox.h"
#include "platform/process.h"

namespace {

// The format is translated first, then filled: a filled text is never in a dictionary. Its
// "%s" stands for the path (a wide text, which this host's wide printf would take as "%ls"),
// so the path is put in its place directly.
CString fillPath(const CString& format, const wchar_t* path)
{
    std::wstring text = format.str();
    const std::size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, path ? path : L"");
    return CString(text.c_str());
}

} // namespace

CAndMapping::CAndMapping(int quiet) : m_quiet(quiet), m_owner(nullptr), m_lastError(0)
{
    Reset();
}

CAndMapping::CAndMapping(const wchar_t* path, int quiet, HWND owner) : m_quiet(quiet), m_owner(owner), m_lastError(0)
{
    Reset();
    LoadFile(path);
}

CAndMapping::~CAndMapping()
{
    UnloadFile();
}

int CAndMapping::Construct(const wchar_t* path)
{
    LoadFile(path);
    return m_loaded;
}

void CAndMapping::Reset()
{
    m_file = INVALID_HANDLE_VALUE;
    m_mapping = nullptr;
    m_view = nullptr;
    m_loaded = 0;
    m_length = 0;
    m_fileName = CString();
}

void CAndMapping::UnloadFile()
{
    closeMappedFile(m_view, m_mapping, m_file);
    Reset();
}

int CAndMapping::LoadFile(const wchar_t* path)
{
    UnloadFile();
    m_fileName = CString(path ? path : L"");
    m_file = CreateFileForMappingW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        InitError(fillPath(Xlate(L"Cannot open the file. %s"), path), MB_ICONSTOP);
        UnloadFile();
        return 0;
    }
    m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!m_mapping) {
        InitError(Xlate(L"Cannot create mapping file."), MB_ICONSTOP);
        UnloadFile();
        return 0;
    }
    m_view = MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0);
    if (!m_view) {
        InitError(Xlate(L"Cannot map file."), MB_ICONSTOP);
        UnloadFile();
        return 0;
    }
    m_length = static_cast<int>(GetFileSize(m_file, nullptr));
    m_loaded = 1;
    return 1;
}

void CAndMapping::InitError(const CString& text, unsigned long boxFlags)
{
    if (m_quiet)
        m_lastError = GetLastError();
    else
        show(text, boxFlags);
}

void CAndMapping::InitError(unsigned long code, unsigned long boxFlags, int systemCode)
{
    if (m_quiet) {
        m_lastError = code;
        return;
    }
    if (systemCode) {
        show(CString(systemErrorText(static_cast<DWORD>(code))), boxFlags);
        return;
    }
    wchar_t text[512];
    LoadStringW(nullptr, static_cast<UINT>(code), text, 512);
    show(CString(text), boxFlags);
}

void CAndMapping::show(const CString& text, unsigned long boxFlags)
{
    const HWND owner = m_owner ? m_owner : GetMainWindow();
    MessageBoxW(owner, text, L"Message", static_cast<UINT>(boxFlags) | MB_TOPMOST);
}

#include "files/memMappedData.h"

#include "files/logFile.h"
#include "platform/fileMapping.h"
#include "platform/fileSystem.h"

#include <cstdint>

namespace {

const int kWindowBytes = 1048576;       // 1 MiB: the window and its step
const std::size_t kViewBytes = 2097152;  // 2 MiB
const int kWritePiece = 131072;         // 128 KiB
const int kReadPiece = 65536;           // 64 KiB
const char* const kSource = "files/memMappedData";

int fileCounter = 0;

CString bufferFileName(const wchar_t* folder, int number)
{
    CString name;
    name.Format(L"%ls\\_tmp_file_.tmp%d.tmp", folder ? folder : L"", number);
    return name;
}

} // namespace

CXenMemMappedData::CXenMemMappedData()
    : m_windowStart(0), m_windowEnd(-1), m_file(INVALID_HANDLE_VALUE), m_mapping(nullptr), m_view(nullptr),
      m_size(0), m_spare(0)
{
}

CXenMemMappedData::~CXenMemMappedData()
{
    release();
}

void CXenMemMappedData::release()
{
    closeMappedFile(m_view, m_mapping, m_file);
    if (!m_fileName.IsEmpty())
        DeleteFileW(m_fileName);
    m_view = nullptr;
    m_mapping = nullptr;
    m_file = INVALID_HANDLE_VALUE;
    m_fileName = CString();
    m_size = 0;
    m_windowStart = 0;
    m_windowEnd = -1;
}

bool CXenMemMappedData::mapWindowAt(int start)
{
    if (m_view)
        UnmapViewOfFile(m_view);
    m_view = static_cast<char*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, static_cast<DWORD>(start), kViewBytes));
    m_windowStart = start;
    m_windowEnd = start + kWindowBytes - 1;
    return m_view != nullptr;
}

bool CXenMemMappedData::InitMemMappedFile(const wchar_t* folder, unsigned int size)
{
    release();
    m_fileName = bufferFileName(folder, ++fileCounter);
    const HANDLE file = CreateFileW(m_fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_fileName = CString();  // not ours: nothing to delete
        return false;
    }
    LONG high = 0;
    const bool sized = SetFilePointer(file, static_cast<LONG>(size), &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                       SetEndOfFile(file);
    CloseHandle(file);
    if (!sized || size > 0x7FFFFFFFu) {
        release();
        return false;
    }
    m_file = CreateFileForMappingW(m_fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (m_file != INVALID_HANDLE_VALUE)
        m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    if (!m_mapping || !mapWindowAt(0)) {
        release();
        return false;
    }
    m_size = size;
    return true;
}

char& CXenMemMappedData::getat(int index)
{
    if (!m_view || index < 0 || static_cast<unsigned int>(index) >= m_size) {
        ReportAssertion(kSource, __LINE__);
        return m_spare;
    }
    // The step that holds the index: one step up or down for a neighbour of the window.
    if ((index > m_windowEnd || index < m_windowStart) && !mapWindowAt(index / kWindowBytes * kWindowBytes)) {
        ReportAssertion(kSource, __LINE__);
        return m_spare;
    }
    return m_view[index - m_windowStart];
}

long CXenMemMappedData::WriteToStream(IStream* stream, int size)
{
    if (!stream)
        return E_POINTER;
    if (size > 0 && static_cast<unsigned int>(size) > m_size)
        return E_INVALIDARG;
    const std::uint32_t count = size < 0 ? 0u : static_cast<std::uint32_t>(size);  // a negative size writes 0
    const unsigned char bytes[4] = {static_cast<unsigned char>(count), static_cast<unsigned char>(count >> 8),
                                    static_cast<unsigned char>(count >> 16), static_cast<unsigned char>(count >> 24)};
    HRESULT hr = stream->Write(bytes, 4, nullptr);
    if (FAILED(hr))
        return hr;
    if (size < 1)
        return S_OK;
    for (int offset = 0; offset < size; offset += kWritePiece) {
        const int piece = size - offset < kWritePiece ? size - offset : kWritePiece;
        LOGMESSAGE(2, "DDD Writing %d bytes begin at %d of %d bytes", piece, offset, size);
        hr = stream->Write(&getat(offset), static_cast<ULONG>(piece), nullptr);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

long CXenMemMappedData::ReadFromStream(IStream* stream, int& size)
{
    if (!stream)
        return E_POINTER;
    unsigned char bytes[4] = {0, 0, 0, 0};
    ULONG got = 0;
    HRESULT hr = stream->Read(bytes, 4, &got);
    if (FAILED(hr))
        return hr;
    if (got < 4)
        return E_FAIL;
    const std::int32_t count = static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                                         static_cast<std::uint32_t>(bytes[1]) << 8 |
                                                         static_cast<std::uint32_t>(bytes[2]) << 16 |
                                                         static_cast<std::uint32_t>(bytes[3]) << 24);
    if (count < 1) {
        size = 0;
        return S_OK;
    }
    if (static_cast<unsigned int>(count) > m_size)
        return E_INVALIDARG;
    size = count;
    for (int offset = 0; offset < count; offset += kReadPiece) {
        const int piece = count - offset < kReadPiece ? count - offset : kReadPiece;
        hr = stream->Read(&getat(offset), static_cast<ULONG>(piece), &got);
        if (FAILED(hr))
            return hr;
        if (got < static_cast<ULONG>(piece))
            return E_FAIL;
    }
    return S_OK;
}

bool CXenMemMappedData::DeleteNextFile(const wchar_t* folder)
{
    const CString name = bufferFileName(folder, fileCounter + 1);
    if (GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(name))
        ++fileCounter;
    return true;
}

// ---- CXenMemMappedArray ----

CXenMemMappedArray::CXenMemMappedArray(const wchar_t* folder, int capacity) : m_size(0)
{
    if (capacity < 0 || !m_data.InitMemMappedFile(folder, static_cast<unsigned int>(capacity)))
        ReportAssertion(kSource, __LINE__);
}

void CXenMemMappedArray::SetSize(int size)
{
    if (size < 0 || static_cast<unsigned int>(size) > m_data.capacity()) {
        ReportAssertion(kSource, __LINE__);
        return;
    }
    m_size = size;
}

long CXenMemMappedArray::WriteToStream(IStream* stream)
{
    return m_data.WriteToStream(stream, m_size);
}

long CXenMemMappedArray::ReadFromStream(IStream* stream)
{
    return m_data.ReadFromStream(stream, m_size);
}

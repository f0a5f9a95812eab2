#include "platform/stream.h"

#include "platform/fileMapping.h"
#include "platform/kernelObjects.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace {

class Counted : public IStream {
public:
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

private:
    std::atomic<ULONG> m_references{1};
};

// Resolves a seek against the current position and the size; false before the start.
bool seekTarget(LARGE_INTEGER move, DWORD origin, std::uint64_t position, std::uint64_t size,
                std::uint64_t& target)
{
    const std::int64_t base = origin == STREAM_SEEK_SET ? 0
                              : origin == STREAM_SEEK_CUR ? static_cast<std::int64_t>(position)
                                                          : static_cast<std::int64_t>(size);
    if (origin > STREAM_SEEK_END || (move.QuadPart < 0 && base < -move.QuadPart))
        return false;
    target = static_cast<std::uint64_t>(base + move.QuadPart);
    return true;
}

class MemoryStream : public Counted {
public:
    HRESULT Read(void* buffer, ULONG count, ULONG* read) override
    {
        if (!buffer && count)
            return E_POINTER;
        const std::uint64_t available = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
        const ULONG n = static_cast<ULONG>(std::min<std::uint64_t>(count, available));
        if (n)
            std::memcpy(buffer, m_bytes.data() + m_position, n);
        m_position += n;
        if (read)
            *read = n;
        return n < count ? S_FALSE : S_OK;
    }
    HRESULT Write(const void* buffer, ULONG count, ULONG* written) override
    {
        if (written)
            *written = 0;
        if (!buffer && count)
            return E_POINTER;
        const std::uint64_t end = m_position + count;
        try {
            if (end > m_bytes.size())
                m_bytes.resize(static_cast<std::size_t>(end));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (count)
            std::memcpy(m_bytes.data() + m_position, buffer, count);
        m_position = end;
        if (written)
            *written = count;
        return S_OK;
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        std::uint64_t target;
        if (!seekTarget(move, origin, m_position, m_bytes.size(), target))
            return STG_E_INVALIDFUNCTION;
        m_position = target;
        if (position)
            position->QuadPart = target;
        return S_OK;
    }

private:
    std::vector<unsigned char> m_bytes;
    std::uint64_t m_position = 0;
};

class FileStream : public Counted {
public:
    explicit FileStream(HANDLE file) : m_file(file) {}
    ~FileStream() override { CloseHandle(m_file); }
    HRESULT Read(void* buffer, ULONG count, ULONG* read) override
    {
        DWORD n = 0;
        if (!ReadFile(m_file, buffer, count, &n, nullptr))
            return STG_E_READFAULT;
        if (read)
            *read = n;
        return n < count ? S_FALSE : S_OK;
    }
    HRESULT Write(const void* buffer, ULONG count, ULONG* written) override
    {
        DWORD n = 0;
        const BOOL ok = WriteFile(m_file, buffer, count, &n, nullptr);
        if (written)
            *written = n;
        return ok ? S_OK : STG_E_MEDIUMFULL;
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        LONG high = 0;
        const DWORD low = SetFilePointer(m_file, 0, &high, FILE_CURRENT);
        const std::uint64_t current = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
        DWORD sizeHigh = 0;
        const DWORD sizeLow = GetFileSize(m_file, &sizeHigh);
        const std::uint64_t size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
        std::uint64_t target;
        if (!seekTarget(move, origin, current, size, target))
            return STG_E_INVALIDFUNCTION;
        LONG targetHigh = static_cast<LONG>(target >> 32);
        SetFilePointer(m_file, static_cast<LONG>(target & 0xFFFFFFFF), &targetHigh, FILE_BEGIN);
        if (position)
            position->QuadPart = target;
        return S_OK;
    }

private:
    const HANDLE m_file;
};

} // namespace

IStream* createMemoryStream()
{
    return new (std::nothrow) MemoryStream;
}

IStream* createFileStream(LPCWSTR path, bool write)
{
    const HANDLE file = CreateFileW(path, write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    write ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    IStream* stream = new (std::nothrow) FileStream(file);
    if (!stream)
        CloseHandle(file);
    return stream;
}

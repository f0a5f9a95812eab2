#include "devices/btConfigFile.h"

#include "platform/deviceRoot.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool readLength(std::FILE* f, std::uint32_t& value)
{
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4)
        return false;
    value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return true;
}

// One text record; false for a refused length or a short read.
bool readText(std::FILE* f, std::string& text)
{
    std::uint32_t n = 0;
    // A length negative as a signed number is above the buffer as an unsigned one: refused.
    if (!readLength(f, n) || n > kBtConfigRecordBuffer)
        return false;
    char buffer[kBtConfigRecordBuffer];
    if (n > 0 && std::fread(buffer, 1, n, f) != n)
        return false;
    size_t length = 0;
    while (length < n && buffer[length] != '\0')
        ++length;
    text.assign(buffer, length);
    return true;
}

bool equalsNoCase(const std::string& text, const char* wanted)
{
    size_t i = 0;
    for (; i < text.size() && wanted[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(wanted[i])))
            return false;
    return i == text.size() && !wanted[i];
}

} // namespace

ECommPort GetBtConfigComPort(const wchar_t* devicePath)
{
    std::unique_ptr<std::FILE, FileCloser> f(devicePath ? deviceFopen(devicePath, "rb") : nullptr);
    std::string device, second, port;
    std::uint32_t number = 0;
    if (!f || !readText(f.get(), device) || device.empty() || equalsNoCase(device, "N/A"))
        return COMM_PORT_NONE;
    if (!readText(f.get(), second) || !readLength(f.get(), number) || !readText(f.get(), port))
        return COMM_PORT_NONE;
    if (equalsNoCase(port, "COM1:"))
        return COMM_PORT_1;
    return equalsNoCase(port, "COM2:") ? COMM_PORT_2 : COMM_PORT_NONE;
}

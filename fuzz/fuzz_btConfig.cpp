// The "BtConfig.ini" reader against a plain model of its records (a 32-bit little-endian
// length up to 272, that many bytes, a text ending at a zero byte; the device, a second text,
// an integer, the port).
#include "fuzzRoot.h"

#include "devices/btConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Reader {
    const std::string& bytes;
    std::size_t at = 0;
    bool u32(std::uint64_t& n)
    {
        if (bytes.size() - at < 4)
            return false;
        n = 0;
        for (int i = 3; i >= 0; --i)
            n = n * 256 + static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        at += 4;
        return true;
    }
    bool text(std::string& out)
    {
        std::uint64_t n = 0;
        if (!u32(n) || n > 272 || bytes.size() - at < n)
            return false;
        out = bytes.substr(at, static_cast<std::size_t>(n));
        out.resize(std::strlen(out.c_str()));
        at += static_cast<std::size_t>(n);
        return true;
    }
};

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

int modelPort(const std::string& bytes)
{
    Reader r{bytes};
    std::string device, second, port;
    std::uint64_t number = 0;
    if (!r.text(device) || device.empty() || upper(device) == "N/A")
        return 0;
    if (!r.text(second) || !r.u32(number) || !r.text(port))
        return 0;
    return upper(port) == "COM1:" ? 1 : upper(port) == "COM2:" ? 2 : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile("BtConfig.ini", bytes);
    if (GetBtConfigComPort() != modelPort(bytes))
        std::abort();
    return 0;
}

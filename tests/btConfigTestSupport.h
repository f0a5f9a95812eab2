// Bytes of a "BtConfig.ini" file for the tests: records of a 32-bit little-endian length and
// the text; and a plain model of the reader (a length up to 272, that many bytes, a text ending
// at a zero byte; the device, a second text, an integer, the port), which the fuzz test and the
// fuzz harness compare the reader with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace bttest {

inline std::string le32(std::uint32_t n)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((n >> (8 * i)) & 0xFF);
    return out;
}

inline std::string record(const std::string& text) { return le32(static_cast<std::uint32_t>(text.size())) + text; }

// device, second field, the integer, port.
inline std::string btConfig(const std::string& device, const std::string& port,
                            const std::string& second = "Pair", std::uint32_t number = 7)
{
    return record(device) + record(second) + le32(number) + record(port);
}

// The model's records, read from a string.
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

inline std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

inline int modelPort(const std::string& bytes)
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

} // namespace bttest

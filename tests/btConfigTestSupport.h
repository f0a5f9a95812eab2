// Bytes of a "BtConfig.ini" file for the tests: records of a 32-bit little-endian length and
// the text.
#pragma once

#include <cstdint>
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

} // namespace bttest

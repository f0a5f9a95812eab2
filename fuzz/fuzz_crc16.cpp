// CRC-16 against a bitwise model of its definition (polynomial 0x1021, most significant bit
// first, no reflection, no final XOR), from the input's first two bytes as the starting
// value, over the rest in one piece and in two.
#include "files/crc16.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

unsigned short bitwise(unsigned short crc, const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<unsigned short>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<unsigned short>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    static const CCRC16 crc;
    const unsigned short start = static_cast<unsigned short>(data[0] << 8 | data[1]);
    const std::uint8_t* body = data + 2;
    const std::size_t length = size - 2;
    const unsigned short whole = crc.ComputeCRC16(start, body, static_cast<int>(length));
    if (whole != bitwise(start, body, length))
        std::abort();
    const std::size_t cut = length ? body[0] % (length + 1) : 0;
    const unsigned short first = crc.ComputeCRC16(start, body, static_cast<int>(cut));
    if (crc.ComputeCRC16(first, body + cut, static_cast<int>(length - cut)) != whole)
        std::abort();
    return 0;
}

// The "BtConfig.ini" reader against a plain model of its records (a 32-bit little-endian
// length up to 272, that many bytes, a text ending at a zero byte; the device, a second text,
// an integer, the port).
#include "fuzzRoot.h"

#include "devices/btConfigFile.h"
#include "tests/btConfigTestSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile("BtConfig.ini", bytes);
    if (GetBtConfigComPort() != bttest::modelPort(bytes))
        std::abort();
    return 0;
}

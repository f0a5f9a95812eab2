// The reader of "BtConfig.ini".
#include "btConfigTestSupport.h"
#include "deviceRootFixture.h"

#include "devices/btConfigFile.h"

#include <gtest/gtest.h>

namespace {

using bttest::btConfig;
using bttest::le32;
using bttest::record;

class BtConfigFileTest : public DeviceRootTest {};

TEST_F(BtConfigFileTest, PortByRecords)
{
    const std::string full = btConfig("GPS Receiver", "COM1:");
    struct Case {
        const char* what;
        std::string bytes;
        int port;
    } cases[] = {
        {"COM1:", full, 1},
        {"COM2: in any case", btConfig("GPS", "cOm2:"), 2},
        {"other ports", btConfig("GPS", "COM3:"), 0},
        {"no colon", btConfig("GPS", "COM1"), 0},
        {"blank after", btConfig("GPS", "COM1: "), 0},
        {"device N/A", btConfig("N/A", "COM1:"), 0},
        {"device n/a", btConfig("n/a", "COM2:"), 0},
        {"empty device", btConfig("", "COM1:"), 0},
        {"N/A alone is enough", record("N/A"), 0},
        {"a zero byte ends a text", btConfig("GPS", std::string("COM2:\0junk", 10)), 2},
        {"a device of a zero byte is empty", btConfig(std::string("\0GPS", 4), "COM1:"), 0},
        {"a 272-byte record fits", btConfig(std::string(272, 'x'), "COM1:", std::string(272, 'y')), 1},
        {"273 bytes do not", btConfig("GPS", "COM1:", std::string(273, 'y')), 0},
        {"a length negative as signed", record("GPS") + le32(0x80000000u) + "Pair" + le32(7) + record("COM1:"), 0},
        {"a length of all ones", record("GPS") + le32(0xFFFFFFFFu) + record("COM1:"), 0},
        {"a length past the end", record("GPS") + record("Pair") + le32(7) + le32(5) + "COM1", 0},
        {"the integer cut short", record("GPS") + record("Pair") + "\x07\x00", 0},
        {"no port record", record("GPS") + record("Pair") + le32(7), 0},
        {"a length cut short", record("GPS") + "\x04\x00", 0},
        {"empty file", "", 0},
        {"bytes after the port are not read", full + "anything", 1},
    };
    for (const Case& c : cases) {
        writeHost("BtConfig.ini", c.bytes);
        EXPECT_EQ(GetBtConfigComPort(), c.port) << c.what;
    }
}

TEST_F(BtConfigFileTest, RelativeNameIsAtTheRootInAnyCase)
{
    EXPECT_EQ(GetBtConfigComPort(), 0);  // no file
    writeHost("btconfig.INI", btConfig("GPS", "COM2:"));
    EXPECT_EQ(GetBtConfigComPort(), 2);
    EXPECT_EQ(GetBtConfigComPort(L"\\BtConfig.ini"), 2);
    EXPECT_EQ(GetBtConfigComPort(L"\\Windows\\BtConfig.ini"), 0);
    EXPECT_EQ(GetBtConfigComPort(nullptr), 0);
}

} // namespace

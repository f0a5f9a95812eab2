#include "files/crc16.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

TEST(Crc16, PublishedCheckValues)
{
    // Check values of the published CRC-16 catalogue for the nine ASCII digits.
    struct Case { const char* text; unsigned short start, expected; const char* reason; };
    const Case cases[] = {
        {"123456789", 0xFFFF, 0x29B1, "CRC-16/CCITT-FALSE"},
        {"123456789", 0x0000, 0x31C3, "CRC-16/XMODEM"},
        {"", 0x1234, 0x1234, "empty buffer keeps the start"},
        {"A", 0x0000, 0x58E5, "single byte from 0 is the table entry 0x41"},
    };
    CCRC16 crc;
    for (const Case& c : cases)
        EXPECT_EQ(crc.ComputeCRC16(c.start, c.text, static_cast<int>(std::strlen(c.text))), c.expected) << c.reason;
}

TEST(Crc16, TableEndsAndBadArguments)
{
    CCRC16 crc;
    const unsigned short* table = crc.CRC16Init();
    EXPECT_EQ(std::vector<unsigned short>(table, table + 4),
              (std::vector<unsigned short>{0x0000, 0x1021, 0x2042, 0x3063}));
    EXPECT_EQ(table[255], 0x1EF0);
    char byte = 'x';
    EXPECT_EQ(crc.ComputeCRC16(0xFFFF, nullptr, 0), 0) << "a null buffer is an error even with length 0";
    EXPECT_EQ(crc.ComputeCRC16(0xFFFF, &byte, -1), 0) << "negative length";
}

TEST(Crc16, TwoPiecesEqualOne)
{
    std::mt19937 rng(1234);
    CCRC16 crc;
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<unsigned char> data(rng() % 300);
        for (unsigned char& b : data)
            b = static_cast<unsigned char>(rng());
        const size_t split = data.empty() ? 0 : rng() % (data.size() + 1);
        const unsigned short start = static_cast<unsigned short>(rng());
        const unsigned short whole = crc.ComputeCRC16(start, data.data(), static_cast<int>(data.size()));
        const unsigned short first = crc.ComputeCRC16(start, data.data(), static_cast<int>(split));
        const unsigned short both = crc.ComputeCRC16(first, data.data() + split, static_cast<int>(data.size() - split));
        ASSERT_EQ(both, whole) << "trial " << trial << " size " << data.size() << " split " << split;
    }
}

TEST(Crc16, CopiesShareNothingButAgree)
{
    CCRC16* made = CreateCRC16();
    ASSERT_NE(made, nullptr);
    CCRC16 copy(*made);
    DeleteCRC16(made);
    DeleteCRC16(nullptr);
    EXPECT_EQ(copy.ComputeCRC16(0xFFFF, "123456789", 9), 0x29B1);
}

} // namespace

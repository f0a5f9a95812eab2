#include "files/crc16.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

struct CrcCase {
    const char* text;
    unsigned short start;
    unsigned short expected;
    const char* reason;
};

TEST(Crc16, PublishedCheckValues)
{
    // Check values of the published CRC-16 catalogue for the nine ASCII digits.
    const CrcCase cases[] = {
        {"123456789", 0xFFFF, 0x29B1, "CRC-16/CCITT-FALSE"},
        {"123456789", 0x0000, 0x31C3, "CRC-16/XMODEM"},
        {"", 0xFFFF, 0xFFFF, "empty buffer keeps the start"},
        {"", 0x1234, 0x1234, "empty buffer keeps any start"},
        {"A", 0x0000, 0x58E5, "single byte from 0 is the table entry 0x41"},
    };
    CCRC16 crc;
    for (const CrcCase& c : cases) {
        EXPECT_EQ(crc.ComputeCRC16(c.start, c.text, static_cast<int>(std::strlen(c.text))), c.expected)
            << c.reason;
    }
}

TEST(Crc16, TableEnds)
{
    CCRC16 crc;
    unsigned short* table = crc.CRC16Init();
    const unsigned short first[] = {0x0000, 0x1021, 0x2042, 0x3063};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(table[i], first[i]) << "entry " << i;
    EXPECT_EQ(table[255], 0x1EF0);
}

TEST(Crc16, BadArgumentsGiveZero)
{
    CCRC16 crc;
    char byte = 'x';
    EXPECT_EQ(crc.ComputeCRC16(0xFFFF, nullptr, 0), 0) << "a null buffer is an error even with length 0";
    EXPECT_EQ(crc.ComputeCRC16(0xFFFF, &byte, -1), 0) << "negative length";
}

TEST(Crc16, TwoPiecesEqualOne)
{
    std::mt19937 rng(1234);
    CCRC16 crc;
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<unsigned char> data(rng() % 300);
        for (unsigned char& b : data)
            b = static_cast<unsigned char>(rng());
        size_t split = data.empty() ? 0 : rng() % (data.size() + 1);
        unsigned short start = static_cast<unsigned short>(rng());
        unsigned short whole = crc.ComputeCRC16(start, data.data(), static_cast<int>(data.size()));
        unsigned short first = crc.ComputeCRC16(start, data.data(), static_cast<int>(split));
        unsigned short both = crc.ComputeCRC16(first, data.data() + split, static_cast<int>(data.size() - split));
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

#include "files/crc16.h"

#include "files/logFile.h"

#include <new>

namespace {
const unsigned short kPolynomial = 0x1021;
}

CCRC16::CCRC16()
{
    CRC16Init();
}

unsigned short* CCRC16::CRC16Init()
{
    for (unsigned int i = 0; i < 256; ++i) {
        unsigned int crc = i << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000u) ? ((crc << 1) ^ kPolynomial) : (crc << 1);
        table_[i] = static_cast<unsigned short>(crc & 0xFFFFu);
    }
    return table_;
}

unsigned short CCRC16::ComputeCRC16(unsigned short crc, const void* data, int length) const
{
    if (data == nullptr || length < 0) {
        LOGMESSAGE(1, "CCommonFunc::ComputeCRC16: tablem length %d < 0", length);
        return 0;
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    unsigned int value = crc;
    for (int i = 0; i < length; ++i) {
        unsigned int index = (bytes[i] ^ (value >> 8)) & 0xFFu;
        value = (table_[index] ^ (value << 8)) & 0xFFFFu;
    }
    return static_cast<unsigned short>(value);
}

CCRC16* CreateCRC16()
{
    return new (std::nothrow) CCRC16();
}

void DeleteCRC16(CCRC16* crc)
{
    delete crc;
}

// CRC-16 over byte buffers: generator polynomial 0x1021, most significant bit first,
// no reflection and no final XOR. The caller supplies the starting value, so one object
// serves a single computation and a running one over several buffers:
//   start 0xFFFF gives CRC-16/CCITT-FALSE ("123456789" -> 0x29B1),
//   start 0x0000 gives CRC-16/XMODEM      ("123456789" -> 0x31C3).
#pragma once

class CCRC16 {
public:
    CCRC16();
    CCRC16(const CCRC16& other) = default;
    CCRC16& operator=(const CCRC16& other) = default;
    virtual ~CCRC16() = default;

    // (Re)builds the table: entry i is the CRC of the single byte i. Returns the first entry.
    unsigned short* CRC16Init();

    // Continues `crc` over `length` bytes at `data`. A null buffer or a negative length is
    // an error: it is logged (level 1) and the result is 0. A length of 0 returns `crc`.
    unsigned short ComputeCRC16(unsigned short crc, const void* data, int length) const;

private:
    unsigned short table_[256];
};

// A new object with its table built; null when memory is exhausted.
CCRC16* CreateCRC16();
// Destroys an object made by CreateCRC16; a null pointer is ignored.
void DeleteCRC16(CCRC16* crc);

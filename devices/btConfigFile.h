// The Bluetooth stack's configuration file "BtConfig.ini": which Bluetooth device is set up and
// on which serial port. The name is relative, and the controller has no current folder: the
// file is the one at the top of the device root (platform/deviceRoot.h).
//
// The file is binary, a sequence of records read in this order:
//   1. text: the configured device ("N/A" when none);
//   2. text: a second field (not used here);
//   3. a 32-bit integer (not used here);
//   4. text: the port name ("COM1:").
// A text record is a 32-bit little-endian length n followed by n bytes; the integer is 4 bytes.
// The texts are taken as 8-bit text (one byte, one character; the system code page), and a
// text ends at its first zero byte if it holds one, as the stack's fixed buffer would show it.
// A length above the 272-byte buffer (272 itself fits), negative as a signed 32-bit number or
// reaching past the end of the file refuses the file, as does any record cut short.
#pragma once

#include "devices/commPort.h"

#include <string>

constexpr unsigned kBtConfigRecordBuffer = 272;  // bytes

// The port the file names: 0 when the file cannot be opened or is refused, when the device
// is empty or "N/A" (any case; the other records are then not read), and for every port name
// but "COM1:" (1) and "COM2:" (2), compared ignoring case.
ECommPort GetBtConfigComPort(const wchar_t* devicePath = L"BtConfig.ini");

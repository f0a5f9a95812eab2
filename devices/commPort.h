// ECommPort: a serial port number as the device drivers name it: 0 no port, 1 COM1, 2 COM2,
// and so on. Any int value can be held (the enumeration has int as its fixed base type), so
// values read from settings or devices never leave the type's range.
#pragma once

enum ECommPort : int {
    COMM_PORT_NONE = 0,
    COMM_PORT_1 = 1,
    COMM_PORT_2 = 2,
    COMM_PORT_3 = 3,
    COMM_PORT_4 = 4,
};

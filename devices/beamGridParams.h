// BeamGridParams: the records exchanged with the laser-zone devices (up to four laser
// transmitters on a site and a sensor that receives their beams), and the words of the
// transmitters' and sensor's commands.
//
// All records are plain value types: copy construction and assignment copy every field.
// The framing and checking of the serial messages is in devices/beamGridMessages.h, the
// height reductions in devices/beamGridHeights.h and the transmitter file in
// devices/transmitterFile.h. Heights and offsets are metres.
#pragma once

#include "devices/commPort.h"
#include "platform/CString.h"

#include <cstdint>

namespace BeamGridParams {

// A transmitter's channel: 0 to 3 for channels 1 to 4, 4 for any channel. Values outside
// 0..4 can be held (int base type) and are treated as "any".
enum ETransmitterChannel : int {
    TRANSMITTER_CHANNEL_1 = 0,
    TRANSMITTER_CHANNEL_2 = 1,
    TRANSMITTER_CHANNEL_3 = 2,
    TRANSMITTER_CHANNEL_4 = 3,
    TRANSMITTER_CHANNEL_ANY = 4,
};

// One block of device data: a leading byte and 100 data bytes, all zero when made. What the
// bytes mean is the application's.
struct DataBlock {
    unsigned char head = 0;
    unsigned char data[100] = {};
};

struct CalibrationData {
    DataBlock blocks[4];
};

// The sensor's set-up: three integers (0, 4, 9 when made; their meaning is the
// application's) and four calibration records.
struct SetSensorParams {
    SetSensorParams() = default;
    SetSensorParams(const SetSensorParams&) = default;
    SetSensorParams& operator=(const SetSensorParams&) = default;
    virtual ~SetSensorParams() = default;

    std::int32_t value1 = 0;
    std::int32_t value2 = 4;
    std::int32_t value3 = 9;
    CalibrationData calibration[4];
};

// The start-up parameters of a session with the devices, and the words that the
// application puts into its commands. The four reals and three option flags are the
// application's; only their values when made are fixed here.
struct StartParams {
    StartParams() = default;
    StartParams(const StartParams&) = default;
    StartParams& operator=(const StartParams&) = default;
    virtual ~StartParams() = default;

    ETransmitterChannel transmitterChannel = TRANSMITTER_CHANNEL_ANY;
    ECommPort sensorPort = COMM_PORT_4;
    double real1 = 3.0;
    double real2 = 10000.0;
    double real3 = 0.1059;
    double real4 = 0.3;
    bool transmittersInUse[4] = {true, true, true, true};
    bool options[3] = {false, false, false};

    // "1" to "4" for channels 0 to 3; "any" for 4 and every other value.
    static CString GetTransChannelAsString(ETransmitterChannel channel);
    // "on" when list[0] is true, else "off"; only the first entry is looked at ("off" for a
    // null list).
    static CString GetTransListAsString(const bool* list);
    // 'a', 'b', 'c' for ports 1, 2, 3; 'd' for 0 and every other value.
    static char GetSensorPortAsChar(ECommPort port);
    static CString GetAfAsString(bool on);           // "on" / "off"
    static CString GetSelfCalibAsString(bool self);  // "slf" / "fix"
    static CString GetWeightingAsString(bool on);    // "1.0" / "0.0"
};

// A known point of the application: all fields zero when made (their meaning is the
// application's).
struct KnownPoint {
    KnownPoint() = default;
    KnownPoint(const KnownPoint&) = default;
    KnownPoint& operator=(const KnownPoint&) = default;
    virtual ~KnownPoint() = default;

    int number = 0;
    double values[4] = {0.0, 0.0, 0.0, 0.0};
    bool flag1 = false;
    double value5 = 0.0;
    bool flag2 = false;
    int kind = 0;
};

// One transmitter's identity. Made in its reset state.
struct TransData {
    bool valid = false;
    CString SN;             // serial number
    CString dataBlock[4];   // the calibration data as received
    int channel = -1;       // channel index 0 to 3, -1 when reset

    void Reset() { *this = TransData(); }
};

// One transmitter's set-up. Made in its reset state.
struct TransPos {
    CString name;
    bool valid = false;               // the fields below hold data
    double coords[3] = {0.0, 0.0, 0.0};  // three coordinates, only in files of version 0.1
    double height = 0.0;              // metres
    double offset = 0.0;              // metres
    bool vertical = true;             // false: the height is a slant measurement
    bool fixed = false;               // stands on the fixed mount (height 2.073, vertical)

    void Reset() { *this = TransPos(); }
};

// The four channels' identities and set-ups (index i is channel i + 1).
struct TransInfo {
    TransData data[4];
    TransPos pos[4];

    void Reset();
};

} // namespace BeamGridParams

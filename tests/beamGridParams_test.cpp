// The laser-zone records: values when made, copies of every field, the command words.
#include "devices/beamGridParams.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace BeamGridParams;

namespace {

TEST(BeamGridRecords, ValuesWhenMade)
{
    const DataBlock block;
    static_assert(sizeof(DataBlock) == 101, "one byte and 100 bytes");
    const unsigned char zeros[101] = {};
    EXPECT_EQ(std::memcmp(&block, zeros, sizeof block), 0);

    const SetSensorParams sensor;
    EXPECT_EQ(sensor.value1, 0);
    EXPECT_EQ(sensor.value2, 4);
    EXPECT_EQ(sensor.value3, 9);
    EXPECT_EQ(sensor.calibration[3].blocks[3].data[99], 0);

    const StartParams start;
    EXPECT_EQ(start.transmitterChannel, TRANSMITTER_CHANNEL_ANY);
    EXPECT_EQ(start.sensorPort, 4);
    EXPECT_EQ(start.real1, 3.0);
    EXPECT_EQ(start.real2, 10000.0);
    EXPECT_EQ(start.real3, 0.1059);
    EXPECT_EQ(start.real4, 0.3);
    for (bool b : start.transmittersInUse)
        EXPECT_TRUE(b);
    for (bool b : start.options)
        EXPECT_FALSE(b);

    const KnownPoint point;
    EXPECT_EQ(point.number, 0);
    EXPECT_EQ(point.values[3], 0.0);
    EXPECT_FALSE(point.flag1);
    EXPECT_EQ(point.value5, 0.0);
    EXPECT_FALSE(point.flag2);
    EXPECT_EQ(point.kind, 0);

    const TransData data;
    EXPECT_FALSE(data.valid);
    EXPECT_EQ(data.channel, -1);
    const TransPos pos;
    EXPECT_FALSE(pos.valid);
    EXPECT_TRUE(pos.vertical);
    EXPECT_FALSE(pos.fixed);
    EXPECT_EQ(pos.height, 0.0);
    EXPECT_EQ(pos.offset, 0.0);
}

TEST(BeamGridRecords, CopiesCarryEveryField)
{
    StartParams start;
    start.transmitterChannel = TRANSMITTER_CHANNEL_3;
    start.sensorPort = COMM_PORT_2;
    start.real1 = 1.5;
    start.real2 = 2.5;
    start.real3 = 3.5;
    start.real4 = 4.5;
    start.transmittersInUse[2] = false;
    start.options[1] = true;
    StartParams assigned;
    assigned = start;
    for (const StartParams& s : {StartParams(start), assigned}) {
        EXPECT_EQ(s.transmitterChannel, TRANSMITTER_CHANNEL_3);
        EXPECT_EQ(s.sensorPort, COMM_PORT_2);
        EXPECT_EQ(s.real1 + s.real2 + s.real3 + s.real4, 12.0);
        EXPECT_FALSE(s.transmittersInUse[2]);
        EXPECT_TRUE(s.options[1]);
    }

    SetSensorParams sensor;
    sensor.value3 = 77;
    sensor.calibration[2].blocks[1].head = 5;
    sensor.calibration[3].blocks[3].data[99] = 9;
    SetSensorParams sensorCopy;
    sensorCopy = sensor;
    EXPECT_EQ(sensorCopy.value3, 77);
    EXPECT_EQ(sensorCopy.calibration[2].blocks[1].head, 5);
    EXPECT_EQ(SetSensorParams(sensor).calibration[3].blocks[3].data[99], 9);

    TransInfo info;
    info.data[1].valid = true;
    info.data[1].SN = L"SN-2";
    info.data[1].dataBlock[3] = L"d4";
    info.data[1].channel = 1;
    info.pos[1].name = L"North";
    info.pos[1].coords[2] = 7.0;
    info.pos[1].offset = 0.25;
    info.pos[1].fixed = true;
    const TransInfo copy(info);
    EXPECT_EQ(copy.data[1].SN, CString(L"SN-2"));
    EXPECT_EQ(copy.data[1].dataBlock[3], CString(L"d4"));
    EXPECT_EQ(copy.pos[1].name, CString(L"North"));
    EXPECT_EQ(copy.pos[1].coords[2], 7.0);
    EXPECT_TRUE(copy.pos[1].fixed);

    info.Reset();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(info.data[i].channel, -1);
        EXPECT_TRUE(info.data[i].SN.IsEmpty());
        EXPECT_TRUE(info.pos[i].name.IsEmpty());
        EXPECT_EQ(info.pos[i].coords[2], 0.0);
        EXPECT_FALSE(info.pos[i].fixed);
    }
}

TEST(StartParamsText, Words)
{
    struct Case { int channel; const wchar_t* text; };
    for (const Case& c : {Case{0, L"1"}, Case{3, L"4"}, Case{4, L"any"}, Case{-1, L"any"}, Case{99, L"any"}})
        EXPECT_EQ(StartParams::GetTransChannelAsString(static_cast<ETransmitterChannel>(c.channel)), CString(c.text))
            << c.channel;

    struct Port { int port; char letter; };
    for (const Port& p : {Port{1, 'a'}, Port{2, 'b'}, Port{3, 'c'}, Port{0, 'd'}, Port{4, 'd'}, Port{-3, 'd'}})
        EXPECT_EQ(StartParams::GetSensorPortAsChar(static_cast<ECommPort>(p.port)), p.letter) << p.port;

    const bool firstOn[4] = {true, false, false, false};
    const bool firstOff[4] = {false, true, true, true};
    EXPECT_EQ(StartParams::GetTransListAsString(firstOn), CString(L"on"));
    EXPECT_EQ(StartParams::GetTransListAsString(firstOff), CString(L"off"));
    EXPECT_EQ(StartParams::GetAfAsString(true), CString(L"on"));
    EXPECT_EQ(StartParams::GetAfAsString(false), CString(L"off"));
    EXPECT_EQ(StartParams::GetSelfCalibAsString(true), CString(L"slf"));
    EXPECT_EQ(StartParams::GetSelfCalibAsString(false), CString(L"fix"));
    EXPECT_EQ(StartParams::GetWeightingAsString(true), CString(L"1.0"));
    EXPECT_EQ(StartParams::GetWeightingAsString(false), CString(L"0.0"));
}

} // namespace

// The laser-zone records: values when made, the reset, the command words.
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

// The records copy by the compiler's defaults; Reset is the one rule to check.
TEST(BeamGridRecords, ResetClearsEveryTransmitter)
{
    TransInfo info;
    for (int i = 0; i < 4; ++i) {
        info.data[i].SN = L"SN";
        info.data[i].channel = i;
        info.pos[i].name = L"North";
        info.pos[i].coords[2] = 7.0;
        info.pos[i].fixed = true;
    }
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

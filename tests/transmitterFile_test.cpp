// The transmitter file "\BeamGridData.ini": loading every version, the earlier file name,
// saving as version 0.40, and random records saved and loaded back. Each test has a device
// root of its own; the file lies in ROOT/Program Files/fieldcore/FileSettings.
#include "deviceRootFixture.h"

#include "devices/transmitterFile.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

using namespace BeamGridParams;

namespace {

const char* const kFolder = "Program Files/fieldcore/FileSettings/";
const std::string kFile = std::string(kFolder) + "BeamGridData.ini";

const char* const kBlocks = "DataBlock1=b1\nDataBlock2=b2\nDataBlock3=b3\nDataBlock4=b4\n";

std::string channel(int n, const std::string& sn, const std::string& keys)
{
    return "[CHANNEL" + std::to_string(n) + "]\nSN=" + sn + "\n" + kBlocks + keys;
}

// A record whose every field differs from the reset state, to see what a call changes.
TransInfo marked()
{
    TransInfo info;
    for (int i = 0; i < 4; ++i) {
        info.data[i].valid = true;
        info.data[i].SN = L"old";
        info.data[i].channel = 9;
        info.pos[i].name = L"old";
        info.pos[i].valid = true;
        info.pos[i].height = 99.0;
    }
    return info;
}

bool isMarked(const TransInfo& info)
{
    for (int i = 0; i < 4; ++i)
        if (info.data[i].SN != CString(L"old") || info.data[i].channel != 9 || info.pos[i].height != 99.0)
            return false;
    return true;
}

bool isReset(const TransData& d, const TransPos& p)
{
    return !d.valid && d.SN.IsEmpty() && d.channel == -1 && d.dataBlock[3].IsEmpty() && !p.valid &&
           p.name.IsEmpty() && p.height == 0.0 && p.offset == 0.0 && p.vertical && !p.fixed;
}

class TransmitterFile : public DeviceRootTest {};

// A missing file (its folder is made) and one that cannot be read (a folder in its place).
TEST_F(TransmitterFile, MissingOrUnreadableFileLeavesTheRecord)
{
    for (bool missing : {true, false}) {
        if (!missing)
            std::filesystem::create_directories(host(kFile));
        TransInfo info = marked();
        EXPECT_FALSE(LoadTransmitterInfo(info)) << missing;
        EXPECT_TRUE(isMarked(info)) << missing;
        EXPECT_TRUE(hostExists(kFolder)) << missing;
    }
}

TEST_F(TransmitterFile, WrongOrMissingVersionFailsAfterTheReset)
{
    for (const std::string head : {"[VERSION]\nversion=0.5\n", "", "[VERSION]\nversion=\n", "[VERSION]\nversion=x\n",
                                    "[VERSION]\nversion=0.41\n"}) {
        writeHost(kFile, head + channel(1, "A", "Height=1.0V\n"));
        TransInfo info = marked();
        EXPECT_FALSE(LoadTransmitterInfo(info)) << head;
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(isReset(info.data[i], info.pos[i])) << head << " channel " << i;
    }
}

// Single precision: every text that reads as the float of a known version is that version.
TEST_F(TransmitterFile, VersionComparedInSinglePrecision)
{
    for (const char* v : {"0.40", "0.4", "0.4000000001", "4e-1", "0.30", "0.2", "0.100"}) {
        writeHost(kFile, std::string("[VERSION]\nversion=") + v + "\n");
        TransInfo info;
        EXPECT_TRUE(LoadTransmitterInfo(info)) << v;
    }
}

TEST_F(TransmitterFile, EarlierFileIsRenamedWhenTheNewNameIsMissing)
{
    const std::string earlier = std::string(kFolder) + "Qadra2Data.ini";
    writeHost(earlier, "[VERSION]\nversion=0.40\n" + channel(2, "Q", "Height=1.5V\nName=Old name\n"));
    TransInfo info;
    ASSERT_TRUE(LoadTransmitterInfo(info));
    EXPECT_EQ(info.pos[1].name, CString(L"Old name"));
    EXPECT_FALSE(hostExists(earlier));
    EXPECT_TRUE(hostExists(kFile));

    // Both there: the earlier file is left alone.
    writeHost(earlier, "[VERSION]\nversion=0.40\n" + channel(2, "Q", "Height=1.5V\nName=Other\n"));
    ASSERT_TRUE(LoadTransmitterInfo(info));
    EXPECT_EQ(info.pos[1].name, CString(L"Old name"));
    EXPECT_TRUE(hostExists(earlier));
}

TEST_F(TransmitterFile, Version01ReadsPos)
{
    writeHost(kFile, "[VERSION]\nversion=0.1\n" + channel(1, "A", "Pos={1.5,2.5,3.5,1.25,S}\nName=ignored\n") +
                         channel(2, "B", "Pos={1,2,3,0.5,V}\n") + channel(3, "C", "Pos={1,2,3}\n") +
                         channel(4, "D", "Height=1.0V\n"));
    TransInfo info;
    ASSERT_TRUE(LoadTransmitterInfo(info));
    EXPECT_TRUE(info.pos[0].valid);
    EXPECT_EQ(info.pos[0].coords[0], 1.5);
    EXPECT_EQ(info.pos[0].coords[2], 3.5);
    EXPECT_EQ(info.pos[0].height, 1.25);
    EXPECT_FALSE(info.pos[0].vertical);
    EXPECT_TRUE(info.pos[0].name.IsEmpty());
    EXPECT_TRUE(info.pos[1].valid && info.pos[1].vertical);
    for (int i : {2, 3}) {  // too few fields; no Pos at all
        EXPECT_TRUE(info.data[i].valid) << i;
        EXPECT_EQ(info.data[i].channel, i);
        EXPECT_FALSE(info.pos[i].valid) << i;
    }
}

TEST_F(TransmitterFile, SetupsByVersion)
{
    struct Case { const char* version; const char* keys; bool valid; double height; bool vertical; bool fixed;
                  const wchar_t* name; double offset; };
    const Case cases[] = {
        {"0.2", "Height=1.500000V\nName=A\nOffset=2\n", true, 1.5, true, false, L"A", 0.0},  // no offset before 0.4
        {"0.2", "Height=1.5S\nName=A\n", true, 1.5, false, false, L"A", 0.0},
        {"0.2", "Height=1.5x\nName=A\n", true, 1.5, true, false, L"A", 0.0},   // any letter but S: vertical
        {"0.2", "Height=1.5\nName=A\n", false, 0.0, true, false, L"", 0.0},    // no letter
        {"0.2", "Height=Fixed\nName=A\n", false, 0.0, true, false, L"", 0.0},  // Fixed from 0.3 on
        {"0.2", "Name=A\n", false, 0.0, true, false, L"", 0.0},
        {"0.3", "Height=Fixed\nName=F\n", true, 2.073, true, true, L"F", 0.0},
        {"0.3", "Height=fixed\nName=F\n", false, 0.0, true, false, L"", 0.0},  // exact word only
        {"0.3", "Height=Fixed \nName=F\n", false, 0.0, true, false, L"", 0.0},
        {"0.4", "Height=-0.25S\nName= B \nOffset=0.125\n", true, -0.25, false, false, L" B ", 0.125},
        {"0.4", "Height=1.0V\n", true, 1.0, true, false, L"", 0.0},            // missing name and offset
        {"0.4", "Height=Fixed\nOffset=0.5\n", true, 2.073, true, true, L"", 0.5},
        {"0.4", "Height=nanV\nName=N\n", false, 0.0, true, false, L"", 0.0},   // not finite
        {"0.4", "Height=infS\nName=N\n", false, 0.0, true, false, L"", 0.0},
        {"0.4", "Height=1.0V\nName=N\nOffset=-inf\n", false, 0.0, true, false, L"", 0.0},
        {"0.4", "Height=1.0V\nName=N\nOffset=x\n", true, 1.0, true, false, L"N", 0.0},
    };
    for (const Case& c : cases) {
        writeHost(kFile, std::string("[VERSION]\nversion=") + c.version + "\n" + channel(3, "S3", c.keys));
        TransInfo info;
        ASSERT_TRUE(LoadTransmitterInfo(info)) << c.version << " " << c.keys;
        const TransPos& p = info.pos[2];
        const std::string what = std::string(c.version) + " " + c.keys;
        EXPECT_TRUE(info.data[2].valid) << what;  // the identity stays either way
        EXPECT_EQ(info.data[2].channel, 2) << what;
        EXPECT_EQ(p.valid, c.valid) << what;
        EXPECT_EQ(p.height, c.height) << what;
        EXPECT_EQ(p.vertical, c.vertical) << what;
        EXPECT_EQ(p.fixed, c.fixed) << what;
        EXPECT_EQ(p.name, CString(c.name)) << what;
        EXPECT_EQ(p.offset, c.offset) << what;
    }
}

TEST_F(TransmitterFile, IncompleteIdentityResetsTheChannel)
{
    std::string fourthEmpty = "[CHANNEL2]\nSN=B\nDataBlock1=b1\nDataBlock2=b2\nDataBlock3=b3\nDataBlock4=\n"
                              "Height=1.0V\nName=Lost\n";
    writeHost(kFile, "[VERSION]\nversion=0.40\n" + channel(1, "A", "Height=1.0V\n") + fourthEmpty +
                         channel(3, "", "Height=1.0V\nName=NoSerial\n"));
    TransInfo info;
    ASSERT_TRUE(LoadTransmitterInfo(info));
    EXPECT_TRUE(info.data[0].valid);
    EXPECT_EQ(info.data[0].channel, 0);
    for (int i : {1, 2, 3}) {
        EXPECT_TRUE(isReset(info.data[i], info.pos[i])) << i;
        EXPECT_EQ(info.data[i].channel, -1) << i;
    }
}

TEST_F(TransmitterFile, Version02SavesBackAs040)
{
    writeHost(kFile, "[VERSION]\nversion=0.2\n" + channel(1, "SN1", "Height=1.234567V\nName=North pole\n") +
                         channel(4, "SN4", "Height=0.5S\nName=South\n"));
    TransInfo info;
    ASSERT_TRUE(LoadTransmitterInfo(info));
    ASSERT_TRUE(SaveTransmitterInfo(info));
    const std::string empty = "DataBlock1=\nDataBlock2=\nDataBlock3=\nDataBlock4=\nSN=\n\n";
    const std::string blocks = "DataBlock1=b1\nDataBlock2=b2\nDataBlock3=b3\nDataBlock4=b4\n";
    EXPECT_EQ(readHost(kFile),
              "[CHANNEL1]\n" + blocks + "Height=1.234567V\nName=North pole\nOffset=0.000000\nSN=SN1\n\n"
              "[CHANNEL2]\n" + empty + "[CHANNEL3]\n" + empty +
              "[CHANNEL4]\n" + blocks + "Height=0.500000S\nName=South\nOffset=0.000000\nSN=SN4\n\n"
              "[VERSION]\nversion=0.40\n\n");
}

TEST_F(TransmitterFile, SavedSetupRules)
{
    TransInfo info;
    for (int i = 0; i < 3; ++i) {
        info.data[i].valid = true;
        info.data[i].SN = L"S";
        for (CString& b : info.data[i].dataBlock)
            b = L"b";
        info.data[i].channel = i;
        info.pos[i].name = L"Named";
        info.pos[i].valid = true;
    }
    info.pos[0].fixed = true;      // its own height is not saved
    info.pos[0].height = 1.0;
    info.pos[0].offset = 0.25;
    info.pos[1].valid = false;     // empty Height: the name is lost on the next load
    info.pos[2].height = 1e-7;     // six decimals
    ASSERT_TRUE(SaveTransmitterInfo(info));
    const std::string text = readHost(kFile);
    EXPECT_NE(text.find("[CHANNEL1]\nDataBlock1=b\nDataBlock2=b\nDataBlock3=b\nDataBlock4=b\nHeight=Fixed\nName=Named\n"
                        "Offset=0.250000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Height=\nName=Named\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Height=0.000000V\n"), std::string::npos) << text;

    TransInfo back;
    ASSERT_TRUE(LoadTransmitterInfo(back));
    EXPECT_EQ(back.pos[0].height, kFixedMountHeight);
    EXPECT_TRUE(back.pos[0].fixed && back.pos[0].vertical);
    EXPECT_EQ(back.pos[0].offset, 0.25);
    EXPECT_TRUE(back.data[1].valid);
    EXPECT_FALSE(back.pos[1].valid);
    EXPECT_TRUE(back.pos[1].name.IsEmpty());
    EXPECT_TRUE(isReset(back.data[3], back.pos[3]));
}

TEST_F(TransmitterFile, SaveFailsWhenTheFolderCannotBeMade)
{
    writeHost("Program Files/fieldcore/FileSettings", "a file in the folder's place");
    TransInfo info;
    EXPECT_FALSE(SaveTransmitterInfo(info));
}

// Random records of valid channels with valid set-ups (finite heights of six decimals,
// names without line breaks, fixed ones at 2.073) come back equal.
TEST_F(TransmitterFile, RandomRecordsSaveAndLoadBackEqual)
{
    std::mt19937 rng(3406);
    std::uniform_int_distribution<int> micro(-5000000, 5000000), len(1, 12), coin(0, 3);
    std::uniform_int_distribution<int> letter(0x20, 0xFF);
    auto text = [&]() {
        std::string t(static_cast<std::size_t>(len(rng)), 'x');
        for (char& c : t)
            c = static_cast<char>(letter(rng));
        return CString(t.c_str());  // code-page bytes, no line breaks
    };
    for (int round = 0; round < 40; ++round) {
        TransInfo info;
        for (int i = 0; i < 4; ++i) {
            if (coin(rng) == 0)
                continue;  // an invalid channel: reset
            TransData& d = info.data[i];
            d.valid = true;
            d.SN = text();
            for (CString& b : d.dataBlock)
                b = text();
            d.channel = i;
            TransPos& p = info.pos[i];
            p.valid = true;
            p.name = coin(rng) == 0 ? CString() : text();
            p.fixed = coin(rng) == 0;
            p.height = p.fixed ? kFixedMountHeight : micro(rng) / 1e6;
            p.vertical = p.fixed || coin(rng) != 0;
            p.offset = micro(rng) / 1e6;
        }
        ASSERT_TRUE(SaveTransmitterInfo(info));
        TransInfo back = marked();
        ASSERT_TRUE(LoadTransmitterInfo(back));
        for (int i = 0; i < 4; ++i) {
            const TransData& a = info.data[i];
            const TransData& b = back.data[i];
            EXPECT_EQ(a.valid, b.valid);
            EXPECT_EQ(a.SN, b.SN);
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(a.dataBlock[k], b.dataBlock[k]);
            EXPECT_EQ(a.channel, b.channel);
            const TransPos& p = info.pos[i];
            const TransPos& q = back.pos[i];
            EXPECT_EQ(p.valid, q.valid);
            EXPECT_EQ(p.name, q.name);
            EXPECT_EQ(p.height, q.height) << round << " " << i;
            EXPECT_EQ(p.offset, q.offset) << round << " " << i;
            EXPECT_EQ(p.vertical, q.vertical);
            EXPECT_EQ(p.fixed, q.fixed);
            EXPECT_EQ(q.coords[0] + q.coords[1] + q.coords[2], 0.0);
        }
    }
}

} // namespace

// Check characters, command frames and the four reply parsers of the laser-zone devices.
// Replies are parsed in heap buffers of exactly their size, so that the sanitizer build sees
// any read or write past the terminator.
#include "devices/beamGridMessages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

using namespace BeamGridParams;

namespace {

// A reply in a buffer of exactly its size (terminator included).
struct Reply {
    explicit Reply(const std::string& text) : size(text.size() + 1), bytes(new char[size])
    {
        std::memcpy(bytes.get(), text.c_str(), size);
    }
    char* get() { return bytes.get(); }
    std::string text() const { return bytes.get(); }
    std::size_t size;
    std::unique_ptr<char[]> bytes;
};

std::string checkOf(const std::string& text)
{
    char out[2];
    GetCheckCharacters(text.data(), text.size(), out);
    return std::string(out, 2);
}

std::string transmitterFrame(const std::string& text)
{
    char out[kCommandBufferSize];
    return MakeTransmitterCommand(text.c_str(), out) ? std::string(out) : std::string("(refused)");
}

TEST(CheckCharacters, KnownTexts)
{
    EXPECT_EQ(checkOf("abc"), "CE");
    EXPECT_EQ(checkOf("P,2,4,xyz"), "FF");
    EXPECT_EQ(checkOf("P,2,5,xyz"), "EF");
    EXPECT_EQ(checkOf(""), "01");  // only the at sign and the last rotation
    EXPECT_EQ(checkOf("\xFF\x80"), "F6");  // bytes above 0x7F count unsigned
}

TEST(CommandFrame, PrefixTextAtSignCheckAndLineEnd)
{
    char out[kCommandBufferSize];
    EXPECT_EQ(MakeTransmitterCommand("abc", out), out);
    EXPECT_STREQ(out, "%NSP>T%abc@CE\r\n");
    EXPECT_EQ(MakeSensorCommand("abc", out), out);
    EXPECT_STREQ(out, "%NSP>R%abc@CE\r\n");
    EXPECT_EQ(transmitterFrame(""), "%NSP>T%@01\r\n");
}

TEST(CommandFrame, LongestTextFillsTheBufferAndLongerIsRefused)
{
    std::unique_ptr<char[]> out(new char[kCommandBufferSize]);
    const std::string longest(kMaxCommandTextLength, 'x');
    ASSERT_EQ(MakeTransmitterCommand(longest.c_str(), out.get()), out.get());
    EXPECT_EQ(std::strlen(out.get()), kCommandBufferSize - 1);
    EXPECT_EQ(std::string(out.get()).substr(kCommandBufferSize - 6), "@" + checkOf(longest) + "\r\n");

    std::memset(out.get(), '#', kCommandBufferSize);
    const std::string tooLong(kMaxCommandTextLength + 1, 'x');
    EXPECT_EQ(MakeSensorCommand(tooLong.c_str(), out.get()), nullptr);
    EXPECT_EQ(MakeTransmitterCommand(nullptr, out.get()), nullptr);
    for (std::size_t i = 0; i < kCommandBufferSize; ++i)
        ASSERT_EQ(out[i], '#') << "refused frame wrote byte " << i;
}

TEST(CommandFrame, TextInsideTheOutputBuffer)
{
    char out[kCommandBufferSize] = "abc";
    ASSERT_EQ(MakeTransmitterCommand(out, out), out);
    EXPECT_STREQ(out, "%NSP>T%abc@CE\r\n");
}

struct DataCase {
    const char* reply;
    EParseError result;
    int first, second;
    const char* rest;    // what `rest` holds afterwards ("unchanged" markers stay)
    const char* after;   // the reply text afterwards
};

TEST(ParseTransmitterData, Cases)
{
    const DataCase cases[] = {
        {"%NSP>T%P,2,4,xyz@FF", PARSE_OK, 1, 3, "xyz", "%NSP>T%P,2,4,xyz"},
        {"%NSP>T%P,2,5,xyz@EF", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%P,2,5,xyz"},
        {"%NSP>T%P,2,4,xyz@FE", PARSE_CHECKSUM, -7, -7, "keep", "%NSP>T%P,2,4,xyz"},
        {"%NSP>T%P,2,4,xyz@ff", PARSE_CHECKSUM, -7, -7, "keep", "%NSP>T%P,2,4,xyz"},  // exact digits
        {"%NSP>T%P,2,4,xyz@F", PARSE_CHECKSUM, -7, -7, "keep", "%NSP>T%P,2,4,xyz"},   // cut after one digit
        {"%NSP>T%P,2,4,xyz@", PARSE_CHECKSUM, -7, -7, "keep", "%NSP>T%P,2,4,xyz"},    // cut after the at sign
        {"%NSP>T%P,2,4,xyz", PARSE_OK, 1, 3, "xyz", "%NSP>T%P,2,4,xyz"},              // unchecked
        {"%NSP>T%Z,1,1,d@8F\r\n", PARSE_OK, 0, 0, "d", "%NSP>T%Z,1,1,d"},
        {"noise%NSP>T%J,4,1,", PARSE_OK, 3, 0, "", "noise%NSP>T%J,4,1,"},
        {"%NSP>T%P,2,4", PARSE_OK, 1, 3, "", "%NSP>T%P,2,4"},                         // ends before data
        {"%NSP>T%P,2,", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%P,2,"},             // ends before digit 2
        {"%NSP>T%P,2", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%P,2"},
        {"%NSP>T%P", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%P"},
        {"%NSP>T%P,0,1,x", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%P,0,1,x"},
        {"ER%NSP>T%P,2,4,xyz@FF", PARSE_ER, -7, -7, "keep", "ER%NSP>T%P,2,4,xyz@FF"},
        {"ER", PARSE_ER, -7, -7, "keep", "ER"},
        {"E", PARSE_UNEXPECTED, -7, -7, "keep", "E"},
        {"", PARSE_UNEXPECTED, -7, -7, "keep", ""},
        {"%NSP>T%e,X Tilt Offset Over@00", PARSE_DEVICE_ERROR, -7, -7, "keep", "%NSP>T%e,X Tilt Offset Over@00"},
        {"%NSP>T%p,2,4,xyz", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%p,2,4,xyz"},
        {"%NSP>T%", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>T%"},
        {"%NSP>R%P,2,4,xyz@FF", PARSE_UNEXPECTED, -7, -7, "keep", "%NSP>R%P,2,4,xyz@FF"},
    };
    for (const DataCase& c : cases) {
        Reply reply(c.reply);
        int first = -7, second = -7;
        char rest[64] = "keep";
        EXPECT_EQ(ParseTransmitterData(reply.get(), &first, &second, rest), c.result) << c.reply;
        EXPECT_EQ(first, c.first) << c.reply;
        EXPECT_EQ(second, c.second) << c.reply;
        EXPECT_STREQ(rest, c.rest) << c.reply;
        EXPECT_EQ(reply.text(), c.after) << c.reply;
    }
}

TEST(ParseTransmitterData, AcceptedCheckCharactersAreCleared)
{
    Reply reply("%NSP>T%P,2,4,xyz@FF");
    int first, second;
    char rest[32];
    ASSERT_EQ(ParseTransmitterData(reply.get(), &first, &second, rest), PARSE_OK);
    const std::size_t at = std::strlen("%NSP>T%P,2,4,xyz");
    EXPECT_EQ(reply.get()[at], '\0');
    EXPECT_EQ(reply.get()[at + 1], '\0');
    EXPECT_EQ(reply.get()[at + 2], '\0');
}

TEST(ParseTransmitterData, NullOutputsOnlyCheck)
{
    int value = -7;
    char rest[8] = "keep";
    struct { const char* reply; EParseError result; } cases[] = {
        {"%NSP>T%P,9,9,x", PARSE_OK},   // the digits are not read
        {"%NSP>T%P", PARSE_OK},
        {"%NSP>T%P,2,4,xyz@FE", PARSE_CHECKSUM},
        {"%NSP>T%X,1,1,x", PARSE_UNEXPECTED},
        {"ER", PARSE_ER},
    };
    for (const auto& c : cases) {
        Reply a(c.reply), b(c.reply), d(c.reply);
        EXPECT_EQ(ParseTransmitterData(a.get(), nullptr, &value, rest), c.result) << c.reply;
        EXPECT_EQ(ParseTransmitterData(b.get(), &value, nullptr, rest), c.result) << c.reply;
        EXPECT_EQ(ParseTransmitterData(d.get(), &value, &value, nullptr), c.result) << c.reply;
    }
    EXPECT_EQ(value, -7);
    EXPECT_STREQ(rest, "keep");
    EXPECT_EQ(ParseTransmitterData(nullptr, &value, &value, rest), PARSE_UNEXPECTED);
}

TEST(ParseVersion, TransmitterAndSensor)
{
    struct Case { bool sensor; const char* reply; EParseError result; const wchar_t* version; };
    const Case cases[] = {
        {false, "%NSP>T%P,1.23,xyz@B3", PARSE_OK, L"1.23"},
        {false, "%NSP>T%P,1.23", PARSE_OK, L"1.23"},
        {false, "%NSP>T%P,", PARSE_OK, L""},
        {false, "%NSP>T%P", PARSE_OK, L""},
        {false, "%NSP>T%P,,x", PARSE_OK, L""},
        {false, "%NSP>T%Z,1.23", PARSE_UNEXPECTED, L"keep"},
        {false, "%NSP>T%P,1.23,xyz@B4", PARSE_CHECKSUM, L"keep"},
        {false, "%NSP>T%e,bad", PARSE_DEVICE_ERROR, L"keep"},
        {false, "ER,1.0", PARSE_ER, L"keep"},
        {false, "%NSP>R%P,1.0", PARSE_UNEXPECTED, L"keep"},
        {true, "%NSP>R%P,2.0@0E", PARSE_OK, L"2.0"},
        {true, "%NSP>R%J,2.0", PARSE_UNEXPECTED, L"keep"},
        {true, "%NSP>T%P,2.0", PARSE_UNEXPECTED, L"keep"},
    };
    for (const Case& c : cases) {
        Reply reply(c.reply);
        CString version(L"keep");
        const EParseError r = c.sensor ? ParseSensorVersion(reply.get(), version)
                                       : ParseTransmitterVersion(reply.get(), version);
        EXPECT_EQ(r, c.result) << c.reply;
        EXPECT_EQ(version, CString(c.version)) << c.reply;
    }
}

TEST(ParseSensorData, EveryTypeButE)
{
    struct Case { const char* reply; EParseError result; const char* after; };
    const Case cases[] = {
        {"%NSP>R%x,abc@F9", PARSE_OK, "%NSP>R%x,abc"},
        {"%NSP>R%x,abc@F8", PARSE_CHECKSUM, "%NSP>R%x,abc"},
        {"%NSP>R%", PARSE_OK, "%NSP>R%"},        // the terminator as the type
        {"%NSP>R%@", PARSE_OK, "%NSP>R%@"},      // an at sign as the type is no at sign after it
        {"%NSP>R%e", PARSE_DEVICE_ERROR, "%NSP>R%e"},
        {"%NSP>R%E", PARSE_OK, "%NSP>R%E"},
        {"%NSP>T%x", PARSE_UNEXPECTED, "%NSP>T%x"},
        {"ER%NSP>R%x", PARSE_ER, "ER%NSP>R%x"},
    };
    for (const Case& c : cases) {
        Reply reply(c.reply);
        EXPECT_EQ(ParseSensorData(reply.get()), c.result) << c.reply;
        EXPECT_EQ(reply.text(), c.after) << c.reply;
    }
}

// Random texts without '@' and zero bytes, framed with their own check characters.
std::string randomText(std::mt19937& rng)
{
    std::uniform_int_distribution<int> length(0, 60), byte(1, 255);
    std::string t(static_cast<std::size_t>(length(rng)), 'x');
    for (char& c : t) {
        do
            c = static_cast<char>(byte(rng));
        while (c == '@');
    }
    return t;
}

TEST(ReplyProperties, OwnCheckAcceptsAndEverySingleChangeIsCaught)
{
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int round = 0; round < 300; ++round) {
        const bool sensor = round % 2 == 0;
        const std::string text = std::string(1, sensor ? 'x' : "ZPJ"[round % 3]) + randomText(rng);
        char framed[kCommandBufferSize];
        ASSERT_TRUE(sensor ? MakeSensorCommand(text.c_str(), framed) : MakeTransmitterCommand(text.c_str(), framed));
        auto parse = [&](Reply& r) {
            return sensor ? ParseSensorData(r.get()) : ParseTransmitterData(r.get(), nullptr, nullptr, nullptr);
        };
        Reply whole(framed);
        ASSERT_EQ(parse(whole), PARSE_OK) << text;
        // Every character after the type and before the at sign, changed to anything else.
        for (std::size_t i = 8; i < 7 + text.size(); ++i) {
            std::string changed = framed;
            char c;
            do
                c = static_cast<char>(byte(rng));
            while (c == '@' || c == changed[i]);
            changed[i] = c;
            Reply r(changed);
            ASSERT_EQ(parse(r), PARSE_CHECKSUM) << "text " << text << " position " << i;
        }
    }
}

} // namespace

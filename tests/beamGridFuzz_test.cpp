// The four reply parsers and the transmitter file loader on random and mutated input: they
// answer with a result and never crash or touch memory outside the reply (run under the
// sanitizers by the sanitizer build; every reply sits in a heap buffer of exactly its size).
//
// CTest runs a short fixed-seed pass; FIELDCORE_FUZZ_SECONDS=60 runs for a minute with a seed
// from FIELDCORE_FUZZ_SEED (printed, so that a failure can be replayed).
#include "deviceRootFixture.h"
#include "fuzzBudget.h"

#include "devices/beamGridMessages.h"
#include "devices/transmitterFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace BeamGridParams;

namespace {

const char* const kTokens[] = {"%NSP>T%", "%NSP>R%", "@", "ER", "e", "P", "Z", "J", ",", "1", "4", "5", "FF",
                               "ff", "\r\n", "Fixed", "nan", "inf", "-inf", "1e308", "0.4", "0.1", "{", "}",
                               "S", "V", "=", "[", "]", "\n", "[CHANNEL1]", "version=", "Height=", "SN="};

class Fuzz {
public:
    explicit Fuzz(unsigned seed) : m_rng(seed) {}

    std::size_t pick(std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng); }

    std::string randomBytes()
    {
        std::string t(pick(40), 'x');
        for (char& c : t)
            c = static_cast<char>(1 + pick(255));  // zero bytes would only end the text early
        return t;
    }

    std::string mutate(std::string t)
    {
        const std::size_t count = 1 + pick(4);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = pick(t.size() + 1);
            const std::size_t len = 1 + pick(8);
            switch (pick(6)) {
            case 0: if (at < t.size()) t[at] = static_cast<char>(1 + pick(255)); break;
            case 1: t.erase(at, len); break;
            case 2: t.insert(at, kTokens[pick(sizeof kTokens / sizeof *kTokens)]); break;
            case 3: t.insert(at, t.substr(at, len)); break;
            case 4: t.resize(at); break;
            default: if (at < t.size()) t[at] = "@,0123456789eERPZJ%\n="[pick(21)]; break;
            }
        }
        return t;
    }

private:
    std::mt19937 m_rng;
};

std::unique_ptr<char[]> exactCopy(const std::string& text)
{
    std::unique_ptr<char[]> p(new char[text.size() + 1]);
    std::memcpy(p.get(), text.c_str(), text.size() + 1);
    return p;
}

void parseEveryWay(const std::string& text)
{
    {
        auto reply = exactCopy(text);
        std::unique_ptr<char[]> rest(new char[text.size() + 1]);
        int first = -1, second = -1;
        const EParseError r = ParseTransmitterData(reply.get(), &first, &second, rest.get());
        if (r == PARSE_OK) {
            EXPECT_TRUE(first >= 0 && first <= 3 && second >= 0 && second <= 3) << text;
            EXPECT_LE(std::strlen(rest.get()), text.size()) << text;
        }
        EXPECT_TRUE(r >= PARSE_OK && r <= PARSE_CHECKSUM) << text;
    }
    {
        auto reply = exactCopy(text);
        EXPECT_LE(ParseTransmitterData(reply.get(), nullptr, nullptr, nullptr), PARSE_CHECKSUM);
    }
    CString version;
    auto a = exactCopy(text), b = exactCopy(text), c = exactCopy(text);
    EXPECT_LE(ParseTransmitterVersion(a.get(), version), PARSE_CHECKSUM);
    EXPECT_LE(ParseSensorVersion(b.get(), version), PARSE_CHECKSUM);
    EXPECT_LE(ParseSensorData(c.get()), PARSE_CHECKSUM);
}

struct Budget {
    double seconds = 0.0;
    unsigned seed = 0;
    long fixedRuns = 0;
    std::chrono::steady_clock::time_point begin = std::chrono::steady_clock::now();

    Budget(unsigned defaultSeed, long runs) : fixedRuns(runs)
    {
        const FuzzBudget budget = fuzzBudget(defaultSeed);
        seconds = budget.seconds;
        seed = budget.seed;
    }
    bool more(long runs) const
    {
        if (::testing::Test::HasFailure())
            return false;
        if (seconds > 0.0)
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() < seconds;
        return runs < fixedRuns;
    }
};

TEST(BeamGridFuzz, RepliesNeverCrash)
{
    std::vector<std::string> seeds = {"%NSP>T%P,2,4,xyz@FF\r\n", "%NSP>T%P,1.23,xyz@B3", "%NSP>R%P,2.0@0E",
                                      "%NSP>R%x,abc@F9", "ER%NSP>T%P,2,4,xyz@FF", "%NSP>T%e,X Tilt Offset Over",
                                      "%NSP>T%P,2,4", "%NSP>R%"};
    // Regression cases: replies cut at and after the at sign, and right after the type.
    for (const char* kept : {"%NSP>T%P,2,4,xyz@", "%NSP>T%P,2,4,xyz@F", "%NSP>T%P,2", "%NSP>T%P", "%NSP>R%@", "E"})
        parseEveryWay(kept);
    const Budget budget(3434u, 20000);
    Fuzz fuzz(budget.seed);
    long runs = 0;
    for (; budget.more(runs); ++runs)
        parseEveryWay(runs % 5 == 0 ? fuzz.randomBytes() : fuzz.mutate(seeds[runs % seeds.size()]));
    if (budget.seconds > 0.0)
        std::printf("%ld replies\n", runs);
}

class TransmitterFileFuzz : public DeviceRootTest {};

TEST_F(TransmitterFileFuzz, MutatedFilesNeverCrash)
{
    const std::string blocks = "DataBlock1=b1\nDataBlock2=b2\nDataBlock3=b3\nDataBlock4=b4\n";
    const std::vector<std::string> seeds = {
        "[VERSION]\nversion=0.1\n[CHANNEL1]\nSN=A\n" + blocks + "Pos={1.5,2.5,3.5,1.25,S}\n",
        "[VERSION]\nversion=0.2\n[CHANNEL2]\nSN=B\n" + blocks + "Height=1.5V\nName=B\n",
        "[VERSION]\nversion=0.3\n[CHANNEL3]\nSN=C\n" + blocks + "Height=Fixed\nName=C\n",
        "[VERSION]\nversion=0.40\n[CHANNEL4]\nSN=D\n" + blocks + "Height=-0.5S\nName=D\nOffset=0.25\n"
        "[CHANNEL1]\nSN=E\n" + blocks + "Height=2V\nName=E\nOffset=1\n",
    };
    const std::string file = "Program Files/fieldcore/FileSettings/BeamGridData.ini";
    const Budget budget(3435u, 300);
    Fuzz fuzz(budget.seed);
    long runs = 0;
    for (; budget.more(runs); ++runs) {
        const std::string text = fuzz.mutate(seeds[runs % seeds.size()]);
        writeHost(file, text);
        TransInfo info;
        if (!LoadTransmitterInfo(info))
            continue;
        for (int i = 0; i < 4; ++i) {
            const TransData& d = info.data[i];
            const TransPos& p = info.pos[i];
            EXPECT_EQ(d.channel, d.valid ? i : -1) << text;
            EXPECT_TRUE(d.valid || !p.valid) << text;
            EXPECT_TRUE(!p.valid || (std::isfinite(p.height) && std::isfinite(p.offset))) << text;
        }
        EXPECT_TRUE(SaveTransmitterInfo(info));
    }
    if (budget.seconds > 0.0)
        std::printf("%ld files\n", runs);
}

} // namespace

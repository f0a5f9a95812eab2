// The beacon list loader and the position reader on random and mutated input: random bytes,
// mutated listings, long lines, no line ends. Whatever the bytes, loading answers with a list
// of named, trimmed beacons and reading a position answers true or false, never crashing or
// touching memory outside the texts (run under the sanitizers by the sanitizer build).
//
// CTest runs a short fixed-seed pass; FIELDCORE_FUZZ_SECONDS=60 runs for a minute with a seed
// from FIELDCORE_FUZZ_SEED (printed, so that a failure can be replayed).
#include "fuzzBudget.h"
#include "deviceRootFixture.h"

#include "devices/beaconList.h"
#include "platform/textCodec.h"
#include "platform/waitCursor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kListing =
    "<HTML>\r\nCountry: Canada\r\n<BR><B>WIARTON</B>\r\nStatus: Operational\r\n"
    "Antenna Location: 44\xB0" "44.7' N;81\xB0" "06.5' W\r\nTransmission Frequency: 286 kHz\r\n"
    "Transmission Rate: 200 bps\r\nName: SECOND\r\nAntenna Location: 45 30.0 S;73 35.5 E\n"
    "Antenna Location: 1 2' N;3 4  W\nCountry: USA\n<TD><BR><B>THIRD</B></TD>\nStatus: Not Operational";

const char* const kTokens[] = {"<BR><B>", "</", "</B>", "Name:", "Status:", "Transmission Rate:",
                               "Transmission Frequency:", "Antenna Location:", "Country:", "\xB0",
                               "\xC2\xB0", "'", ";", " ", "\r\n", "\n", "\r", "N", "S", "W", "E",
                               "nan", "inf", "-1e39", "99999999999", "0x1p3", "%", "%n", "\t", "\x80"};

class Fuzz {
public:
    explicit Fuzz(unsigned seed) : m_rng(seed) {}

    size_t pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    std::string randomBytes(size_t maxLength)
    {
        std::string t(pick(maxLength), 'x');
        for (char& c : t)
            c = static_cast<char>(pick(256));  // zero bytes too
        return t;
    }

    std::string mutate(std::string t)
    {
        const size_t count = 1 + pick(6);
        for (size_t i = 0; i < count; ++i) {
            const size_t at = pick(t.size() + 1);
            const size_t len = 1 + pick(40);
            switch (pick(8)) {
            case 0: if (at < t.size()) t[at] = static_cast<char>(pick(256)); break;
            case 1: t.erase(at, len); break;
            case 2: case 3: t.insert(at, kTokens[pick(sizeof kTokens / sizeof *kTokens)]); break;
            case 4: t.insert(at, t.substr(at, len)); break;
            case 5: t.insert(at, std::string(400 + pick(700), "x \xB0:<"[pick(5)])); break;  // long lines
            case 6: t.resize(at); break;
            default: {  // line ends removed
                for (size_t p = t.find('\n', at); p != std::string::npos && pick(3); p = t.find('\n', p))
                    t.erase(p, 1);
            }
            }
        }
        return t;
    }

    // A random wide text made of the characters locations are read from, and some others.
    CString location()
    {
        static const wchar_t kChars[] = L"0123456789.-+ '';;NSEWnsew\u00B0\u00C2eExX%\t\u20AC\U0001F600";
        std::wstring t;
        const size_t n = pick(40);
        for (size_t i = 0; i < n; ++i)
            t += kChars[pick(sizeof kChars / sizeof *kChars - 1)];
        return CString(t.c_str());
    }

private:
    std::mt19937 m_rng;
};

bool hasOuterWhiteSpace(const CString& text)
{
    CString trimmed = text;
    trimmed.Trim();
    return trimmed.GetLength() != text.GetLength();
}

void exerciseBeacon(const TBeacon& b)
{
    double lat = 0.0, lon = 0.0;
    b.GetPosition(lat, lon);
    b.GetStatus();
    b.GetFrequency();
    b.GetBaudRate();
}

class BeaconListFuzz : public DeviceRootTest {
protected:
    // Loads `bytes` as a listing and checks what came back.
    void load(const std::string& bytes)
    {
        writeHost("fuzz.txt", bytes);
        CObArray list;
        const WaitCursorRecord before = GetWaitCursorRecord();
        ASSERT_TRUE(LoadBeaconsFile(L"\\fuzz.txt", list));
        EXPECT_EQ(GetWaitCursorRecord().depth, before.depth);
        for (int i = 0; i < list.GetSize(); ++i) {
            const TBeacon* b = static_cast<const TBeacon*>(list[i]);
            ASSERT_NE(b, nullptr);
            EXPECT_FALSE(b->name.IsEmpty());
            for (const CString* field : {&b->country, &b->name, &b->status, &b->antennaLocation, &b->frequency, &b->rate})
                EXPECT_FALSE(hasOuterWhiteSpace(*field)) << ToUtf8(*field);
            exerciseBeacon(*b);
        }
        DeleteBeacons(list);
    }
};

// Inputs kept as regression cases: edges of the line reader and the label offsets.
TEST_F(BeaconListFuzz, EdgeInputs)
{
    const std::string cases[] = {
        "", "\n", "\r\n\r\n", std::string(1, '\0'), "<BR><B>", "<BR><B></", "</<BR><B>", "Name:", "Status:",
        "Country:", "Antenna Location:", "Transmission Rate:", "Transmission Frequency:",
        std::string(511, 'x') + "<BR><B>A", std::string(512, 'x') + "Name: A", std::string(5000, 'x'),
        "Name: A\n" + std::string(2000, ' ') + "\n", "Name: A\0B\nStatus: x\0y", "<BR><B>A\xFF\x81\x8D</B>",
    };
    for (const std::string& c : cases) {
        SCOPED_TRACE(c.substr(0, 40));
        load(c);
    }
}

TEST_F(BeaconListFuzz, RandomAndMutatedListingsNeverCrash)
{
    const FuzzBudget budget = fuzzBudget(3803u);
    Fuzz fuzz(budget.seed);
    long runs = 0;
    for (; budget.goesOn(runs, 200); ++runs) {
        load(runs % 5 == 0 ? fuzz.randomBytes(2000) : fuzz.mutate(kListing));
        if (::testing::Test::HasFailure())
            break;
    }
    if (budget.seconds > 0.0)
        std::printf("%ld listings\n", runs);
}

TEST(BeaconPositionFuzz, RandomTextsNeverCrash)
{
    const FuzzBudget budget = fuzzBudget(1709u);
    Fuzz fuzz(budget.seed);
    for (long runs = 0; budget.goesOn(runs, 20000); ++runs) {
        TBeacon b;
        b.antennaLocation = fuzz.location();
        b.frequency = b.antennaLocation;
        b.rate = b.antennaLocation;
        double lat = 0.0, lon = 0.0, lat2 = 1.0, lon2 = 1.0;
        const bool read = b.GetPosition(lat, lon);
        // The same answer every time: nothing is left over from an earlier call.
        EXPECT_EQ(b.GetPosition(lat2, lon2), read) << ToUtf8(b.antennaLocation);
        EXPECT_TRUE((lat == lat2 || (std::isnan(lat) && std::isnan(lat2))) &&
                    (lon == lon2 || (std::isnan(lon) && std::isnan(lon2))))
            << ToUtf8(b.antennaLocation);
        b.GetFrequency();
        b.GetBaudRate();
        if (::testing::Test::HasFailure())
            break;
    }
}

} // namespace

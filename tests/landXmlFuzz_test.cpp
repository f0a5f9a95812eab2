// The road file reader and builder on random mutations of real files: whatever the bytes, they
// answer with a road or with a message naming the file and a line, and never crash (run under
// the sanitizers by the sanitizer build).
//
// CTest runs a short fixed-seed pass; FIELDCORE_FUZZ_SECONDS=60 runs for a minute with a seed
// from FIELDCORE_FUZZ_SEED (printed, so that a failure can be replayed).
#include "fuzzBudget.h"
#include "roadTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

const char* const kTokens[] = {"0",  "-0",    "1e308", "-1e308", "1e-300", "INF",   "NaN",        "280.",
                               "",   "-5",    "1e12",  "0.0001", "<",      ">",     "\"",         "&amp;",
                               "cw", "ccw",   "x",     "<!--",   "]]>",    "&#0;",  "\xC3",       "\xFF\xFE",
                               "P1", "1 2 3", "1 2",   "\n",     "<Line/>", "</CoordGeom>", "pntRef=\"P2\""};

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_rng(seed) {}

    std::string mutate(std::string t)
    {
        const int count = 1 + pick(4);
        for (int i = 0; i < count && !t.empty(); ++i) {
            const size_t at = pick(t.size());
            const size_t len = 1 + pick(std::min<size_t>(40, t.size() - at));
            const size_t kind = pick(20);
            if (kind < 8) {          // a number replaced by a token or nudged
                replaceNumber(t, at);
            } else if (kind < 11) {  // one byte
                t[at] = "0123456789.-e<>/\" \nx\xC3\xFF"[pick(20)];
            } else if (kind < 13) {  // a range deleted
                t.erase(at, len);
            } else if (kind < 15) {  // a range repeated
                t.insert(at, t.substr(at, len));
            } else if (kind < 19) {  // a token inserted
                t.insert(at, kTokens[pick(sizeof kTokens / sizeof *kTokens)]);
            } else {                 // the rest cut off
                t.resize(at);
            }
        }
        return t;
    }

private:
    size_t pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    void replaceNumber(std::string& t, size_t from)
    {
        const size_t b = t.find_first_of("0123456789", from);
        if (b == std::string::npos)
            return;
        const size_t e = t.find_first_not_of("0123456789.eE+-", b);
        const size_t n = (e == std::string::npos ? t.size() : e) - b;
        if (pick(2) == 0) {
            t.replace(b, n, kTokens[pick(12)]);
        } else {   // a small change that may keep the file readable
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g", std::atof(t.substr(b, n).c_str()) + (pick(2) ? 1e-4 : 0.5) * (pick(2) ? 1 : -1));
            t.replace(b, n, buf);
        }
    }

    std::mt19937 m_rng;
};

// Reads and builds every alignment; a built one answers positions and heights.
void exercise(const std::string& text)
{
    RoadFile f;
    RoadError err;
    if (!ReadLandXmlBytes(text, "fuzz.xml", f, err)) {
        EXPECT_EQ(err.file, "fuzz.xml");
        EXPECT_FALSE(err.message.empty());
        return;
    }
    for (const RoadAlignment& a : f.alignments) {
        RoadBuild b;
        if (!BuildRoadAlignment(f, a, "", b, err)) {
            EXPECT_FALSE(err.message.empty());
            EXPECT_GT(err.line, 0) << err.text();
            continue;
        }
        double start = b.alnt.getStartChainageInM(), end = start;
        b.alnt.getFinalChainageInM(end);
        for (int i = 0; i <= 8; ++i) {
            const double s = start - 5.0 + (end - start + 10.0) * i / 8.0;
            double n = 0.0, e = 0.0, h = 0.0;
            if (b.alnt.getPosNeAtChainAndOffsetExtr(s, 2.5, n, e)) {
                EXPECT_TRUE(std::isfinite(n) && std::isfinite(e)) << "at " << s;
            }
            b.alnt.getPosHAtChainExtr(s, h);
            b.stations.toPosted(s);
        }
    }
}

TEST(LandXmlFuzz, MutatedFilesNeverCrash)
{
    std::vector<std::string> seeds = {roadtest::landXml(roadtest::exampleRoad(), roadtest::exampleStyle())};
    roadtest::Style feet = roadtest::usSurveyFeet();
    feet.cgPoints = true;
    feet.infText = "0";
    seeds.push_back(roadtest::landXml(roadtest::exampleRoad(), feet));

    const FuzzBudget budget = fuzzBudget(2121u);
    const double seconds = budget.seconds;
    const unsigned seed = budget.seed;
    Mutator mutator(seed);
    long runs = 0;
    for (; budget.goesOn(runs, 3000); ++runs) {
        exercise(mutator.mutate(seeds[runs % seeds.size()]));
        if (::testing::Test::HasFailure())
            break;
    }
    if (seconds > 0.0)
        std::printf("%ld mutated files\n", runs);
}

} // namespace

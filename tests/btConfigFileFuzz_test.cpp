// The "BtConfig.ini" reader on random bytes and mutated files, with record lengths at and
// around the 272-byte buffer and 2^31: it never crashes and always answers what a plain model
// of the format answers. Run under the sanitizers by the sanitizer build.
//
// CTest runs a short fixed-seed pass; FIELDCORE_FUZZ_SECONDS=60 runs for a minute with a seed
// from FIELDCORE_FUZZ_SEED (printed, so that a failure can be replayed).
#include "btConfigTestSupport.h"
#include "deviceRootFixture.h"
#include "fuzzBudget.h"

#include "devices/btConfigFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

const unsigned kLengths[] = {0, 1, 4, 5, 271, 272, 273, 274, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFFu, 0x100u, 0x110u};

class BtConfigFuzz : public DeviceRootTest {
protected:
    std::mt19937 rng{0};
    size_t pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng); }

    std::string someText()
    {
        static const char* const texts[] = {"N/A", "n/a", "COM1:", "com2:", "COM3:", "", "GPS", "COM1", "COM2:\0x"};
        if (pick(3) == 0)
            return std::string(pick(300), static_cast<char>('a' + pick(26)));
        const char* t = texts[pick(9)];
        return std::string(t, std::strlen(t) + (pick(4) == 0 ? 1 : 0));
    }
    std::string mutate(std::string t)
    {
        for (int i = 1 + static_cast<int>(pick(3)); i > 0; --i) {
            const size_t at = pick(t.size() + 1);
            switch (pick(5)) {
            case 0: if (at < t.size()) t[at] = static_cast<char>(pick(256)); break;
            case 1: t.resize(at); break;  // cut short
            case 2: if (at + 4 <= t.size()) t.replace(at, 4, bttest::le32(kLengths[pick(sizeof kLengths / sizeof *kLengths)])); break;
            case 3: t.erase(at, pick(8)); break;
            default: t.insert(at, t.substr(at, pick(12))); break;
            }
        }
        return t;
    }
    std::string input()
    {
        switch (pick(4)) {
        case 0: {
            std::string t(pick(600), '\0');
            for (char& c : t)
                c = static_cast<char>(pick(256));
            return t;
        }
        case 1: return bttest::btConfig(someText(), someText(), someText(), static_cast<std::uint32_t>(rng()));
        default: return mutate(bttest::btConfig(someText(), someText(), someText(), static_cast<std::uint32_t>(rng())));
        }
    }
};

TEST_F(BtConfigFuzz, AnswersAsTheModel)
{
    const FuzzBudget budget = fuzzBudget(4242u);
    rng.seed(budget.seed);
    long runs = 0;
    for (; budget.goesOn(runs, 600); ++runs) {
        const std::string bytes = input();
        writeHost("BtConfig.ini", bytes);
        ASSERT_EQ(GetBtConfigComPort(), bttest::modelPort(bytes)) << "run " << runs << ", " << bytes.size() << " bytes";
    }
    if (budget.seconds > 0.0)
        std::printf("%ld configuration files\n", runs);
}

} // namespace

// The dictionary parser and the missing-texts reader on random and mutated bytes: whatever the
// bytes, the entries agree with a plain reference reading, lookup finds every key, and nothing
// crashes (run under the sanitizers by the sanitizer build).
//
// CTest runs a short fixed-seed pass; FIELDCORE_FUZZ_SECONDS=60 runs for a minute with a seed
// from FIELDCORE_FUZZ_SEED (printed, so that a failure can be replayed).
#include "fuzzBudget.h"
#include "deviceRootFixture.h"

#include "files/translate.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

struct Pair {
    std::u16string key, value;
    size_t place;
    std::vector<int> order;   // the key followed by a sentinel above every unit
};

// The file read the plain way: units, then find '[' and ']' in turn.
std::vector<Pair> reference(const std::string& bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    std::vector<Pair> pairs;
    size_t pos = 0;
    for (;;) {
        const size_t a = units.find(u'[', pos);
        const size_t b = a == std::u16string::npos ? a : units.find(u']', a + 1);
        const size_t c = b == std::u16string::npos ? b : units.find(u'[', b + 1);
        const size_t d = c == std::u16string::npos ? c : units.find(u']', c + 1);
        if (d == std::u16string::npos)
            break;
        Pair p{units.substr(a + 1, b - a - 1), units.substr(c + 1, d - c - 1), pairs.size(), {}};
        p.order.assign(p.key.begin(), p.key.end());
        p.order.push_back(0x10000);
        pairs.push_back(std::move(p));
        pos = d + 1;
    }
    // The order: the keys with their sentinels compared as numbers, then the place in the file.
    std::sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) {
        return x.order != y.order ? x.order < y.order : x.place < y.place;
    });
    return pairs;
}

std::u16string units(const CString& s)
{
    return WideToUtf16(static_cast<const wchar_t*>(s), static_cast<size_t>(s.GetLength()));
}

void check(const std::string& bytes)
{
    CXlateDictionary d;
    d.Parse(bytes.data(), bytes.size());
    const std::vector<Pair> expected = reference(bytes);
    ASSERT_EQ(d.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < d.Count(); ++i) {
        ASSERT_EQ(d.KeyUnits(i), expected[i].key) << "entry " << i;
        ASSERT_EQ(units(d.Value(i)), expected[i].value) << "entry " << i;
        const int found = d.Find(expected[i].key);
        ASSERT_GE(found, 0);
        ASSERT_LE(found, i);
        ASSERT_FALSE(d.IsDuplicate(found));
        ASSERT_EQ(d.KeyUnits(found), expected[i].key);
        ASSERT_EQ(d.IsDuplicate(i), i != found);
    }
}

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_rng(seed) {}
    size_t pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    std::string mutate(std::string t)
    {
        static const std::vector<std::string> kTokens = {
            std::string("[\0", 2),     std::string("]\0", 2),     std::string("[\0[\0", 4), std::string("]\0]\0", 4),
            std::string("\xFF\xFE", 2), std::string("\r\0\n\0", 4), std::string("\x00\xD8", 2), std::string("\x00\xDC", 2),
            std::string("\x00\xE0", 2), std::string("[\0]\0", 4),   std::string("\xFF", 1),      std::string("a\0", 2)};
        const int count = 1 + static_cast<int>(pick(6));
        for (int i = 0; i < count; ++i) {
            const size_t at = pick(t.size() + 1);
            const size_t kind = pick(10);
            if (kind < 4) {
                t.insert(at, kTokens[pick(kTokens.size())]);
            } else if (kind < 6 && at < t.size()) {
                t[at] = static_cast<char>(pick(256));
            } else if (kind < 8 && at < t.size()) {
                t.erase(at, 1 + pick(std::min<size_t>(16, t.size() - at)));
            } else if (kind < 9 && at < t.size()) {
                t.insert(at, t.substr(at, 1 + pick(std::min<size_t>(32, t.size() - at))));
            } else {
                t.resize(at);
            }
        }
        return t;
    }

    // Random bytes, with brackets as likely as anything else.
    std::string noise(size_t length)
    {
        std::string t(length, '\0');
        for (size_t i = 0; i + 1 < length; i += 2) {
            const size_t k = pick(8);
            t[i] = k < 2 ? '[' : k < 4 ? ']' : static_cast<char>(pick(256));
            t[i + 1] = k < 4 ? '\0' : static_cast<char>(pick(4) == 0 ? pick(256) : 0);
        }
        if (length % 2)
            t.back() = static_cast<char>(pick(256));
        return t;
    }

private:
    std::mt19937 m_rng;
};

std::string seedDictionary()
{
    return std::string("\xFF\xFE", 2) +
           WideToUtf16Le(L"[Cancel]\r\n[Abbrechen]\r\n[Point]\r\n[Punkt]\r\n[Points][Punkte]\r\n"
                         L"; comment\r\n[a[b]x[c]\r\n[][empty]\r\n[Point][dup]\r\n[\U0001F600][smile]");
}

// Inputs that once failed, kept as they were found.
const std::vector<std::string> kRegressions = {
    std::string(""), std::string("[", 1), std::string("[\0", 2), std::string("[\0]\0[\0", 6),
    std::string("[\0]\0[\0]", 7), std::string("]\0[\0]\0[\0]\0", 10), std::string("\xFF\xFE[\0", 4),
    // A value holding a zero unit came back cut at the zero.
    std::string("[\0k\0]\0[\0a\0\0\0b\0]\0", 16),
};

class TranslateFuzz : public DeviceRootTest {};

TEST_F(TranslateFuzz, RegressionInputs)
{
    for (const std::string& bytes : kRegressions)
        check(bytes);
}

TEST_F(TranslateFuzz, MutatedAndRandomFilesAgreeWithTheReference)
{
    const FuzzBudget budget = fuzzBudget(3636u);
    Mutator mutator(budget.seed);
    const std::string base = seedDictionary();
    long runs = 0;
    for (; budget.goesOn(runs, 2000); ++runs) {
        const std::string bytes = runs % 3 == 2 ? mutator.noise(mutator.pick(300)) : mutator.mutate(base);
        check(bytes);
        if (::testing::Test::HasFailure()) {
            std::string hex;
            for (unsigned char c : bytes) {
                char b[4];
                std::snprintf(b, sizeof b, "%02X", c);
                hex += b;
            }
            ADD_FAILURE() << "input (hex): " << hex;
            break;
        }
    }
    if (budget.seconds > 0.0)
        std::printf("%ld runs\n", runs);
}

TEST_F(TranslateFuzz, FilesOfMegabytes)
{
    Mutator mutator(4);
    for (size_t length : {size_t(2u << 20), size_t((1u << 20) + 1)})
        check(mutator.noise(length));
}

// The translator over the same bytes as a dictionary and as a missing-texts file: lookups
// answer, and the texts written back read again as themselves.
TEST_F(TranslateFuzz, TranslatorReadsAnyFile)
{
    Mutator mutator(77);
    const std::string base = seedDictionary();
    for (int run = 0; run < 30; ++run) {
        const std::string bytes = run % 2 ? mutator.noise(mutator.pick(400)) : mutator.mutate(base);
        writeHost("d.txt", bytes);
        writeHost("m.txt", bytes);
        InitializeTranslateFile(L"", L"\\d.txt", L"\\m.txt");
        for (const Pair& p : reference(bytes))
            Xlate(Utf16ToWide(p.key.data(), p.key.size()).c_str());
        Xlate(L"never in a file");
        FinalizeTranslateFile();
        const std::string written = readHost("m.txt");
        if (bytes.empty()) {
            EXPECT_EQ(written, "") << "collection stays off";
            continue;
        }
        CXlateDictionary d;
        d.Parse(written.data(), written.size());
        for (int i = 0; i < d.Count(); ++i)
            ASSERT_EQ(d.Key(i), d.Value(i)) << "run " << run;
        ASSERT_GE(d.Find(u"never in a file"), 0) << "run " << run;
    }
}

} // namespace

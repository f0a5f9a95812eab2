// The registry export reader on random bytes and random mutations of real files: whatever the
// bytes, a load succeeds and the tree answers every call, or it fails naming the file and a
// line of it and leaves the registry as it was; the Bluetooth scans run over whatever loaded.
// Run under the sanitizers by the sanitizer build.
//
// CTest runs a short fixed-seed pass; FIELDCORE_FUZZ_SECONDS=60 runs for a minute with a seed
// from FIELDCORE_FUZZ_SEED (printed, so that a failure can be replayed).
#include "deviceRootFixture.h"
#include "fuzzBudget.h"
#include "registryTestSupport.h"

#include "devices/bluetoothRegistry.h"
#include "platform/registry.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kTokens[] = {"\n", "\r\n", "\r", "[", "]", "\\", "\\\\", "\"", "\\\"", "@", "=", ";", "dword:",
                               "dword:ffffffff", "dword:123456789", "hex:00", "-", "[-", "HKEY_LOCAL_MACHINE",
                               "HKEY_USERS\\", "\xFF\xFE", "\xEF\xBB\xBF", "\0", "\xC3", "  ", "\t", "COM7:",
                               "COM-3:", "REGEDIT4", "Windows Registry Editor Version 5.00"};

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_rng(seed) {}

    std::string mutate(std::string t)
    {
        const int count = 1 + static_cast<int>(pick(4));
        for (int i = 0; i < count; ++i) {
            const size_t at = pick(t.size() + 1);
            const size_t len = 1 + pick(std::min<size_t>(40, t.size() - std::min(at, t.size()) + 1));
            switch (pick(6)) {
            case 0: if (at < t.size()) t[at] = static_cast<char>(pick(256)); break;
            case 1: t.erase(std::min(at, t.size()), len); break;
            case 2: t.insert(std::min(at, t.size()), t.substr(std::min(at, t.size()), len)); break;
            case 3: case 4: {
                const char* token = kTokens[pick(sizeof kTokens / sizeof *kTokens)];
                t.insert(std::min(at, t.size()), std::string(token, *token ? std::char_traits<char>::length(token) : 1));
                break;
            }
            default: t.resize(std::min(at, t.size())); break;
            }
        }
        return t;
    }
    std::string randomBytes()
    {
        std::string t(pick(200), '\0');
        for (char& c : t)
            c = static_cast<char>(pick(256));
        return pick(2) ? "REGEDIT4\n" + t : t;
    }
    size_t pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

private:
    std::mt19937 m_rng;
};

// Every key of the loaded registry answers consistently.
void walk(HKEY root)
{
    regtest::walkRegistry(root, [](bool ok, const char* what) {
        EXPECT_TRUE(ok) << what;
        return ok;
    });
}

long lineCount(const std::string& bytes) { return 1 + static_cast<long>(std::count(bytes.begin(), bytes.end(), '\n')); }

void exercise(const std::string& bytes)
{
    RegistryLoadError error;
    ASSERT_TRUE(registryLoadText("REGEDIT4\n[HKEY_USERS\\Marker]\n", "marker.reg", error));
    if (!registryLoadText(bytes, "fuzz.reg", error)) {
        EXPECT_EQ(error.file, "fuzz.reg");
        EXPECT_FALSE(error.message.empty());
        EXPECT_GE(error.line, 1);
        // UTF-16 lines are counted in characters: the byte count bounds them loosely.
        EXPECT_LE(error.line, std::max<long>(lineCount(bytes), static_cast<long>(bytes.size()) / 2 + 1));
        HKEY marker = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_USERS, L"Marker", 0, KEY_READ, &marker), 0) << "the registry changed";
        RegCloseKey(marker);
        return;
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS})
        walk(root);
    const int port = BluetoothRegistry::GetBluetoothComPort();
    EXPECT_GE(port, 0);
    EXPECT_GE(static_cast<int>(BluetoothRegistry::GetBluetoothComPort2()), 0);
}

class RegistryFuzz : public DeviceRootTest {
protected:
    void TearDown() override
    {
        registryReset();
        DeviceRootTest::TearDown();
    }
};

TEST_F(RegistryFuzz, AnyBytesLoadOrFailWithALine)
{
    std::ifstream in(std::string(FIELDCORE_SOURCE_DIR) + "/examples/btDevice/.fieldcore-registry.reg", std::ios::binary);
    const std::string example((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(example.empty());
    std::string v5 = example;
    v5.replace(0, 8, "Windows Registry Editor Version 5.00");
    const std::vector<std::string> seeds = {
        example, "\xFF\xFE" + WideToUtf16Le(AnsiToWide(v5)), "\xEF\xBB\xBF" + v5,
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port]\n"
        "[HKEY_LOCAL_MACHINE\\Drivers\\Active\\1]\n\"key\"=\"Drivers\\\\PCMCIA\\\\Socket-CF+_Personal_Network_Card"
        "\\\\Bluetooth COM Port\"\n\"Name\"=\"COM7:\"\n@=dword:0000001a\n"};
    // Inputs that once failed stay here as regression cases.
    const std::vector<std::string> kept = {
        std::string("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\0b\"=\"c\"\n", 31),
        "\xFF\xFE", "\xFF", "REGEDIT4", "REGEDIT4\r", "REGEDIT4\n[", "REGEDIT4\n\"", "REGEDIT4\n@", "REGEDIT4\n[HKEY_USERS]\n@=\n",
    };
    for (const std::string& bytes : kept)
        exercise(bytes);

    const FuzzBudget budget = fuzzBudget(3737u);
    Mutator mutator(budget.seed);
    long runs = 0;
    for (; budget.goesOn(runs, 3000); ++runs) {
        exercise(runs % 5 == 4 ? mutator.randomBytes() : mutator.mutate(seeds[static_cast<size_t>(runs) % seeds.size()]));
        if (::testing::Test::HasFailure())
            break;
    }
    if (budget.seconds > 0.0)
        std::printf("%ld registry files\n", runs);
}

} // namespace

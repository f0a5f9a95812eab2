// Scratch buffers: the window over a 5 MiB buffer, the stream format and its pieces, failure
// codes of short and failing streams, temporary file names, and a fuzz pass of random streams
// into a small array (FIELDCORE_FUZZ_SECONDS and FIELDCORE_FUZZ_SEED run it longer).
#include "fuzzBudget.h"
#include "libraryLogFixture.h"

#include "files/memMappedData.h"
#include "platform/fileSystem.h"

#include <cstdio>
#include <random>
#include <sstream>
#include <vector>

namespace {

const int kMiB = 1048576;

// A stream over a memory stream that counts the calls and sizes and can fail on request.
class CountingStream : public IStream {
public:
    CountingStream() : m_inner(createMemoryStream()) {}
    ~CountingStream() override { m_inner->Release(); }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT Read(void* buffer, ULONG count, ULONG* read) override
    {
        readSizes.push_back(count);
        return failReadAt == static_cast<int>(readSizes.size()) ? STG_E_READFAULT : m_inner->Read(buffer, count, read);
    }
    HRESULT Write(const void* buffer, ULONG count, ULONG* written) override
    {
        writeSizes.push_back(count);
        return failWriteAt == static_cast<int>(writeSizes.size()) ? STG_E_MEDIUMFULL
                                                                  : m_inner->Write(buffer, count, written);
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        return m_inner->Seek(move, origin, position);
    }
    void rewind() { Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr); }
    std::string bytes()
    {
        rewind();
        std::string all;
        char piece[4096];
        ULONG got = 0;
        while (SUCCEEDED(m_inner->Read(piece, sizeof piece, &got)) && got > 0)
            all.append(piece, got);
        rewind();
        return all;
    }

    std::vector<ULONG> readSizes, writeSizes;
    int failReadAt = 0, failWriteAt = 0;

private:
    IStream* m_inner;
};

std::string countBytes(std::uint32_t n)
{
    return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 24)};
}

char pattern(int i) { return static_cast<char>((i * 7 + i / 4099) & 0xFF); }

class MemMapped : public LibraryLogTest {
protected:
    void SetUp() override
    {
        LibraryLogTest::SetUp();
        writeHost("temp/.keep", "");
    }
};

TEST_F(MemMapped, FiveMegabytesThroughTheWindowAndAStream)
{
    const int size = 5 * kMiB;
    CXenMemMappedArray a(L"\\temp", size);
    for (int i = 0; i < size; ++i)  // in order: four window moves
        a[i] = pattern(i);
    a.SetSize(size);
    CountingStream stream;
    EXPECT_EQ(a.WriteToStream(&stream), 0);
    EXPECT_EQ(stream.writeSizes.size(), 41u) << "the count, then 40 pieces";
    EXPECT_EQ(stream.writeSizes.front(), 4u);
    EXPECT_EQ(stream.writeSizes.back(), 131072u);
    const std::string bytes = stream.bytes();
    ASSERT_EQ(bytes.size(), 4u + size);
    EXPECT_EQ(bytes.substr(0, 4), countBytes(5242880)) << "little-endian count";

    stream.rewind();
    CXenMemMappedArray b(L"\\temp", size);
    EXPECT_EQ(b.ReadFromStream(&stream), 0);
    EXPECT_EQ(b.GetSize(), size);
    EXPECT_EQ(stream.readSizes.size(), 81u) << "the count, then 80 reads of 64 KiB";
    EXPECT_EQ(stream.readSizes[1], 65536u);
    int mismatches = 0;
    for (int i = 0; i < size; ++i)
        mismatches += b[i] != pattern(i) || bytes[4 + static_cast<size_t>(i)] != pattern(i);
    EXPECT_EQ(mismatches, 0);
    for (int i = size - 1; i >= 0; --i)  // backwards: the window moves down step by step
        mismatches += b[i] != pattern(i);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(MemMapped, WritingLogsEachPiece)
{
    std::istringstream log(libraryLogOf([] {
        CXenMemMappedArray a(L"\\temp", 5 * kMiB);
        a.SetSize(5 * kMiB);
        CountingStream stream;
        return a.WriteToStream(&stream) == 0;
    }));
    std::vector<std::string> pieces;
    for (std::string line; std::getline(log, line);)
        if (line.find("DDD Writing") != std::string::npos)
            pieces.push_back(line.substr(line.find("DDD")));
    ASSERT_EQ(pieces.size(), 40u);
    EXPECT_EQ(pieces.front(), "DDD Writing 131072 bytes begin at 0 of 5242880 bytes");
    EXPECT_EQ(pieces.back(), "DDD Writing 131072 bytes begin at 5111808 of 5242880 bytes");
}

TEST_F(MemMapped, JumpsAndSmallBuffers)
{
    CXenMemMappedArray a(L"\\temp", 3 * kMiB + 5);
    a[3 * kMiB + 4] = 'z';  // three steps up at once: the window goes straight there
    a[0] = 'a';             // and straight back
    a[kMiB] = 'm';
    EXPECT_EQ(a[3 * kMiB + 4], 'z');
    EXPECT_EQ(a[0], 'a');
    EXPECT_EQ(a[kMiB], 'm');

    CXenMemMappedArray small(L"\\temp", 10);
    for (int i = 0; i < 10; ++i)
        small[i] = static_cast<char>('0' + i);
    EXPECT_EQ(small[9], '9') << "a buffer below the view maps a shorter view";
}

TEST_F(MemMapped, StreamFailuresAndLimits)
{
    CXenMemMappedArray a(L"\\temp", 1000);
    struct Case { std::string stream; long result; int size; const char* reason; };
    const std::vector<Case> cases = {
        {countBytes(0), 0, 0, "count 0: nothing more"},
        {countBytes(0xFFFFFFFF), 0, 0, "a negative count is below 1: size 0"},
        {countBytes(1001) + std::string(1001, 'x'), E_INVALIDARG, 7, "beyond the buffer: refused, size kept"},
        {countBytes(10) + "short", E_FAIL, 10, "the stream ends before its bytes"},
        {"ab", E_FAIL, 7, "no whole count"},
        {countBytes(3) + "abc", 0, 3, "read"},
    };
    for (const Case& c : cases) {
        a.SetSize(7);
        CountingStream stream;
        stream.Write(c.stream.data(), static_cast<ULONG>(c.stream.size()), nullptr);
        stream.rewind();
        EXPECT_EQ(a.ReadFromStream(&stream), c.result) << c.reason;
        EXPECT_EQ(a.GetSize(), c.size) << c.reason;
    }
    EXPECT_LT(static_cast<long>(E_FAIL), 0) << "failures are negative as a long too";

    a.SetSize(0);
    CountingStream empty;
    EXPECT_EQ(a.WriteToStream(&empty), 0);
    EXPECT_EQ(empty.bytes(), countBytes(0)) << "size 0 writes only the count";

    a.SetSize(500);
    CountingStream failing;
    failing.failWriteAt = 2;
    EXPECT_EQ(a.WriteToStream(&failing), STG_E_MEDIUMFULL) << "the stream's code, at once";
    CountingStream failingCount;
    failingCount.failWriteAt = 1;
    EXPECT_EQ(a.WriteToStream(&failingCount), STG_E_MEDIUMFULL);
    EXPECT_EQ(failingCount.writeSizes.size(), 1u);
    CountingStream failingRead;
    failingRead.failReadAt = 1;
    EXPECT_EQ(a.ReadFromStream(&failingRead), STG_E_READFAULT);

    a.SetSize(2000);
    EXPECT_EQ(a.GetSize(), 500) << "a size beyond the capacity is not taken";
    EXPECT_EQ(a.WriteToStream(nullptr), E_POINTER);
}

TEST_F(MemMapped, FilesAreNumberedAndDeleted)
{
    // The counter is process-wide: find the next number from the file the next buffer makes.
    std::string made;
    {
        CXenMemMappedData data;
        ASSERT_TRUE(data.InitMemMappedFile(L"\\temp", 100));
        for (const auto& entry : std::filesystem::directory_iterator(host("temp")))
            if (entry.path().filename().string().rfind("_tmp_file_.tmp", 0) == 0)
                made = entry.path().filename().string();
        ASSERT_FALSE(made.empty());
        EXPECT_EQ(std::filesystem::file_size(host("temp/" + made)), 100u);
    }
    EXPECT_FALSE(hostExists("temp/" + made)) << "deleted with its buffer";
    const int number = std::stoi(made.substr(14));
    const std::string next = "temp/_tmp_file_.tmp" + std::to_string(number + 1) + ".tmp";
    const std::string after = "temp/_tmp_file_.tmp" + std::to_string(number + 2) + ".tmp";

    // A stale file that can be deleted is deleted; the number stays.
    writeHost(next, "stale");
    EXPECT_TRUE(CXenMemMappedData::DeleteNextFile(L"\\temp"));
    EXPECT_FALSE(hostExists(next));
    // One that cannot (a non-empty folder of that name) is skipped.
    writeHost(next + "/inside", "x");
    EXPECT_TRUE(CXenMemMappedData::DeleteNextFile(L"\\temp"));
    CXenMemMappedData data;
    ASSERT_TRUE(data.InitMemMappedFile(L"\\temp", 10));
    EXPECT_TRUE(hostExists(after)) << "the next buffer skipped the blocked name";

    CXenMemMappedData none;
    EXPECT_FALSE(none.InitMemMappedFile(L"\\missing", 10));
    EXPECT_FALSE(none.InitMemMappedFile(L"\\temp", 0)) << "an empty file cannot be mapped";
    EXPECT_EQ(none.getat(0), 0) << "the spare byte";
}

TEST_F(MemMapped, FuzzRandomStreamsIntoASmallArray)
{
    const FuzzBudget budget = fuzzBudget(5555u);
    CXenMemMappedArray a(L"\\temp", 300);
    std::mt19937 random(budget.seed);
    for (long runs = 0; budget.goesOn(runs, 500); ++runs) {
        std::string bytes(random() % 400, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        if (bytes.size() >= 4 && random() % 2)  // a plausible count half the time
            bytes.replace(0, 4, countBytes(static_cast<std::uint32_t>(random() % 320)));
        CountingStream stream;
        stream.Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        stream.rewind();
        const long result = a.ReadFromStream(&stream);
        EXPECT_TRUE(result == 0 || result == E_FAIL || result == E_INVALIDARG) << result;
        EXPECT_GE(a.GetSize(), 0);
        EXPECT_LE(a.GetSize(), 300);
        if (HasFailure())
            break;
    }
}

} // namespace

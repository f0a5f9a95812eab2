// Files replaced whole and locked for one writer at a time, each test in a device root of its
// own.
#include "deviceRootFixture.h"

#include "platform/safeFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class SafeFile : public DeviceRootTest {
protected:
    // Entries of the root whose names begin with the new-file prefix.
    int newFilesLeft() const
    {
        int count = 0;
        for (const auto& e : std::filesystem::directory_iterator(m_root))
            count += e.path().filename().string().rfind(".fieldcore-new-", 0) == 0 ? 1 : 0;
        return count;
    }
};

TEST_F(SafeFile, AFailedReplacementLeavesTheOldFileAndNoNewFile)
{
    writeHost("old.txt", "old");
    ASSERT_TRUE(ReplaceFileBytes(L"\\old.txt", "new"));
    EXPECT_EQ(readHost("old.txt"), "new");
    std::filesystem::create_directory(host("folder"));
    struct Case {
        const wchar_t* path;
        const char* why;
    } cases[] = {
        {L"\\folder", "a folder"},
        {L"\\missing\\x.txt", "a missing folder"},
        {L"\\bad\nname", "a line feed in the name"},
        {L"\\.fieldcore-attributes", "the layer's own file"},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(ReplaceFileBytes(c.path, "x")) << c.why;
    EXPECT_EQ(newFilesLeft(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(host("folder")));
}

TEST_F(SafeFile, ALinkOutOfTheRootIsRefused)
{
    const std::string outside = m_root + "-outside.txt";
    std::ofstream(outside) << "outside";
    ASSERT_EQ(::symlink(outside.c_str(), host("out.txt").c_str()), 0);
    EXPECT_FALSE(ReplaceFileBytes(L"\\out.txt", "x"));
    CFileLock lock;
    EXPECT_FALSE(lock.Lock(L"\\out.txt"));
    std::ifstream in(outside);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "outside");
    std::filesystem::remove(outside);
}

TEST_F(SafeFile, ALockMadeFileThatStaysEmptyIsRemovedAgain)
{
    {
        CFileLock lock;
        ASSERT_TRUE(lock.Lock(L"\\made.txt"));
        EXPECT_TRUE(lock.Created());
        EXPECT_TRUE(hostExists("made.txt"));
    }
    EXPECT_FALSE(hostExists("made.txt")) << "nothing was written: the file goes again";
    {
        CFileLock lock;
        ASSERT_TRUE(lock.Lock(L"\\empty.txt"));
        ASSERT_TRUE(ReplaceFileBytes(L"\\empty.txt", ""));
    }
    EXPECT_TRUE(hostExists("empty.txt")) << "an empty file written on purpose stays";
}

TEST_F(SafeFile, AWriterWaitsForTheLockAndSeesTheFileItsHolderWrote)
{
    writeHost("shared.txt", "0");
    std::atomic<bool> held{false};
    std::thread first([&] {
        CFileLock lock;
        ASSERT_TRUE(lock.Lock(L"\\shared.txt"));
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(ReplaceFileBytes(L"\\shared.txt", "1"));
    });
    while (!held)
        std::this_thread::yield();
    CFileLock lock;
    ASSERT_TRUE(lock.Lock(L"\\shared.txt"));
    EXPECT_EQ(readHost("shared.txt"), "1") << "the lock is the replaced file's, taken after the first writer";
    first.join();
}

} // namespace

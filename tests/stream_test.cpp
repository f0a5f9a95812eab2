// Streams: status codes, short reads, seeking, references, memory and file streams.
#include "deviceRootFixture.h"

#include "platform/stream.h"

#include <cstring>

namespace {

TEST(Streams, StatusCodesAreSigned32Bit)
{
    EXPECT_TRUE(FAILED(E_FAIL));
    EXPECT_LT(static_cast<long>(E_FAIL), 0) << "negative also as a 64-bit long";
    EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), 0x80004005u);
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_EQ(S_FALSE, 1);
}

void checkStream(IStream* stream)
{
    ULONG n = 0;
    EXPECT_EQ(stream->Write("abcdef", 6, &n), S_OK);
    EXPECT_EQ(n, 6u);
    ULARGE_INTEGER at{};
    EXPECT_EQ(stream->Seek(LARGE_INTEGER{-2}, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 4u);
    char buffer[8] = {};
    EXPECT_EQ(stream->Read(buffer, 8, &n), S_FALSE) << "fewer bytes than asked: the end";
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(stream->Read(buffer, 8, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(FAILED(stream->Seek(LARGE_INTEGER{-1}, STREAM_SEEK_SET, nullptr))) << "before the start";
    EXPECT_EQ(stream->Seek(LARGE_INTEGER{1}, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream->Seek(LARGE_INTEGER{2}, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 3u);
    EXPECT_EQ(stream->Read(buffer, 3, &n), S_OK);
    EXPECT_EQ(std::string(buffer, 3), "def");
}

TEST(Streams, MemoryStream)
{
    IStream* stream = createMemoryStream();
    ASSERT_NE(stream, nullptr);
    checkStream(stream);
    EXPECT_EQ(stream->AddRef(), 2u);
    EXPECT_EQ(stream->Release(), 1u);
    EXPECT_EQ(stream->Release(), 0u) << "deleted";
}

using FileStreams = DeviceRootTest;

TEST_F(FileStreams, FileStream)
{
    IStream* stream = createFileStream(L"\\s.bin", true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Write("abcdef", 6, nullptr), S_OK);
    stream->Release();
    EXPECT_EQ(readHost("s.bin"), "abcdef");
    IStream* reader = createFileStream(L"\\s.bin", false);
    ASSERT_NE(reader, nullptr);
    char buffer[8];
    ULONG n = 0;
    EXPECT_EQ(reader->Read(buffer, 8, &n), S_FALSE);
    EXPECT_EQ(n, 6u);
    EXPECT_TRUE(FAILED(reader->Write("x", 1, nullptr))) << "opened for reading";
    reader->Release();
    EXPECT_EQ(createFileStream(L"\\missing.bin", false), nullptr);

    IStream* both = createFileStream(L"\\t.bin", true);
    checkStream(both);  // a written stream reads back
    both->Release();
}

} // namespace

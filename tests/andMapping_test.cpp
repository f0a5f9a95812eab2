// CAndMapping: a mapped file's bytes, loud and quiet failures, and unloading.
#include "deviceRootFixture.h"

#include "files/andMapping.h"
#include "platform/lastError.h"
#include "platform/messageBox.h"
#include "platform/process.h"

#include <cstring>

namespace {

class AndMapping : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        clearMessageBoxes();
        SetMainWindow(nullptr);
    }
    void TearDown() override
    {
        SetMainWindow(nullptr);
        clearMessageBoxes();
        DeviceRootTest::TearDown();
    }
};

TEST_F(AndMapping, MapsTheWholeFile)
{
    writeHost("data.bin", "hello mapped world");
    CAndMapping mapping(L"\\data.bin", 0, nullptr);
    ASSERT_EQ(mapping.IsLoaded(), 1);
    EXPECT_EQ(mapping.GetFileLength(), 18);
    EXPECT_EQ(std::string(static_cast<char*>(mapping), 18), "hello mapped world");
    EXPECT_EQ(static_cast<void*>(static_cast<wchar_t*>(mapping)), static_cast<void*>(static_cast<char*>(mapping)));
    mapping.UnloadFile();
    EXPECT_EQ(mapping.IsLoaded(), 0);
    EXPECT_EQ(static_cast<char*>(mapping), nullptr);
    EXPECT_EQ(mapping.GetFileLength(), 0);
    writeHost("other.bin", "xy");
    EXPECT_EQ(mapping.Construct(L"\\other.bin"), 1);
    EXPECT_EQ(mapping.GetFileLength(), 2);
    EXPECT_TRUE(recordedMessageBoxes().empty());
}

TEST_F(AndMapping, QuietFailuresRecordTheCode)
{
    struct Case { const wchar_t* path; unsigned long code; const char* reason; };
    writeHost("empty.bin", "");
    writeHost("folder/x", "");
    const Case cases[] = {
        {L"\\missing.bin", ERROR_FILE_NOT_FOUND, "a missing file: 2"},
        {L"\\nowhere\\missing.bin", ERROR_PATH_NOT_FOUND, "a missing folder: 3"},
        {L"\\empty.bin", ERROR_FILE_INVALID, "an empty file cannot be mapped"},
        {L"\\folder", ERROR_ACCESS_DENIED, "a folder"},
    };
    for (const Case& c : cases) {
        CAndMapping mapping(1);
        EXPECT_EQ(mapping.Construct(c.path), 0) << c.reason;
        EXPECT_EQ(mapping.GetLastAndMappingError(), c.code) << c.reason;
        EXPECT_EQ(static_cast<char*>(mapping), nullptr) << c.reason;
    }
    EXPECT_TRUE(recordedMessageBoxes().empty()) << "quiet: nothing shown";
}

TEST_F(AndMapping, LoudFailureShowsOneMessageBox)
{
    HWND owner = createWindowStub(10, 10);
    HWND mainWindow = createWindowStub(10, 10);
    SetMainWindow(mainWindow);
    struct Case { HWND owner; const wchar_t* path; const wchar_t* text; HWND expectedOwner; const char* reason; };
    writeHost("empty.bin", "");
    const Case cases[] = {
        {owner, L"\\missing.bin", L"Cannot open the file. \\missing.bin", owner, "owned by the given window"},
        {nullptr, L"\\missing.bin", L"Cannot open the file. \\missing.bin", mainWindow, "else the main window"},
        {nullptr, L"\\empty.bin", L"Cannot create mapping file.", mainWindow, "an empty file"},
    };
    for (const Case& c : cases) {
        clearMessageBoxes();
        CAndMapping mapping(c.path, 0, c.owner);
        EXPECT_EQ(mapping.IsLoaded(), 0);
        const std::vector<MessageBoxRecord> boxes = recordedMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u) << c.reason;
        EXPECT_EQ(boxes[0].text, c.text) << c.reason;
        EXPECT_EQ(boxes[0].caption, L"Message");
        EXPECT_EQ(boxes[0].flags, MB_ICONSTOP | MB_TOPMOST);
        EXPECT_EQ(boxes[0].owner, c.expectedOwner) << c.reason;
    }
    SetMainWindow(nullptr);
    clearMessageBoxes();
    CAndMapping unowned(L"\\missing.bin", 0, nullptr);
    ASSERT_EQ(recordedMessageBoxes().size(), 1u);
    EXPECT_EQ(recordedMessageBoxes()[0].owner, nullptr) << "no owner at all";
    destroyWindowStub(owner);
    destroyWindowStub(mainWindow);
}

// The code form of the error: the system's message or a string resource.
class CodeErrors : public CAndMapping {
public:
    using CAndMapping::CAndMapping;
    using CAndMapping::InitError;
};

TEST_F(AndMapping, CodeFormOfTheError)
{
    CodeErrors quiet(1);
    quiet.InitError(1234ul, MB_OK, 1);
    EXPECT_EQ(quiet.GetLastAndMappingError(), 1234u) << "quiet: the given code";
    EXPECT_TRUE(recordedMessageBoxes().empty());

    CodeErrors loud(0);
    loud.InitError(2ul, MB_ICONSTOP, 1);
    SetStringResource(nullptr, 4711, L"A resource text");
    loud.InitError(4711ul, MB_ICONSTOP, 0);
    const std::vector<MessageBoxRecord> boxes = recordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"The system cannot find the file specified.");
    EXPECT_EQ(boxes[1].text, L"A resource text");
    SetStringResource(nullptr, 4711, nullptr);
}

TEST(MessageBoxes, HandlerAnswersAndDefaultIsOk)
{
    clearMessageBoxes();
    EXPECT_EQ(MessageBoxW(nullptr, L"t", L"c", MB_OK), IDOK) << "no handler";
    SetMessageBoxHandler([](const MessageBoxRecord& box) { return box.flags & MB_YESNO ? IDNO : IDCANCEL; });
    EXPECT_EQ(MessageBoxW(nullptr, L"t", nullptr, MB_YESNO), IDNO);
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, 0), IDOK);
    const std::vector<MessageBoxRecord> boxes = recordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].caption, L"") << "a null caption is recorded as empty";
    for (int i = 0; i < 150; ++i)
        MessageBoxW(nullptr, L"x", L"y", 0);
    EXPECT_EQ(recordedMessageBoxes().size(), 100u) << "the latest 100 are kept";
    clearMessageBoxes();
}

} // namespace

// The job-history writer and its checker, each test in a device root of its own.
#include "deviceRootFixture.h"

#include "files/jobHistoryCheck.h"
#include "files/xmlWriter.h"

#include <random>
#include <string>

namespace {

class XmlWriterTest : public DeviceRootTest {};

// UTF-16LE bytes of ASCII text.
std::string utf16(const std::string& ascii)
{
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The job-history checksum of ASCII text written in one period, computed here from its rule:
// the low byte of each character XORed into byte 0, 1, 2, 3, 0, ... of the sum.
unsigned int xorSum(const std::string& ascii)
{
    unsigned int sum = 0;
    for (size_t i = 0; i < ascii.size(); ++i)
        sum ^= static_cast<unsigned int>(static_cast<unsigned char>(ascii[i])) << (8 * (i % 4));
    return sum;
}

std::string hex(unsigned int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

void writeEntry(CXMLWriter& w, const wchar_t* field, const wchar_t* value)
{
    w.WriteStartElement(L"Entry");
    w.WriteElementString(field, value);
    w.WriteEndElement();
}

// One period of the tool's kind: entries, the checksum, the root's end tag.
void writePeriod(const wchar_t* path, const wchar_t* value)
{
    CXMLWriter w;
    bool created = false;
    ASSERT_TRUE(w.Open(path, created));
    writeEntry(w, L"Value", value);
    w.WriteCheckSum();
    w.WriteEndElement();
    w.Close();
}

TEST_F(XmlWriterTest, ACutIsLoggedAtLevelTwo)
{
    writePeriod(L"\\job.xml", L"one");
    const std::string good = readHost("job.xml");
    writeHost("job.xml", good.substr(0, good.size() - 10));  // 34 of the end tag's 44 bytes stay
    // In a child process: the library log is the process's own, started by the first message
    // (this test comes first, before any other test of the program logs).
    EXPECT_EXIT(
        {
            CXMLWriter w;
            bool created = false;
            w.Open(L"\\job.xml", created);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    const std::string log = readHost("Program Files/fieldcore/fieldcore.log");
    EXPECT_NE(log.find("<2> - job history \\job.xml: 34 bytes of an unfinished write cut, back to the last complete checksum"),
              std::string::npos)
        << log;
}

TEST_F(XmlWriterTest, NewFileLayout)
{
    CXMLWriter w;
    bool created = false;
    ASSERT_TRUE(w.Open(L"\\job.xml", created));
    EXPECT_TRUE(created);
    w.WriteStartElement(L"Empty");
    w.WriteEndElement();
    writeEntry(w, L"Field", L"v");
    w.WriteCheckSum();
    w.WriteEndElement();
    w.Close();
    const std::string body = "<?xml version=\"1.0\"?>\r\n<OstrandJobHistory>\r\n <Empty></Empty>\r\n"
                             " <Entry>\r\n  <Field>v</Field>\r\n</Entry>\r\n";
    const std::string expected = "\xFF\xFE" + utf16(body + "<CheckSum>" + hex(xorSum(body)) +
                                                     "</CheckSum>\r\n</OstrandJobHistory>\r\n");
    EXPECT_EQ(readHost("job.xml"), expected) << "an empty element on one line";
    std::string detail;
    EXPECT_EQ(CheckJobHistory(readHost("job.xml"), detail), JOB_HISTORY_OK) << detail;
}

TEST_F(XmlWriterTest, ZeroChecksumIsOneDigit)
{
    // An existing file shorter than the root's closing tag: nothing is restored, the sum is 0.
    writeHost("short.xml", "\xFF\xFE" + utf16("<a/>"));
    CXMLWriter w;
    bool created = true;
    ASSERT_TRUE(w.Open(L"\\short.xml", created));
    EXPECT_FALSE(created);
    w.WriteCheckSum();
    w.Close();
    EXPECT_EQ(readHost("short.xml"), "\xFF\xFE" + utf16("<a/><CheckSum>0</CheckSum>\r\n"));
}

TEST_F(XmlWriterTest, ReopenWritesBeforeClosingTag)
{
    for (int period = 0; period < 3; ++period) {
        CXMLWriter w;
        bool created = false;
        ASSERT_TRUE(w.Open(L"\\job.xml", created));
        EXPECT_EQ(created, period == 0);
        writeEntry(w, L"Period", period == 0 ? L"one" : L"more");
        w.WriteCheckSum();
        w.WriteEndElement();
        w.Close();
    }
    const std::string b = readHost("job.xml");
    const std::string closing = utf16("</OstrandJobHistory>\r\n");
    EXPECT_EQ(b.find(closing), b.size() - closing.size()) << "one closing tag, at the end";
    size_t sums = 0;
    for (size_t at = b.find(utf16("<CheckSum>")); at != std::string::npos; at = b.find(utf16("<CheckSum>"), at + 1))
        ++sums;
    EXPECT_EQ(sums, 3u) << "every period keeps its checksum element";
    std::string detail;
    EXPECT_EQ(CheckJobHistory(b, detail), JOB_HISTORY_OK) << detail;
}

TEST_F(XmlWriterTest, ReopenWithoutClosingTagAppends)
{
    const std::string head = "<?xml version=\"1.0\"?>\r\n<OstrandJobHistory>\r\n <Entry>\r\n  <A>1</A>\r\n</Entry>\r\n";
    writeHost("open.xml", "\xFF\xFE" + utf16(head));
    CXMLWriter w;
    bool created = true;
    ASSERT_TRUE(w.Open(L"\\open.xml", created));
    EXPECT_FALSE(created);
    writeEntry(w, L"B", L"2");
    w.WriteEndElement();
    w.Close();
    EXPECT_EQ(readHost("open.xml"),
              "\xFF\xFE" + utf16(head + " <Entry>\r\n  <B>2</B>\r\n</Entry>\r\n</OstrandJobHistory>\r\n"))
        << "the root counts as open and written";
}

TEST_F(XmlWriterTest, RandomHistoriesCheckAndTamperingIsFound)
{
    std::mt19937 rng(20261206);
    for (int trial = 0; trial < 40; ++trial) {
        const std::string name = "h" + std::to_string(trial) + ".xml";
        const std::wstring device = L"\\" + std::wstring(name.begin(), name.end());
        int periods = 1 + static_cast<int>(rng() % 5);
        for (int p = 0; p < periods; ++p) {
            CXMLWriter w;
            bool created = false;
            ASSERT_TRUE(w.Open(device.c_str(), created));
            // The first period writes at least one entry: a checksum written while the root's
            // start tag is still pending would stand before it (no valid history).
            int entries = static_cast<int>(rng() % 4) + (p == 0 ? 1 : 0);
            for (int e = 0; e < entries; ++e) {
                std::wstring value(1 + rng() % 20, L'x');
                for (wchar_t& c : value)
                    c = static_cast<wchar_t>(L' ' + 1 + rng() % 90);
                for (wchar_t& c : value)
                    if (c == L'<' || c == L'&' || c == L'>')
                        c = L'_';
                writeEntry(w, L"Value", value.c_str());
            }
            w.WriteCheckSum();
            w.WriteEndElement();
            w.Close();
        }
        const std::string good = readHost(name);
        std::string detail;
        ASSERT_EQ(CheckJobHistory(good, detail), JOB_HISTORY_OK) << "trial " << trial << ": " << detail;

        const size_t lastSum = good.rfind(utf16("<CheckSum>"));
        size_t cut = 2 + 2 * (rng() % ((lastSum - 2) / 2));
        EXPECT_NE(CheckJobHistory(good.substr(0, cut), detail), JOB_HISTORY_OK)
            << "trial " << trial << " cut at byte " << cut;

        std::string changed = good;
        size_t unit = 1 + rng() % (good.size() / 2 - 1);
        changed[2 * unit] = static_cast<char>(changed[2 * unit] ^ (1 + rng() % 255));
        EXPECT_NE(CheckJobHistory(changed, detail), JOB_HISTORY_OK)
            << "trial " << trial << " low byte of unit " << unit << " changed";
    }
}

TEST_F(XmlWriterTest, WriterStoppedAtAnyByteIsCutBackAndChecksAfterTheNextPeriod)
{
    // A writer killed in its third period leaves the first two periods and any number of
    // bytes of the third (the third overwrites the root's end tag of the second).
    writePeriod(L"\\full.xml", L"first");
    writePeriod(L"\\full.xml", L"second");
    const std::string two = readHost("full.xml");
    writePeriod(L"\\full.xml", L"third period, longer than the end tag it overwrites");
    const std::string three = readHost("full.xml");
    const std::string rootEnd = utf16("</OstrandJobHistory>\r\n");
    const size_t resume = two.size() - rootEnd.size();
    ASSERT_EQ(three.compare(0, resume, two, 0, resume), 0);
    for (size_t written = 0; written <= three.size() - resume; ++written) {
        // The old end tag stays where the new bytes did not reach it.
        std::string torn = three.substr(0, resume + written);
        if (torn.size() < two.size())
            torn += two.substr(torn.size());
        writeHost("torn.xml", torn);
        writePeriod(L"\\torn.xml", L"after");
        std::string detail;
        EXPECT_EQ(CheckJobHistory(readHost("torn.xml"), detail), JOB_HISTORY_OK)
            << written << " bytes of the third period written: " << detail;
    }
}

TEST_F(XmlWriterTest, TornEndIsCutToTheLastCompleteChecksum)
{
    writePeriod(L"\\job.xml", L"one");
    const std::string good = readHost("job.xml");
    const std::string rootEnd = utf16("</OstrandJobHistory>\r\n");
    const std::string intact = good.substr(0, good.size() - rootEnd.size());
    struct Case {
        const char* name;
        std::string tail;
    } cases[] = {
        {"no closing tag", ""},
        {"a cut element", utf16(" <Entry>\r\n  <Va")},
        {"half a character", utf16(" <E") + "<"},
        {"a sum that does not continue", utf16(" <Entry></Entry>\r\n<CheckSum>1234</CheckSum>\r\n") + rootEnd},
    };
    for (const Case& c : cases) {
        writeHost("job.xml", intact + c.tail);
        CXMLWriter w;
        bool created = true;
        ASSERT_TRUE(w.Open(L"\\job.xml", created)) << c.name;
        EXPECT_FALSE(created) << c.name;
        EXPECT_EQ(w.GetCutLength(), c.tail.size()) << c.name;
        w.WriteEndElement();
        w.Close();
        EXPECT_EQ(readHost("job.xml"), good) << c.name << ": back to the last complete period";
    }
}

TEST_F(XmlWriterTest, WriterStoppedInItsFirstPeriodChecksAfterTheNextPeriod)
{
    writePeriod(L"\\first.xml", L"the first period");
    const std::string whole = readHost("first.xml");
    for (size_t length = 0; length < whole.size(); ++length) {
        writeHost("torn.xml", whole.substr(0, length));
        writePeriod(L"\\torn.xml", L"after");
        std::string detail;
        EXPECT_EQ(CheckJobHistory(readHost("torn.xml"), detail), JOB_HISTORY_OK)
            << length << " bytes of the first period written: " << detail;
    }
}

TEST_F(XmlWriterTest, HistoryWithoutChecksumGetsTheSumOfAllItHolds)
{
    // An entry was written before any checksum: the next checksum covers it too.
    const std::string head = "<?xml version=\"1.0\"?>\r\n<OstrandJobHistory>\r\n <Entry>\r\n  <A>1</A>\r\n</Entry>\r\n";
    writeHost("open.xml", "\xFF\xFE" + utf16(head));
    writePeriod(L"\\open.xml", L"2");
    std::string detail;
    EXPECT_EQ(CheckJobHistory(readHost("open.xml"), detail), JOB_HISTORY_OK) << detail;
}

TEST(XmlWriterNames, CheckSumAndTheRootAreReserved)
{
    EXPECT_TRUE(CXMLWriter::IsReservedName(L"CheckSum"));
    EXPECT_TRUE(CXMLWriter::IsReservedName(L"OstrandJobHistory"));
    EXPECT_FALSE(CXMLWriter::IsReservedName(L"CheckSums"));
    EXPECT_FALSE(CXMLWriter::IsReservedName(L"checksum")) << "XML names are case-sensitive";
}

TEST(JobHistoryCheck, NotAHistory)
{
    std::string detail;
    EXPECT_EQ(CheckJobHistory("", detail), JOB_HISTORY_NOT_HISTORY);
    EXPECT_EQ(CheckJobHistory("<?xml version=\"1.0\"?>", detail), JOB_HISTORY_NOT_HISTORY) << "no BOM";
    EXPECT_EQ(CheckJobHistory("\xFF\xFE" + utf16("<root/>"), detail), JOB_HISTORY_NOT_HISTORY);
}

} // namespace

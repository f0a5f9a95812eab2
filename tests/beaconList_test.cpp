// The beacon list: loading listings (labels, offsets, countries carried over, line ends, long
// lines), reading positions, status, frequency and rate, freeing the list, the wait cursor,
// and random listings written in the published layout and loaded back.
#include "deviceRootFixture.h"
#include "testUtil.h"

#include "devices/beaconList.h"
#include "platform/textCodec.h"
#include "platform/waitCursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <vector>

void PrintTo(const CString& s, std::ostream* os) { *os << '"' << ToUtf8(s) << '"'; }

namespace {

const char* const kPath = "beacons.txt";
const wchar_t* const kDevicePath = L"\\beacons.txt";

// The beacons of a list, owned, freed with the list.
struct Loaded {
    CObArray list;
    ~Loaded() { DeleteBeacons(list); }
    int size() const { return list.GetSize(); }
    const TBeacon& at(int i) const { return *static_cast<const TBeacon*>(list[i]); }
};

TBeacon beacon(const wchar_t* country, const wchar_t* name, const wchar_t* status = L"",
               const wchar_t* location = L"", const wchar_t* frequency = L"", const wchar_t* rate = L"")
{
    TBeacon b;
    b.country = country;
    b.name = name;
    b.status = status;
    b.antennaLocation = location;
    b.frequency = frequency;
    b.rate = rate;
    return b;
}

::testing::AssertionResult sameBeacon(const TBeacon& actual, const TBeacon& expected)
{
    const CString TBeacon::*fields[] = {&TBeacon::country, &TBeacon::name, &TBeacon::status,
                                         &TBeacon::antennaLocation, &TBeacon::frequency, &TBeacon::rate};
    const char* names[] = {"country", "name", "status", "location", "frequency", "rate"};
    for (int i = 0; i < 6; ++i)
        if (actual.*fields[i] != expected.*fields[i])
            return ::testing::AssertionFailure() << names[i] << ": got \"" << ToUtf8(actual.*fields[i])
                                                 << "\", expected \"" << ToUtf8(expected.*fields[i]) << '"';
    return ::testing::AssertionSuccess();
}

class BeaconList : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        ResetWaitCursorRecord();
    }
    // Writes `bytes` as the listing and loads it into `loaded`.
    bool load(const std::string& bytes, Loaded& loaded)
    {
        writeHost(kPath, bytes);
        return LoadBeaconsFile(kDevicePath, loaded.list);
    }
    void expectBeacons(const std::string& bytes, const std::vector<TBeacon>& expected)
    {
        Loaded loaded;
        ASSERT_TRUE(load(bytes, loaded));
        ASSERT_EQ(loaded.size(), static_cast<int>(expected.size())) << bytes;
        for (int i = 0; i < loaded.size(); ++i)
            EXPECT_TRUE(sameBeacon(loaded.at(i), expected[static_cast<size_t>(i)])) << "beacon " << i << " of\n" << bytes;
    }
};

TEST_F(BeaconList, SecondBeaconUnderANewCountryFirstKeepsItsOwn)
{
    const std::string listing =
        "<BR><B>ALPHA</B>\n"
        "Status: Operational\n"
        "Antenna Location: 45\xB0" "30.0' N;73\xB0" "35.5' W\n"
        "Transmission Frequency: 286 kHz\n"
        "Transmission Rate: 200 bps\n"
        "Country: Canada\n"
        "<BR><B>BRAVO</B>\n"
        "Status: Not Operational\n";
    expectBeacons(listing, {beacon(L"USA", L"ALPHA", L"Operational", L"45\u00B030.0' N;73\u00B035.5' W", L"286 kHz",
                                   L"200 bps"),
                            beacon(L"Canada", L"BRAVO", L"Not Operational")});
    // An earlier country carries over to every beacon until the next "Country:" line.
    expectBeacons("Country: Mexico\nName: A\nName: B\nCountry: Chile\nName: C\n",
                  {beacon(L"Mexico", L"A"), beacon(L"Mexico", L"B"), beacon(L"Chile", L"C")});
}

TEST_F(BeaconList, LineLayouts)
{
    struct Case {
        const char* reason;
        std::string listing;
        std::vector<TBeacon> expected;
    };
    const Case cases[] = {
        {"bold name without markup, the tag anywhere in the line",
         "<TR><TD><BR><B>CAPE RACE</B></TD></TR>\n", {beacon(L"USA", L"CAPE RACE")}},
        {"bold name without a closing tag runs to the end of the line", "<BR><B> WIARTON \n",
         {beacon(L"USA", L"WIARTON")}},
        {"the line's only \"</\" before the label: the name runs to the end", "</TD><BR><B>X Y\n",
         {beacon(L"USA", L"X Y")}},
        {"\"Name:\" takes from the line's sixth character wherever the label stands",
         "Name: ONE\n  Name: TWO\n", {beacon(L"USA", L"ONE"), beacon(L"USA", L"e: TWO")}},
        {"a name empty after trimming is none: the fields go to the next named beacon",
         "<BR><B>   </B>\nStatus: Operational\n<BR><B>N</B>\n", {beacon(L"USA", L"N", L"Operational")}},
        {"a beacon without a name is never stored", "Status: Operational\nTransmission Rate: 100\n", {}},
        {"values from p + 8, p + 18, p + 9: one character past the label",
         "Name: A\nStatus:Operational\nAntenna Location:45 30 N;1 2 E\nCountry:XCanada\nName: B\n",
         {beacon(L"USA", L"A", L"perational", L"5 30 N;1 2 E"), beacon(L"Canada", L"B")}},
        {"rate and frequency from right after the label",
         "Name: A\nTransmission Rate:100\nTransmission Frequency:300\n",
         {beacon(L"USA", L"A", L"", L"", L"300", L"100")}},
        {"an offset past the end of the line gives an empty value",
         "Name: A\nStatus: Operational\nStatus:\nCountry:\n", {beacon(L"USA", L"A")}},
        {"the labels are tested in order; the first found decides",
         "Name: A\nCountry: X Status: Operational\nStatus: up Name: B\n",
         {beacon(L"USA", L"A", L"Operational"), beacon(L"USA", L"s: up Name: B")}},
        {"\"<BR><B>\" before \"Name:\" and \"Country:\"", "Country: Peru <BR><B>Q</B> Name: R\n",
         {beacon(L"USA", L"Q")}},
        {"labels compare with exact case", "Name: A\nstatus: Operational\nCOUNTRY: Peru\n",
         {beacon(L"USA", L"A")}},
        {"CR LF line ends, blank lines and a last line without a line end",
         "\r\n<BR><B>A</B>\r\n\r\nStatus: Operational \r\n  \r\nTransmission Rate: 50\r\nCountry: Cuba\r\nName: B",
         {beacon(L"USA", L"A", L"Operational", L"", L"", L"50"), beacon(L"Cuba", L"B")}},
        {"a file that ends right after a beacon's last field stores it",
         "Name: A\nTransmission Frequency: 310", {beacon(L"USA", L"A", L"", L"", L"310")}},
        {"8-bit text in the system code page", "Country: Espa\xF1" "a\nName: \x80 A\xE9\n",
         {beacon(L"Espa\u00F1a", L"\u20AC A\u00E9")}},
        {"an empty file", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        expectBeacons(c.listing, c.expected);
    }
}

TEST_F(BeaconList, LongLinesArriveInPiecesAndALabelCutInTwoIsNotFound)
{
    // The reader takes 512 bytes a piece: "Sta" ends the first piece, "tus: ..." begins the next.
    const std::string cut = std::string(509, 'x') + "Status: Operational\n";
    // The label ends the first piece: its value lies past that piece's end, and the rest of the
    // line is a piece without a label.
    const std::string atEnd = std::string(505, 'x') + "Status: Operational\n";
    // A label well inside a second piece is found there.
    const std::string second = std::string(600, 'x') + " Status: Operational\n";
    expectBeacons("Name: A\n" + cut, {beacon(L"USA", L"A")});
    expectBeacons("Name: A\n" + atEnd, {beacon(L"USA", L"A")});
    expectBeacons("Name: A\n" + second, {beacon(L"USA", L"A", L"Operational")});
}

TEST_F(BeaconList, AppendsToTheListAndAMissingFileLeavesItUnchanged)
{
    Loaded loaded;
    ASSERT_TRUE(load("Name: A\n", loaded));
    ASSERT_TRUE(LoadBeaconsFile(kDevicePath, loaded.list));
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_NE(&loaded.at(0), &loaded.at(1));

    EXPECT_FALSE(LoadBeaconsFile(L"\\no such file.txt", loaded.list));
    EXPECT_EQ(loaded.size(), 2);
    EXPECT_FALSE(LoadBeaconsFile(L"\\", loaded.list)) << "a folder is no listing";
    EXPECT_EQ(loaded.size(), 2);
}

TEST_F(BeaconList, TheWaitCursorIsRestoredOnEveryPath)
{
    Loaded loaded;
    ASSERT_TRUE(load("Name: A\n", loaded));
    EXPECT_FALSE(LoadBeaconsFile(L"\\missing.txt", loaded.list));
    const WaitCursorRecord r = GetWaitCursorRecord();
    EXPECT_EQ(r.begins, 2);
    EXPECT_EQ(r.ends, 2);
    EXPECT_EQ(r.depth, 0);
    EXPECT_EQ(r.unmatchedEnds, 0);
    EXPECT_FALSE(IsWaitCursorShown());
}

TEST(Beacon, DeleteBeaconsSkipsNullElements)
{
    CObArray list;
    list.Add(new TBeacon);
    list.Add(nullptr);
    list.Add(new TBeacon);
    DeleteBeacons(list);  // the sanitizer build sees a leak or a bad free
    EXPECT_EQ(list.GetSize(), 0);
    DeleteBeacons(list);
    EXPECT_EQ(list.GetSize(), 0);
}

TEST(Beacon, ResetKeepsTheCountryAndSetEqualCopiesAllSix)
{
    const TBeacon full = beacon(L"Peru", L"N", L"S", L"L", L"F", L"R");
    TBeacon b;
    b.SetEqual(full);
    EXPECT_TRUE(sameBeacon(b, full));
    b.Reset();
    EXPECT_TRUE(sameBeacon(b, beacon(L"Peru", L"")));
}

TEST(Beacon, Position)
{
    const double f353 = static_cast<double>(35.3f) / 60.0;  // minutes are read in single precision
    struct Case {
        const wchar_t* text;
        bool read;
        double latitude, longitude;
    };
    const Case cases[] = {
        {L"45\u00B030.0' N;73\u00B035.5' W", true, 45.5, -73.59166666666667},
        {L"45 30.0 N;73 35.5 W", true, 45.5, -73.59166666666667},
        {L"45 30.0' N;73 35.5  W", true, 45.5, -73.59166666666667},
        {L"45 30.0' N;73 35.5 W", true, 45.5, -73.59166666666667},  // two blanks match any blanks
        {L"45\u00B030.0'N;73\u00B035.5'W", true, 45.5, -73.59166666666667},
        {L"73\u00B035.3' N;73\u00B035.3' E", true, 73.0 + f353, 73.0 + f353},
        {L"33\u00B052.0' S;151\u00B012.0' E", true, -(33.0 + 52.0 / 60.0), 151.2},
        {L"33 52.0 s;151 12.0 w", true, 33.0 + 52.0 / 60.0, 151.2},  // exact case: no negation
        {L"10 30 X;20 15 Y", true, 10.5, 20.25},
        {L"45\u00B030.0' N", false, 45.5, 0.0},  // what was read stays
        {L"45 30.0 N;73", false, 45.5, 73.0},
        // The third layout has no apostrophe after the longitude minutes: "'" is read as the
        // longitude's letter, which does not negate.
        {L"45 30.0' N;73 35.5' W", true, 45.5, 73.59166666666667},
        {L"", false, 0.0, 0.0},
        // Read in full but no place: each was a position (status ok) before.
        {L"95 30.0 N;73 35.5 W", false, 95.5, -73.59166666666667}, {L"45 75.0 N;73 0 E", false, 46.25, 73.0},
        {L"45 30 N;200 35.5 E", false, 45.5, 200.59166666666667}, {L"-45 30 N;73 0 E", false, -44.5, 73.0},
        {L"45 -1 N;73 0 E", false, 45.0 - 1.0 / 60.0, 73.0}, {L"90 0 S;180 0 W", true, -90.0, -180.0},
        {L"north", false, 0.0, 0.0},
        // A UTF-8 listing read as 8-bit text: the degree sign becomes "Â°"; the first layout is
        // chosen and fails after the degrees.
        {L"45\u00C2\u00B030.0' N;73\u00C2\u00B035.5' W", false, 45.0, 0.0},
    };
    for (const Case& c : cases) {
        TBeacon b;
        b.antennaLocation = c.text;
        double lat = -999.0, lon = -999.0;
        EXPECT_EQ(b.GetPosition(lat, lon), c.read) << ToUtf8(c.text);
        EXPECT_TRUE(nearUlps(lat, c.latitude)) << ToUtf8(c.text);
        EXPECT_TRUE(nearUlps(lon, c.longitude)) << ToUtf8(c.text);
    }
    EXPECT_EQ(73.0 + f353, 73.58833332061768);
}

TEST(Beacon, StatusFrequencyAndRate)
{
    const struct {
        const wchar_t* status;
        bool operational;
    } statuses[] = {{L"Operational", true}, {L"Not Operational", true}, {L"operational", false},
                    {L"perational", false}, {L"", false}, {L"Off (Operational soon)", true}};
    for (const auto& s : statuses) {
        TBeacon b;
        b.status = s.status;
        EXPECT_EQ(b.GetStatus(), s.operational) << ToUtf8(s.status);
    }
    const struct {
        const wchar_t* text;
        double value;
    } numbers[] = {{L"286 kHz", 286.0},     {L"313.5", 313.5},          {L"  200 bps", 200.0},
                   {L"35.3", double(35.3f)}, {L"kHz 286", 0.0},          {L"", 0.0},
                   {L"-12", -12.0},          {L"1e3x", 1000.0},          {L"0.1", double(0.1f)}};
    for (const auto& n : numbers) {
        TBeacon b;
        b.frequency = n.text;
        b.rate = n.text;
        EXPECT_EQ(b.GetFrequency(), n.value) << ToUtf8(n.text);
        EXPECT_EQ(b.GetBaudRate(), n.value) << ToUtf8(n.text);
    }
}

// ---- Random listings in the published layout load back equal ----

class ListingWriter {
public:
    explicit ListingWriter(unsigned seed) : m_rng(seed) {}

    // A value as the listings hold it: no label can occur in it (no ':' and no '<'), trimmed.
    CString value(bool allowEmpty)
    {
        static const wchar_t kChars[] = L"ABCXYZabcxyz0123456789 .,;'-/()\u00B0\u00E9\u00F1\u20AC";
        std::wstring t;
        const size_t length = pick(allowEmpty ? 12 : 11) + (allowEmpty ? 0 : 1);
        for (size_t i = 0; i < length; ++i)
            t += kChars[pick(sizeof kChars / sizeof *kChars - 1)];
        CString text(t.c_str());
        text.Trim();
        return text.IsEmpty() && !allowEmpty ? CString(L"N") : text;
    }

    std::vector<TBeacon> beacons()
    {
        std::vector<TBeacon> list(pick(6));
        CString country = L"USA";
        for (TBeacon& b : list) {
            if (pick(3) == 0)
                country = value(true);
            b.country = country;
            b.name = value(false);
            b.status = value(true);
            b.antennaLocation = value(true);
            b.frequency = value(true);
            b.rate = value(true);
        }
        return list;
    }

    std::string listing(const std::vector<TBeacon>& list)
    {
        std::wstring text;
        CString country = L"USA";
        const std::wstring eol = pick(2) ? L"\r\n" : L"\n";
        auto line = [&](const std::wstring& l) {
            text += l + eol;
            if (pick(4) == 0)
                text += pick(2) ? L"  " + eol : eol;  // blank lines are skipped
        };
        for (const TBeacon& b : list) {
            if (b.country != country)
                line(L"Country: " + b.country.str());
            country = b.country;
            line(pick(2) ? L"<BR><B>" + b.name.str() + L"</B>" : L"Name: " + b.name.str());
            // The fields in any order; an empty one may be left out.
            std::vector<std::wstring> fields = {L"Status: " + b.status.str(),
                                                L"Antenna Location: " + b.antennaLocation.str(),
                                                L"Transmission Frequency: " + b.frequency.str(),
                                                L"Transmission Rate: " + b.rate.str()};
            std::shuffle(fields.begin(), fields.end(), m_rng);
            for (const std::wstring& f : fields)
                if (f.back() != L' ' || pick(2))
                    line(f);
        }
        if (!text.empty() && pick(2))
            text.resize(text.size() - eol.size());  // no line end after the last field
        return WideToAnsi(text);
    }

private:
    size_t pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }
    std::mt19937 m_rng;
};

TEST_F(BeaconList, RandomListingsLoadBackEqual)
{
    ListingWriter writer(3817u);
    for (int run = 0; run < 300; ++run) {
        const std::vector<TBeacon> beacons = writer.beacons();
        SCOPED_TRACE("run " + std::to_string(run));
        expectBeacons(writer.listing(beacons), beacons);
        if (::testing::Test::HasFailure())
            break;
    }
}

} // namespace

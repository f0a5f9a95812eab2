// Correction-service subscription texts: satellite names and expiry dates.
#include "numeric/correctionSubscriptions.h"

#include "testUtil.h"

#include <random>
#include <string>

namespace {

TEST(OmniStar, SatelliteNamesAndHPDate)
{
    struct Case { const wchar_t* name; int expected; const char* reason; };
    const Case cases[] = {
        {L"EMS", 1, "first key"}, {L"EA_SAT", 2, "East Asia"}, {L"AP_SAT", 3, "Asia-Pacific"},
        {L"AM_SAT", 3, "the second spelling of 3"}, {L"OPTUS", 4, "Optus"}, {L"AF_SAT", 9, "Africa"},
        {L"AMSC_EAST", 5, "tested before MSC_E"}, {L"AMSC_CENTRE", 6, "tested before MSC_C"},
        {L"AMSC_WEST", 7, "tested before MSC_W"}, {L"MSC_E", 15, "MSC east"}, {L"MSC_C", 16, "MSC centre"},
        {L"MSC_W", 17, "MSC west"}, {L"Sat: OPTUS 160E", 4, "substring inside a longer text"},
        {L"EMS and AF_SAT", 1, "the first key in the table decides"}, {L"optus", 2, "case-sensitive"},
        {L"", 2, "empty"}, {L"UNKNOWN", 2, "none of the keys"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, static_cast<int>(OmniStarSatNameToEnum(c.name))) << c.reason;

    CString out(L"untouched");
    EXPECT_FALSE(OmniStarHPSubscriptionToString(L"2007-03-09 12:00:0", out)) << "18 characters";
    EXPECT_EQ(std::wstring(L"untouched"), out.str());
    EXPECT_TRUE(OmniStarHPSubscriptionToString(L"2007-03-09 12:00:00", out) && out.str() == L"3/9/2007");
    EXPECT_TRUE(OmniStarHPSubscriptionToString(L"2012-11-30T23:59:59Z", out) && out.str() == L"11/30/2012");
}

// "month/day/year" of GPS time `seconds` less three hours: an independent computation through
// the civil (proleptic Gregorian) date of a count of days since 1970-01-01.
std::wstring expectedMapRDate(long seconds)
{
    const long shifted = seconds - 10800;
    long z = 3657 + (shifted >= 0 ? shifted / 86400 : -((-shifted + 86399) / 86400)) + 719468;  // 3657: 1980-01-06
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const long y = static_cast<long>(yoe) + era * 400 + (m <= 2);
    return std::to_wstring(m) + L"/" + std::to_wstring(d) + L"/" + std::to_wstring(y);
}

TEST(MapR, SubscriptionDates)
{
    struct Case { long seconds; const wchar_t* expected; const char* reason; };
    const long week1400 = 1400L * 604800;  // GPS week 1400 began on Sunday 2006-11-05
    const Case cases[] = {
        {week1400 + 3 * 3600, L"11/5/2006", "three hours into the week: the day of the week start"},
        {week1400 + 3 * 3600 - 1, L"11/4/2006", "less than three hours in: the day before"},
        {week1400, L"11/4/2006", "the week start itself is still the day before"},
        {1468L * 604800 + 5 * 86400 + 12 * 3600, L"2/29/2008", "leap day in the first year of a cycle"},
        {1468L * 604800 + 6 * 86400 + 12 * 3600, L"3/1/2008", "the day after the leap day"},
        // 2007-12-31 is the last day of a four-year cycle (day 1461 of the cycle).
        {1460L * 604800 + 1 * 86400 + 12 * 3600, L"12/31/2007", "last day of a four-year cycle"},
        {1460L * 604800 + 2 * 86400 + 12 * 3600, L"1/1/2008", "first day of the next cycle"},
        {1024L * 604800 + 3 * 3600, L"8/22/1999", "GPS week 1024"},
    };
    for (const Case& c : cases) {
        CString out;
        EXPECT_TRUE(MapRSubscriptionToString(c.seconds, out)) << c.reason;
        EXPECT_EQ(std::wstring(c.expected), out.str()) << c.reason;
        EXPECT_EQ(expectedMapRDate(c.seconds), out.str()) << c.reason << ": independent date";
    }
    CString out(L"untouched");
    EXPECT_FALSE(MapRSubscriptionToString(0, out) || MapRSubscriptionToString(-5, out));
    EXPECT_EQ(std::wstring(L"untouched"), out.str());

    // GPS weeks 1024 to 5000 (1999 to 2075), every second of the week.
    std::mt19937_64 rng(77);
    std::uniform_int_distribution<long> seconds(1024L * 604800, 5000L * 604800);
    for (int i = 0; i < 5000; ++i) {
        const long s = seconds(rng);
        ASSERT_TRUE(MapRSubscriptionToString(s, out));
        ASSERT_EQ(expectedMapRDate(s), out.str()) << "seconds " << s;
    }
}

} // namespace

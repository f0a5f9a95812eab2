#include "numeric/correctionSubscriptions.h"

namespace {

struct SatelliteKey {
    const wchar_t* key;
    OmnistarSats value;
};

// Tested in this order: the first key found in the name decides, so the "AMSC_" names keep
// their own values although they also hold "MSC_".
const SatelliteKey kSatelliteKeys[] = {
    {L"EMS", OMNISTAR_EMS},
    {L"EA_SAT", OMNISTAR_EA_SAT},
    {L"AP_SAT", OMNISTAR_AP_SAT},
    {L"AM_SAT", OMNISTAR_AP_SAT},
    {L"OPTUS", OMNISTAR_OPTUS},
    {L"AMSC_EAST", OMNISTAR_AMSC_EAST},
    {L"AMSC_CENTRE", OMNISTAR_AMSC_CENTRE},
    {L"AMSC_WEST", OMNISTAR_AMSC_WEST},
    {L"AF_SAT", OMNISTAR_AF_SAT},
    {L"MSC_E", OMNISTAR_MSC_E},
    {L"MSC_C", OMNISTAR_MSC_C},
    {L"MSC_W", OMNISTAR_MSC_W},
};

const long kSecondsPerWeek = 604800;
const long kMsPerDay = 86400000;
const long kMsThreeHours = 10800000;
const long kGpsEpochMjd = 44244;       // day number (MJD) of 1980-01-06
const long kCycleStartMjd = 44238;     // day number of 1979-12-31: day 1 of a cycle is 1 January 1980
const long kDaysPerCycle = 1461;       // four years, the first a leap year

const int kCommonYearDays[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
const int kLeapYearDays[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};

// Digit value of the character at `index`, taken as it stands (character code minus "0").
unsigned long digitAt(const CString& text, int index)
{
    return static_cast<unsigned long>(static_cast<long>(text[index]) - L'0');
}

CString dateText(unsigned long month, unsigned long day, unsigned long year)
{
    CString text;
    text.Format(L"%lu/%lu/%lu", month, day, year);
    return text;
}

} // namespace

OmnistarSats OmniStarSatNameToEnum(const CString& name)
{
    for (const SatelliteKey& k : kSatelliteKeys) {
        if (name.Find(k.key) >= 0)
            return k.value;
    }
    return OMNISTAR_EA_SAT;
}

bool OmniStarHPSubscriptionToString(const CString& stamp, CString& out)
{
    if (stamp.GetLength() < 19)
        return false;
    unsigned long year = digitAt(stamp, 0) * 1000 + digitAt(stamp, 1) * 100 + digitAt(stamp, 2) * 10 +
                         digitAt(stamp, 3);
    unsigned long month = digitAt(stamp, 5) * 10 + digitAt(stamp, 6);
    unsigned long day = digitAt(stamp, 8) * 10 + digitAt(stamp, 9);
    out = dateText(month, day, year);
    return true;
}

bool MapRSubscriptionToString(long seconds, CString& out)
{
    if (seconds < 1)
        return false;
    const long week = seconds / kSecondsPerWeek;
    long ms = (seconds - week * kSecondsPerWeek) * 1000;

    // The day number is formed from the week for every week, so that a time before GPS week
    // 1024 (August 1999) also prints its own date rather than a meaningless one.
    long day = week * 7 + kGpsEpochMjd;
    day += ms / kMsPerDay;
    ms = ms % kMsPerDay - kMsThreeHours;
    if (ms < 0) {
        ms += kMsPerDay;
        --day;
    }

    // r is the day of the four-year cycle counted from 1, so the last day of a cycle is 1461
    // of that cycle (31 December of its fourth year), not day 0 of the next one.
    const long cycles = (day - kCycleStartMjd - 1) / kDaysPerCycle;
    long year = 1980 + 4 * cycles;
    long r = (day - kCycleStartMjd) - cycles * kDaysPerCycle;
    const int* table = kLeapYearDays;
    if (r >= 367) {
        r -= 366;
        ++year;
        table = kCommonYearDays;
        while (r > 365) {
            r -= 365;
            ++year;
        }
    }
    int month = 11;
    while (month > 0 && table[month] >= r)
        --month;
    out = dateText(static_cast<unsigned long>(month + 1), static_cast<unsigned long>(r - table[month]),
                   static_cast<unsigned long>(year));
    return true;
}

// Texts of the receiver correction-service subscriptions: the OmniSTAR satellite named in a
// receiver's text, and the expiry dates of OmniSTAR HP and MapR subscriptions.
#pragma once

#include "platform/CString.h"

// Satellites of the OmniSTAR differential correction service.
enum OmnistarSats {
    OMNISTAR_EMS = 1,
    OMNISTAR_EA_SAT = 2,
    OMNISTAR_AP_SAT = 3,  // also "AM_SAT"
    OMNISTAR_OPTUS = 4,
    OMNISTAR_AMSC_EAST = 5,
    OMNISTAR_AMSC_CENTRE = 6,
    OMNISTAR_AMSC_WEST = 7,
    OMNISTAR_AF_SAT = 9,
    OMNISTAR_MSC_E = 15,
    OMNISTAR_MSC_C = 16,
    OMNISTAR_MSC_W = 17
};

// The satellite whose key first occurs in `name`, testing "EMS", "EA_SAT", "AP_SAT"/"AM_SAT",
// "OPTUS", "AMSC_EAST", "AMSC_CENTRE", "AMSC_WEST", "AF_SAT", "MSC_E", "MSC_C", "MSC_W" in that
// order (case-sensitive); OMNISTAR_EA_SAT when none occurs.
OmnistarSats OmniStarSatNameToEnum(const CString& name);

// stamp: a date-time written "YYYY-MM-DD..." of at least 19 characters (the digits are read by
// position as they stand). out = "month/day/year" ("%lu/%lu/%lu", no leading zeros). False,
// with out untouched, for a shorter stamp.
bool OmniStarHPSubscriptionToString(const CString& stamp, CString& out);

// seconds: GPS time (seconds since 1980-01-06 00:00). out = the calendar date, "month/day/year"
// ("%lu/%lu/%lu"), of that time less three hours. False, with out untouched, for seconds < 1.
// Valid up to the end of February 2100 (every fourth year is taken as a leap year).
bool MapRSubscriptionToString(long seconds, CString& out);

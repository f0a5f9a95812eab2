// Stations (chainages) as text: "%d+%.2f", whole station units, a plus sign and the
// remainder in metres.
#pragma once

#include "platform/CString.h"

// station: metres; stnUnit: metres per whole station (100 or 1000). n = station / stnUnit
// truncated towards zero, rest = station - n * stnUnit, text "%d+%.2f". The text is literal:
// 1299.999 with 100 is "12+100.00" (the remainder rounds up to a full unit without a carry)
// and -50 is "0+-50.00". The whole stations must fit an int.
CString StnToString(double station, double stnUnit);

// Reads a station typed as "n+rest" ("%d+%lf", station = n * stnUnit + rest) or, without a
// plus sign, as plain metres ("%lf"). Returns 1 and writes `station` (metres) when the text
// held the expected fields; returns 0 and leaves `station` untouched otherwise (also when the
// whole stations do not fit an int).
int StnFromString(const CString& text, double& station, double stnUnit);

// Station text as surveyors read and type it: "n+rest", the whole stations, a plus sign and the
// remainder zero-padded to the station unit's width (1000 m stations: "2+050.00", "1+004.74";
// 100 ft stations: "191+04.51"), never a remainder equal to the unit ("1+000.00", not
// "0+1000.00"), negative stations with a leading minus ("-0+090.00"). A station of a region of
// overlapping station equations carries its region as "@K" ("0+675.40@2").
//
// Units: stations and the station unit in display units (metres or feet), the same unit for
// both. These are the road tool's own formatter and parser: the value-text functions of
// numeric/stationText.h keep their literal behaviour.
#pragma once

#include <string>

// Decimals of station text unless the user asks for others.
const int kRoadStationDecimals = 2;

// `station` as "n+rest" with `decimals` decimals (0 to 12) on stations of `unit` (at least 1);
// the remainder is padded to the digits of the largest whole remainder (3 for 1000, 2 for 100).
// A station that rounds to zero has no minus sign. Not finite: "?".
std::string RoadStationText(double station, double unit, int decimals);

// A station typed by a user: a decimal number ("1320.5", "-5") or "n+rest" ("1+320.5",
// "-0+5" = -5), optionally followed by "@K" naming region K (1, 2, ...). Refused with the
// reason in `why`: anything else, "1+2+3", "1+-5", a whole part that is no whole number, a
// remainder of the unit or more ("0+1500" on 1000 stations), an exponent, "inf" or "nan", a
// region that is no positive whole number. `region` is 0 when no "@K" is given. Outputs are
// written only on success.
bool RoadParseStation(const std::string& text, double unit, double& station, int& region, std::string& why);

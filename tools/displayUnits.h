// The user's display units on the command line: --units, --angles and --decimals, and the
// conversions between them and the library's internal units (metres, decimal degrees),
// through the library's display conversions (numeric/units.h).
#pragma once

#include "cli.h"

#include "numeric/units.h"

#include <string>

namespace cli {

// Decimal degrees, the internal unit, is not an ANGLES member: -1 stands for it here.
const int kDegrees = -1;

// "deg", "rad", "grd", "mls", "dms" -> kDegrees or an ANGLES value.
bool angleUnitFromName(const std::string& name, int& unit);
// "m", "usft", "ift", "usfti", "ifti" -> UNITS.
bool distUnitFromName(const std::string& name, UNITS& unit);

struct DisplayUnits {
    UNITS dist = UNITS_M;
    int angle = kDegrees;
    int decimals = 4;

    double toMetres(double value) const { return ToMetersEx(value, dist); }
    double toDegrees(double value) const;
    // Square display units to square metres, with the unrounded foot factor.
    double toSquareMetres(double value) const;
    // Metres (square metres, degrees) shown in the display unit with `decimals` decimals.
    std::string showLength(double metres) const;
    std::string showArea(double squareMetres) const;
    std::string showAngle(double degrees) const;
};

// Reads --units m|usft|ift, --angles deg|dms|grd and --decimals N (4 to 12) into `units`,
// leaving what is not given. False with a message for an unknown value.
bool readDisplayUnits(Args& args, DisplayUnits& units, std::string& message);

// Checks a packed value's text before it is converted: degrees-minutes-seconds (DDD.MMSSs:
// minutes and seconds below 60) for ANGLES_DMS, feet-inches-eighths (F.IIE: inches below 12,
// eighths below 8) for UNITS_USFTI and UNITS_IFTI; other units pass. The digits after the
// point are read as written, padded with zeros ("12.3" is 12 deg 30 min). False with the
// reason.
bool checkPackedText(const std::string& text, bool dms, bool feetInches, std::string& why);

// Fixed decimals, without the minus sign of a value that rounds to zero ("-0.0000").
std::string fixedNoNegativeZero(double value, int decimals);

} // namespace cli

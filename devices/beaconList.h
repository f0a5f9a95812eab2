// The differential-correction radio beacons a receiver can tune to, read from a beacon
// listing: 8-bit text (the system code page, Windows-1252) in the layout of the published
// beacon lists, HTML-like lines holding labelled values:
//
//   Country: Canada
//   <BR><B>WIARTON</B>
//   Status: Operational
//   Antenna Location: 44°44.7' N;81°06.5' W
//   Transmission Frequency: 286 kHz
//   Transmission Rate: 200 bps
//
// A beacon keeps the texts read from the file; it interprets them only when asked.
#pragma once

#include "platform/CString.h"
#include "platform/containers.h"

// One beacon: six texts, each trimmed of white space when read.
struct TBeacon : public CObject {
    CString country;
    CString name;
    CString status;
    CString antennaLocation;   // "latitude part;longitude part", see GetPosition
    CString frequency;         // transmission frequency, a number first (kHz in the listings)
    CString rate;              // transmission rate, a number first (bits per second)

    // Empties every text but the country.
    void Reset();
    // Copies all six texts.
    void SetEqual(const TBeacon& other);

    // The antenna location in degrees, south latitudes and west longitudes negative. Each part
    // is whole degrees, minutes (read in single precision) and a hemisphere letter, in one of
    // three layouts, chosen by the text:
    //   holding '°' (U+00B0):    "%d°%f' %lc;%d°%f' %lc"    45°30.0' N;73°35.5' W
    //   holding no apostrophe:   "%d %f %lc;%d %f %lc"      45 30.0 N;73 35.5 W
    //   otherwise:               "%d %f' %lc;%d %f  %lc"    45 30.0' N;73 35.5 W
    // (a blank in a layout matches any run of white space, also none). Only 'S' and 'W'
    // negate (exact case). Returns true when all six fields were read and they name a place:
    // degrees not negative, minutes in [0, 60), latitude within 90 and longitude within 180
    // degrees (the letters are not checked). Both outputs are
    // always written: with what was read, unread parts counting 0, so that a partly read
    // location still shows what could be read.
    bool GetPosition(double& latitude, double& longitude) const;
    // True when the status text contains "Operational" (exact case; "Not Operational" too).
    bool GetStatus() const;
    // The number at the start of the frequency or rate text, read in single precision ("%f"),
    // 0 when the text does not begin with one (after white space).
    double GetFrequency() const;
    double GetBaudRate() const;
};

// Appends the beacons of the listing at the device path `path` to `list`, which owns them
// (free them with DeleteBeacons). The file is read line by line (blank lines skipped; a line
// longer than 512 bytes arrives in pieces, so a label cut in two is not found) with the wait
// cursor shown (platform/waitCursor.h), restored on every path. Each line is tested for the
// labels below in this order and the first one found anywhere in the line, exact case,
// decides; p is its position and each value runs to the end of the line unless said:
//   "<BR><B>"                 stores the current beacon; name = from p + 7 to the next "</"
//                             (to the end of the line when no "</" follows)
//   "Name:"                   stores the current beacon; name = from the sixth character of
//                             the line, wherever the label stands
//   "Status:"                 status = from p + 8
//   "Transmission Rate:"      rate = from p + 18
//   "Transmission Frequency:" frequency = from p + 23
//   "Antenna Location:"       location = from p + 18
//   "Country:"                stores the current beacon; country = from p + 9
// Offsets are kept as the listings' readers have always taken them: "Status:", "Antenna
// Location:" and "Country:" skip one character after the label. An offset past the end of
// the line gives an empty value. Values are trimmed of white space (a CR of a CR LF line end
// among it). Storing appends a copy of the current beacon when it holds a name (a name empty
// after trimming is none), then empties it but for its country; the first beacon's country
// is "USA". At the end of the file a beacon holding a name is stored.
// Returns true when the file was read; false when it cannot be opened (`list` unchanged) or
// memory runs out (the beacons stored until then stay in `list`).
bool LoadBeaconsFile(CString path, CObArray& list);

// Destroys every non-null element of `list` and empties it.
void DeleteBeacons(CObArray& list);

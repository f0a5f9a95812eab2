// The transmitters' identities and set-ups in the file "\BeamGridData.ini", an INI file
// (files/iniFile.h) in the session settings folder (AppStrPaths::GetSessionSettingsPath,
// files/appFolders.h), which is created when missing on loading and on saving.
//
// Sections and keys:
//   [VERSION]   version=0.40 (the format version; 0.1, 0.2, 0.3 and 0.4 are read)
//   [CHANNEL1] .. [CHANNEL4]  (index 0 to 3 of TransInfo)
//     SN, DataBlock1 .. DataBlock4   serial number and the four calibration blocks
//     Pos      (0.1 only) "{x,y,z,height,L}": three coordinates, the height and the letter
//              'S' for a slant height (any other letter: vertical)
//     Height   (0.2 on) "%f%c": the height (metres, six decimals) and 'V' or 'S';
//              from 0.3 on also "Fixed": the fixed mount, height 2.073, vertical
//     Name     (0.2 on) the transmitter's name
//     Offset   (0.4) the offset, metres ("%lf")
//
// Heights are read back as doubles, so the six decimals written come back. Heights,
// coordinates and offsets that read as infinite or NaN are refused (the set-up is then not
// read). Names, serial numbers and blocks must not hold line ends: the file cannot keep them.
#pragma once

#include "devices/beamGridParams.h"
#include "platform/CString.h"

namespace BeamGridParams {

constexpr double kFixedMountHeight = 2.073;  // metres, vertical

// GetSessionSettingsPath() + "\BeamGridData.ini".
CString GetTransmitterFilePath();

// Loads the file into `info`:
//   1. when "\BeamGridData.ini" is missing and "\Qadra2Data.ini" (the earlier name) exists in
//      the same folder, that file is renamed to "\BeamGridData.ini". When neither exists or
//      the file cannot be read: false, `info` unchanged;
//   2. `info` is reset; the version is read in single precision and must equal 0.1f, 0.2f,
//      0.3f or 0.4f, else false (with `info` reset: this failure comes after the reset);
//   3. each channel gets its index; it is valid only when "SN" and the four blocks are all
//      non-empty; an invalid channel is reset whole (index -1, set-up reset too);
//   4. a valid channel's set-up is read by version (see the key table); when it cannot be
//      read, the channel keeps its identity and its TransPos is reset (name included);
//   5. true.
bool LoadTransmitterInfo(TransInfo& info);

// Writes `info` as a new file of version 0.40, replacing the old one. Per channel:
//   valid identity: SN, DataBlock1..4, Height ("Fixed" for a fixed transmitter, else "%f%c"
//                   with 'V' or 'S' for a valid set-up, empty otherwise, so that the name
//                   is lost on the next load), Name, Offset ("%lf");
//   invalid identity: SN and DataBlock1..4, all empty.
// A fixed transmitter's own height is not written: it reloads as 2.073. The coordinates are
// not written. The result is that of CINIFile::SaveIni (false too when the folder cannot be
// created).
bool SaveTransmitterInfo(const TransInfo& info);

} // namespace BeamGridParams

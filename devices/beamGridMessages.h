// The serial messages of the laser-zone devices: check characters, the framing of commands
// and the checking and reading of replies.
//
// Texts are 8-bit characters, zero-terminated.
//
// Check characters: an 8-bit value starts at 0; for each character it is rotated left by two
// bits and XORed with the character; then once more with the at sign '@'; then rotated left
// by two bits once more. It is written as two upper-case hexadecimal digits, high nibble
// first ("abc" gives "CE"). Each step is a rotation and an XOR, so any single changed
// character changes the result.
//
// A command frame: the prefix ("%NSP>T%" to a transmitter, "%NSP>R%" to the sensor), the
// command text, '@', the check characters over the command text only, CR LF.
#pragma once

#include "platform/CString.h"

#include <cstddef>

namespace BeamGridParams {

// The result of the parse functions.
enum EParseError : int {
    PARSE_OK = 0,            // accepted
    PARSE_UNEXPECTED = 1,    // no frame prefix, an unexpected reply type, or a channel digit out of range
    PARSE_DEVICE_ERROR = 2,  // the device reports an error (reply type 'e')
    PARSE_ER = 3,            // the reply begins with "ER"
    PARSE_CHECKSUM = 4,      // the check characters do not match
};

constexpr std::size_t kCommandBufferSize = 1024;
// The longest command text that fits a frame in kCommandBufferSize bytes: prefix 7, '@' 1,
// check characters 2, CR LF 2 and the terminator 1 leave 1011.
constexpr std::size_t kMaxCommandTextLength = 1011;

// The check characters over the first `length` characters of `text`, into out[0] and out[1].
void GetCheckCharacters(const char* text, std::size_t length, char out[2]);

// Write the framed command into `out` (the caller provides at least kCommandBufferSize bytes)
// and return `out`. A null text or a text longer than kMaxCommandTextLength is refused: the
// result is null and `out` is left alone (a longer text is never cut, since a cut command
// would still carry valid check characters).
char* MakeTransmitterCommand(const char* text, char* out);
char* MakeSensorCommand(const char* text, char* out);

// Replies. Every parse function works on the zero-terminated `reply` in place and never reads
// or writes past its terminator:
//   1. a reply beginning with "ER" gives PARSE_ER;
//   2. the prefix ("%NSP>T%" for transmitter replies, "%NSP>R%" for sensor replies) is looked
//      for anywhere in the reply; absent gives PARSE_UNEXPECTED; the character after it is
//      the reply type;
//   3. type 'e' gives PARSE_DEVICE_ERROR;
//   4. an unexpected type gives PARSE_UNEXPECTED (per function, below);
//   5. when an at sign follows the type, it becomes the terminator and the check characters
//      over the text from the type up to it must equal the two characters after it, else
//      PARSE_CHECKSUM (a reply cut after the at sign or after one check digit included);
//      when they match, both are cleared (set to zero). A reply without an at sign is
//      accepted unchecked.
// A null reply gives PARSE_UNEXPECTED. Outputs are written only when the result is PARSE_OK.

// Transmitter data: types 'Z', 'P' and 'J'. The reply reads type, separator, digit,
// separator, digit, separator, data: the digits '1' to '4' give `first` and `second` as 0 to
// 3 (any other, or a reply that ends before the second digit, gives PARSE_UNEXPECTED); the
// text from the sixth character after the type to the end is copied to `rest` (empty when
// the reply ends before). `rest` must have room for as many characters as the reply holds,
// terminator included. When any output pointer is null the reply is only checked: the
// result is PARSE_OK after step 5, nothing is read or written.
EParseError ParseTransmitterData(char* reply, int* first, int* second, char* rest);
// Version replies: type 'P' only. The version becomes the characters from the second after
// the type up to the first ',' or the end (empty when the reply ends before). It is emptied
// only when the reply is accepted, so a refused reply leaves the caller's text alone.
EParseError ParseTransmitterVersion(char* reply, CString& version);
EParseError ParseSensorVersion(char* reply, CString& version);
// Sensor data: every type but 'e', even the terminator of a reply that ends right after its
// prefix. PARSE_OK after the check; the caller reads the rest of the reply itself.
EParseError ParseSensorData(char* reply);

} // namespace BeamGridParams

#include "devices/beamGridMessages.h"

#include <cstring>

namespace BeamGridParams {

namespace {

const char kTransmitterPrefix[] = "%NSP>T%";
const char kSensorPrefix[] = "%NSP>R%";
const std::size_t kPrefixLength = 7;

unsigned char rotateLeft2(unsigned char v)
{
    return static_cast<unsigned char>((v << 2) | (v >> 6));
}

char hexDigit(unsigned v)
{
    return "0123456789ABCDEF"[v & 0xF];
}

char* frame(const char* prefix, const char* text, char* out)
{
    if (!text || !out)
        return nullptr;
    // Measured without looking past the longest text that fits.
    std::size_t length = 0;
    while (length <= kMaxCommandTextLength && text[length] != '\0')
        ++length;
    if (length > kMaxCommandTextLength)
        return nullptr;
    std::memmove(out + kPrefixLength, text, length);  // first: the text may lie in `out` itself
    std::memcpy(out, prefix, kPrefixLength);
    char* p = out + kPrefixLength + length;
    *p++ = '@';
    GetCheckCharacters(p - length - 1, length, p);
    p += 2;
    *p++ = '\r';
    *p++ = '\n';
    *p = '\0';
    return out;
}

// Steps 1 to 5 of every reply. `typeAccepted` decides step 4. On PARSE_OK, `type` points at
// the reply type.
EParseError checkReply(char* reply, const char* prefix, bool (*typeAccepted)(char), char*& type)
{
    if (!reply)
        return PARSE_UNEXPECTED;
    if (reply[0] == 'E' && reply[1] == 'R')
        return PARSE_ER;
    char* found = std::strstr(reply, prefix);
    if (!found)
        return PARSE_UNEXPECTED;
    char* t = found + kPrefixLength;
    if (*t == 'e')
        return PARSE_DEVICE_ERROR;
    if (!typeAccepted(*t))
        return PARSE_UNEXPECTED;
    char* at = *t == '\0' ? nullptr : std::strchr(t + 1, '@');
    if (at) {
        *at = '\0';
        char check[2];
        GetCheckCharacters(t, static_cast<std::size_t>(at - t), check);
        // at[1] is read only when it is no terminator, so a cut reply is never read past its end.
        if (at[1] != check[0] || at[2] != check[1])
            return PARSE_CHECKSUM;
        at[1] = '\0';
        at[2] = '\0';
    }
    type = t;
    return PARSE_OK;
}

bool isDataType(char c) { return c == 'Z' || c == 'P' || c == 'J'; }
bool isVersionType(char c) { return c == 'P'; }
bool isAnyType(char) { return true; }  // 'e' is refused before

// The character `n` places after `p`, or the terminator when the text ends before.
char charAt(const char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] == '\0')
            return '\0';
    return p[n];
}

bool channelDigit(char c, int& channel)
{
    if (c < '1' || c > '4')
        return false;
    channel = c - '1';
    return true;
}

EParseError parseVersion(char* reply, const char* prefix, CString& version)
{
    char* type = nullptr;
    const EParseError result = checkReply(reply, prefix, &isVersionType, type);
    if (result != PARSE_OK)
        return result;
    version.Empty();
    if (type[1] == '\0')
        return PARSE_OK;
    const char* from = type + 2;
    version = CString(from, static_cast<int>(std::strcspn(from, ",")));
    return PARSE_OK;
}

} // namespace

void GetCheckCharacters(const char* text, std::size_t length, char out[2])
{
    unsigned char v = 0;
    for (std::size_t i = 0; i < length; ++i)
        v = static_cast<unsigned char>(rotateLeft2(v) ^ static_cast<unsigned char>(text[i]));
    v = static_cast<unsigned char>(rotateLeft2(v) ^ '@');
    v = rotateLeft2(v);
    out[0] = hexDigit(v >> 4);
    out[1] = hexDigit(v);
}

char* MakeTransmitterCommand(const char* text, char* out) { return frame(kTransmitterPrefix, text, out); }
char* MakeSensorCommand(const char* text, char* out) { return frame(kSensorPrefix, text, out); }

EParseError ParseTransmitterData(char* reply, int* first, int* second, char* rest)
{
    char* type = nullptr;
    const EParseError result = checkReply(reply, kTransmitterPrefix, &isDataType, type);
    if (result != PARSE_OK || !first || !second || !rest)
        return result;
    int f = 0, s = 0;
    if (!channelDigit(charAt(type, 2), f) || !channelDigit(charAt(type, 4), s))
        return PARSE_UNEXPECTED;
    *first = f;
    *second = s;
    // The second digit was there, so type[5] exists (maybe the terminator).
    if (type[5] == '\0')
        rest[0] = '\0';
    else
        std::memmove(rest, type + 6, std::strlen(type + 6) + 1);
    return PARSE_OK;
}

EParseError ParseTransmitterVersion(char* reply, CString& version)
{
    return parseVersion(reply, kTransmitterPrefix, version);
}

EParseError ParseSensorVersion(char* reply, CString& version)
{
    return parseVersion(reply, kSensorPrefix, version);
}

EParseError ParseSensorData(char* reply)
{
    char* type = nullptr;
    return checkReply(reply, kSensorPrefix, &isAnyType, type);
}

} // namespace BeamGridParams

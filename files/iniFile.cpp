#include "files/iniFile.h"

#include "files/appFolders.h"
#include "files/fileFuncs.h"
#include "platform/deviceRoot.h"
#include "platform/safeFile.h"
#include "platform/textCodec.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const std::size_t kLineBuffer = 1024;       // one line read or written, with its zero
const std::size_t kMaxSectionBytes = 1021;  // "[" name "]" and the line feed fit the buffer
const std::size_t kMaxPairBytes = 1022;     // key "=" value and the line feed fit the buffer

// One piece of an INI file as the loader reads it: at most kLineBuffer - 1 bytes of a line,
// its line feed included when it fits, a CR directly before an LF dropped (as a text-mode
// read does). A longer line is read as several pieces.
struct Piece {
    std::size_t offset = 0;    // where it starts in the file
    std::size_t consumed = 0;  // the bytes of the file it covers (a dropped CR included)
    std::string text;
};

bool nextPiece(const std::string& bytes, std::size_t at, Piece& piece)
{
    if (at >= bytes.size())
        return false;
    piece.offset = at;
    piece.text.clear();
    while (piece.text.size() < kLineBuffer - 1 && at < bytes.size()) {
        char c = bytes[at++];
        if (c == '\r' && at < bytes.size() && bytes[at] == '\n') {
            c = '\n';
            ++at;
        }
        piece.text += c;
        if (c == '\n')
            break;
    }
    piece.consumed = at - piece.offset;
    return true;
}

CString wideFromAnsi(const char* bytes, std::size_t length)
{
    const std::wstring wide = AnsiToWide(bytes, length);
    return CString(wide.c_str(), static_cast<int>(wide.size()));
}

CString wideName(const char* name)
{
    return name ? wideFromAnsi(name, std::strlen(name)) : CString();
}

std::string ansiBytes(const CString& text)
{
    return WideToAnsi(text.str());
}

bool isBlankChar(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// _wtol: blanks, an optional sign, then decimal digits up to the first other character; no
// digits give 0. The result saturates at the 32-bit range, as the platform's long does.
int wtol(const wchar_t* text)
{
    while (isBlankChar(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// "%d" (or "%u") as swscanf reads it: blanks, a sign, then decimal digits up to the first other
// character ("%u" negates a negative number in unsigned arithmetic: -1 is 4294967295). A number
// beyond the type is none: scanf's overflow is undefined (glibc read a stored 1e300's digits as
// an int -1).
bool scanWhole(const CString& text, bool isUnsigned, long long& out)
{
    const wchar_t* s = text;
    while (isBlankChar(*s))
        ++s;
    bool negative = false;
    if (*s == L'+' || *s == L'-')
        negative = *s++ == L'-';
    if (!(*s >= L'0' && *s <= L'9'))
        return false;
    unsigned long long value = 0;
    for (; *s >= L'0' && *s <= L'9'; ++s) {
        value = value * 10 + static_cast<unsigned>(*s - L'0');
        if (value > UINT_MAX)
            return false;
    }
    if (isUnsigned) {
        out = negative ? static_cast<long long>(0u - static_cast<unsigned int>(value)) : static_cast<long long>(value);
        return true;
    }
    if (value > (negative ? static_cast<unsigned long long>(INT_MAX) + 1 : static_cast<unsigned long long>(INT_MAX)))
        return false;
    out = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return true;
}

// The one value a one-conversion scanf format reads from a non-empty text; `def` when it
// reads none (a missing key's text is empty).
template <class T>
T scanOne(const CString& text, const wchar_t* format, T def)
{
    T read{};
    return !text.IsEmpty() && std::swscanf(text, format, &read) == 1 ? read : def;
}

template <class Map>
POSITION positionOf(typename Map::const_iterator it, const Map& map)
{
    if (it == map.end())
        return nullptr;
    return reinterpret_cast<POSITION>(const_cast<typename Map::value_type*>(&*it));
}

// The element at `pos` and the position after it.
template <class Map>
const typename Map::value_type& stepPosition(const Map& map, POSITION& pos)
{
    const auto* entry = reinterpret_cast<const typename Map::value_type*>(pos);
    auto it = map.find(entry->first);
    pos = positionOf(++it, map);
    return *entry;
}

} // namespace

CINIFile::~CINIFile()
{
    for (auto& section : m_sections)
        section.second.reset();
    m_sections.clear();
}

// ---- Files ----

namespace {

// What a piece is to the loader.
enum PieceKind { PIECE_SKIPPED, PIECE_HEADER, PIECE_PAIR, PIECE_OTHER };

struct PieceMeaning {
    PieceKind kind = PIECE_SKIPPED;
    CString name;   // the section of a header, the key of a pair
    CString value;  // the value of a pair
};

PieceMeaning meaningOf(const Piece& piece)
{
    PieceMeaning m;
    const char* line = piece.text.c_str();
    std::size_t length = std::strlen(line);  // the text ends at a zero byte
    if (length <= 1 || line[0] == ';' || line[0] == '#' || line[0] == '/')
        return m;
    if (line[0] == '[') {
        // "[name]\n": drop the line feed and the byte before it; without a line feed (the
        // last line of the file), only the last byte.
        const std::size_t end = line[length - 1] == '\n' ? length - 2 : length - 1;
        m.kind = PIECE_HEADER;
        m.name = end > 1 ? wideFromAnsi(line + 1, end - 1) : CString();
        return m;
    }
    if (line[length - 1] == '\n')
        --length;
    const CString text = wideFromAnsi(line, length);
    const int equals = text.Find(L'=');
    if (equals < 0) {
        m.kind = PIECE_OTHER;
        return m;
    }
    m.kind = PIECE_PAIR;
    m.name = text.Left(equals);
    m.value = text.Mid(equals + 1);
    return m;
}

bool readAll(std::FILE* file, std::string& bytes)
{
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    return !std::ferror(file);
}

} // namespace

bool CINIFile::LoadIni(const wchar_t* path)
{
    std::FILE* file = deviceFopen(path, "rt");
    if (!file)
        return false;
    std::string bytes;
    readAll(file, bytes);  // a read error ends the file where it happened
    std::fclose(file);
    Section* current = nullptr;
    Piece piece;
    for (std::size_t at = 0; nextPiece(bytes, at, piece); at += piece.consumed) {
        const PieceMeaning m = meaningOf(piece);
        if (m.kind == PIECE_HEADER) {
            std::unique_ptr<Section>& slot = m_sections[m.name];
            slot.reset(new Section);
            current = slot.get();
        } else if (m.kind == PIECE_PAIR && current) {
            (*current)[m.name] = m.value;
        }
    }
    return true;
}

bool CINIFile::SaveIni(const wchar_t* path) const
{
    std::string bytes;
    for (const auto& section : m_sections) {
        std::string name = ansiBytes(section.first);
        if (name.size() > kMaxSectionBytes)
            name.resize(kMaxSectionBytes);
        bytes += "[" + name + "]\n";
        for (const auto& key : *section.second) {
            std::string pair = ansiBytes(key.first) + "=" + ansiBytes(key.second);
            if (pair.size() > kMaxPairBytes)
                pair.resize(kMaxPairBytes);
            bytes += pair + "\n";
        }
        bytes += "\n";
    }
    CFileLock lock;
    return lock.Lock(path) && ReplaceFileBytes(path, bytes);
}

// ---- Wide accessors ----

const CINIFile::Section* CINIFile::findSection(const wchar_t* section) const
{
    const auto it = m_sections.find(CString(section));
    return it == m_sections.end() ? nullptr : it->second.get();
}

bool CINIFile::GetValue(const wchar_t* section, const wchar_t* key, CString& value) const
{
    const Section* s = findSection(section);
    if (!s)
        return false;
    const auto it = s->find(CString(key));
    if (it == s->end())
        return false;
    value = it->second;
    return true;
}

bool CINIFile::SetValue(const wchar_t* section, const wchar_t* key, const CString& value)
{
    std::unique_ptr<Section>& slot = m_sections[CString(section)];
    if (!slot)
        slot.reset(new Section);
    (*slot)[CString(key)] = value;
    return true;
}

CString CINIFile::GetStringValue(const wchar_t* section, const wchar_t* key,
                                 const CString& def) const
{
    CString value;
    return GetValue(section, key, value) ? value : def;
}

int CINIFile::GetIntValue(const wchar_t* section, const wchar_t* key, int def) const
{
    long long value;
    return scanWhole(GetStringValue(section, key, CString()), false, value) ? static_cast<int>(value) : def;
}

int CINIFile::GetUintValue(const wchar_t* section, const wchar_t* key, unsigned int def) const
{
    long long value;
    const unsigned int read =
        scanWhole(GetStringValue(section, key, CString()), true, value) ? static_cast<unsigned int>(value) : def;
    return static_cast<int>(read);
}

double CINIFile::GetRealValue(const wchar_t* section, const wchar_t* key, double def) const
{
    return scanOne(GetStringValue(section, key, CString()), L"%lf", def);
}

unsigned int CINIFile::GetHexValue(const wchar_t* section, const wchar_t* key,
                                   unsigned int def) const
{
    return scanOne(GetStringValue(section, key, CString()), L"%X", def);
}

wchar_t CINIFile::GetCharValue(const wchar_t* section, const wchar_t* key, wchar_t def) const
{
    CString text;
    return GetValue(section, key, text) && !text.IsEmpty() ? text[0] : def;
}

bool CINIFile::GetBoolValue(const wchar_t* section, const wchar_t* key, bool def) const
{
    CString text;
    if (!GetValue(section, key, text) || text.IsEmpty())
        return def;
    if (text[0] == L'1')
        return true;
    if (text[0] == L'0')
        return false;
    return def;
}

void CINIFile::SetStringValue(const wchar_t* section, const wchar_t* key, const CString& value)
{
    SetValue(section, key, value);
}

void CINIFile::SetIntValue(const wchar_t* section, const wchar_t* key, int value)
{
    CString text;
    text.Format(L"%d", value);
    SetValue(section, key, text);
}

void CINIFile::SetUintValue(const wchar_t* section, const wchar_t* key, unsigned int value)
{
    CString text;
    text.Format(L"%u", value);
    SetValue(section, key, text);
}

void CINIFile::SetRealValue(const wchar_t* section, const wchar_t* key, double value)
{
    CString text;
    text.Format(L"%lf", value);
    SetValue(section, key, text);
}

void CINIFile::SetCharValue(const wchar_t* section, const wchar_t* key, wchar_t value)
{
    SetValue(section, key, CString(value));
}

void CINIFile::SetHexValue(const wchar_t* section, const wchar_t* key, unsigned int value)
{
    CString text;
    text.Format(L"0x%X", value);
    SetValue(section, key, text);
}

void CINIFile::SetBoolValue(const wchar_t* section, const wchar_t* key, bool value)
{
    SetValue(section, key, CString(value ? L"1" : L"0"));
}

void CINIFile::RemoveValue(const wchar_t* section, const wchar_t* key)
{
    const auto it = m_sections.find(CString(section));
    if (it != m_sections.end())
        it->second->erase(CString(key));
}

// ---- 8-bit accessors ----

CString CINIFile::GetValue(const char* section, const char* key, const CString& def) const
{
    return GetStringValue(wideName(section), wideName(key), def);
}

int CINIFile::GetIntValue(const char* section, const char* key, int def) const
{
    CString text;
    return GetValue(wideName(section), wideName(key), text) ? wtol(text) : def;
}

double CINIFile::GetRealValue(const char* section, const char* key, double def) const
{
    return GetRealValue(wideName(section), wideName(key), def);
}

void CINIFile::SetValue(const char* section, const char* key, const CString& value)
{
    SetValue(wideName(section), wideName(key), value);
}

void CINIFile::SetIntValue(const char* section, const char* key, int value)
{
    SetIntValue(wideName(section), wideName(key), value);
}

void CINIFile::SetRealValue(const char* section, const char* key, double value)
{
    CString text;
    text.Format(L"%.9lf", value);
    SetValue(wideName(section), wideName(key), text);
}

void CINIFile::RemoveValue(const char* section, const char* key)
{
    RemoveValue(wideName(section), wideName(key));
}

// ---- Enumeration ----

bool CINIFile::GetNumberOfSections(int& count) const
{
    count = static_cast<int>(m_sections.size());
    return true;
}

bool CINIFile::SetFilePosOnStart(POSITION& pos) const
{
    pos = positionOf(m_sections.begin(), m_sections);
    return true;
}

bool CINIFile::LookThroughFile(CString& section, POSITION& pos) const
{
    if (!pos)
        return false;
    const auto& entry = stepPosition(m_sections, pos);
    section = entry.first;
    return entry.second != nullptr;
}

bool CINIFile::GetSectionSize(const CString& section, int& count) const
{
    const Section* s = findSection(section);
    count = s ? static_cast<int>(s->size()) : 0;
    return true;
}

bool CINIFile::SetSectionPosOnStart(const CString& section, POSITION& pos) const
{
    const Section* s = findSection(section);
    if (!s)
        return false;
    pos = positionOf(s->begin(), *s);
    return true;
}

bool CINIFile::LookThroughSection(const CString& section, CString& key, CString& value,
                                  POSITION& pos) const
{
    const Section* s = findSection(section);
    if (!s || !pos)
        return false;
    const auto& entry = stepPosition(*s, pos);
    key = entry.first;
    value = entry.second;
    return true;
}

// ---- Settings files ----

bool LoadSettingsFile(const CString& name, CINIFile& ini)
{
    return ini.LoadIni(GetRootDir() + L"\\Settings\\" + name);
}

bool SaveSettingsFile(const CString& name, const CINIFile& ini)
{
    const CString folder = GetRootDir() + L"\\Settings";
    if (!FileFuncs::IsDirExist(folder) && !FileFuncs::CreateDir(folder))
        return false;
    return ini.SaveIni(folder + L"\\" + name);
}

// ---- A file's text edited in place ----

namespace {

struct ScannedPiece {
    Piece piece;
    PieceMeaning meaning;
};

std::vector<ScannedPiece> scanPieces(const std::string& bytes)
{
    std::vector<ScannedPiece> pieces;
    Piece piece;
    for (std::size_t at = 0; nextPiece(bytes, at, piece); at += piece.consumed)
        pieces.push_back(ScannedPiece{piece, meaningOf(piece)});
    return pieces;
}

// The pieces [first, last) of the block that LoadIni keeps for a section: from its last
// header to the next header. False when the section has no header.
bool sectionBlock(const std::vector<ScannedPiece>& pieces, const CString& section,
                  std::size_t& first, std::size_t& last)
{
    bool found = false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].meaning.kind == PIECE_HEADER && pieces[i].meaning.name == section) {
            first = i;
            found = true;
        }
    }
    if (!found)
        return false;
    last = first + 1;
    while (last < pieces.size() && pieces[last].meaning.kind != PIECE_HEADER)
        ++last;
    return true;
}

bool isKeyLine(const ScannedPiece& p, const CString& key)
{
    return p.meaning.kind == PIECE_PAIR && p.meaning.name == key;
}

// The line end a piece had in the file: "\r\n", "\n", or none (the file's last line, or a
// piece cut from a longer line, which then ends here as a line of its own).
std::string lineEndOf(const std::string& bytes, const Piece& piece)
{
    const std::size_t end = piece.offset + piece.consumed;
    if (piece.text.empty() || piece.text.back() != '\n')
        return std::string();
    return end >= 2 && bytes[end - 2] == '\r' ? "\r\n" : "\n";
}

// The line end the file uses: that of its first line, LF in a file without one.
std::string fileLineEnd(const std::string& bytes, const std::vector<ScannedPiece>& pieces)
{
    for (const ScannedPiece& p : pieces) {
        const std::string end = lineEndOf(bytes, p.piece);
        if (!end.empty())
            return end;
    }
    return "\n";
}

} // namespace

// What ends a piece that has no line end of its own so that the loader reads it as before:
// a last CR stays in the text only when another CR LF follows it.
std::string endingFor(const Piece& piece, const std::string& eol)
{
    return !piece.text.empty() && piece.text.back() == '\r' ? std::string("\r\n") : eol;
}

std::string IniTextWithValue(const std::string& fileBytes, const CString& section,
                             const CString& key, const CString& value)
{
    const std::vector<ScannedPiece> pieces = scanPieces(fileBytes);
    const std::string eol = fileLineEnd(fileBytes, pieces);
    const std::string pair = ansiBytes(key) + "=" + ansiBytes(value);
    std::string out = fileBytes;
    std::size_t first = 0, last = 0;
    if (!sectionBlock(pieces, section, first, last)) {
        const std::string block = "[" + ansiBytes(section) + "]" + eol + pair + eol + eol;
        if (pieces.empty() || !lineEndOf(fileBytes, pieces.back().piece).empty())
            return out + block;
        const Piece& tail = pieces.back().piece;
        // A last line of one byte is skipped; with a line end, "[" would open a section.
        if (tail.text.size() == 1)
            return out.insert(tail.offset, block);
        return out + endingFor(tail, eol) + block;
    }
    std::size_t anchor = first;  // the key's line, or the piece to add it after
    bool replace = false;
    for (std::size_t i = first + 1; i < last; ++i) {
        if (isKeyLine(pieces[i], key)) {
            anchor = i;
            replace = true;
        } else if (!replace && pieces[i].meaning.kind == PIECE_PAIR) {
            anchor = i;
        }
    }
    const Piece& at = pieces[anchor].piece;
    const std::size_t end = at.offset + at.consumed;
    const std::string ending = lineEndOf(fileBytes, at);
    if (replace) {
        // A line without its own end that is not the file's last keeps the following text
        // apart, as the loader saw it.
        const bool apart = ending.empty() && end < fileBytes.size();
        return out.replace(at.offset, at.consumed, pair + (apart ? eol : ending));
    }
    if (ending.empty())
        return out.insert(end, endingFor(at, eol) + pair + eol);
    return out.insert(end, pair + ending);
}

bool IniTextWithoutValue(std::string& fileBytes, const CString& section, const CString& key)
{
    const std::vector<ScannedPiece> pieces = scanPieces(fileBytes);
    std::size_t first = 0, last = 0;
    if (!sectionBlock(pieces, section, first, last))
        return false;
    bool removed = false;
    for (std::size_t i = last; i-- > first + 1;) {
        if (isKeyLine(pieces[i], key)) {
            fileBytes.erase(pieces[i].piece.offset, pieces[i].piece.consumed);
            removed = true;
        }
    }
    return removed;
}

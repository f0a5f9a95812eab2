#include "files/iniFile.h"

#include "files/appFolders.h"
#include "files/fileFuncs.h"
#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const std::size_t kLineBuffer = 1024;       // one line read or written, with its zero
const std::size_t kMaxSectionBytes = 1021;  // "[" name "]" and the line feed fit the buffer
const std::size_t kMaxPairBytes = 1022;     // key "=" value and the line feed fit the buffer

// Reads the next piece of a line into `buffer` (at most kLineBuffer - 1 bytes, the line feed
// included when it fits), the way a text-mode read does: a CR directly before an LF is
// dropped. Returns the number of bytes stored; 0 at the end of the file.
std::size_t readPiece(std::FILE* file, char* buffer)
{
    std::size_t count = 0;
    while (count < kLineBuffer - 1) {
        int c = std::getc(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            const int next = std::getc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
        }
        buffer[count++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[count] = '\0';
    return count;
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

bool writeAll(std::FILE* file, const std::string& bytes)
{
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
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

// Reads exactly one value with a one-conversion scanf format from a non-empty text.
template <class T>
bool scanOne(const CString& text, const wchar_t* format, T& value)
{
    T read{};
    if (text.IsEmpty() || std::swscanf(text, format, &read) != 1)
        return false;
    value = read;
    return true;
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

void CINIFile::loadLine(const char* line, std::size_t length, Section*& current)
{
    if (line[0] == '[') {
        // "[name]\n": drop the line feed and the byte before it; without a line feed (the
        // last line of the file), only the last byte.
        const std::size_t end = line[length - 1] == '\n' ? length - 2 : length - 1;
        const CString name = end > 1 ? wideFromAnsi(line + 1, end - 1) : CString();
        std::unique_ptr<Section>& slot = m_sections[name];
        slot.reset(new Section);
        current = slot.get();
        return;
    }
    if (line[length - 1] == '\n')
        --length;
    const CString text = wideFromAnsi(line, length);
    const int equals = text.Find(L'=');
    if (equals < 0 || !current)
        return;
    (*current)[text.Left(equals)] = text.Mid(equals + 1);
}

bool CINIFile::LoadIni(const wchar_t* path)
{
    std::FILE* file = deviceFopen(path, "rt");
    if (!file)
        return false;
    char buffer[kLineBuffer];
    Section* current = nullptr;
    while (readPiece(file, buffer) > 0) {
        const std::size_t length = std::strlen(buffer);  // the text ends at a zero byte
        if (length <= 1 || buffer[0] == ';' || buffer[0] == '#' || buffer[0] == '/')
            continue;
        loadLine(buffer, length, current);
    }
    std::fclose(file);
    return true;
}

bool CINIFile::SaveIni(const wchar_t* path) const
{
    std::FILE* file = deviceFopen(path, "wt+");
    if (!file)
        return false;
    bool ok = true;
    for (const auto& section : m_sections) {
        std::string name = ansiBytes(section.first);
        if (name.size() > kMaxSectionBytes)
            name.resize(kMaxSectionBytes);
        ok = writeAll(file, "[" + name + "]\n");
        for (auto key = section.second->begin(); ok && key != section.second->end(); ++key) {
            std::string pair = ansiBytes(key->first) + "=" + ansiBytes(key->second);
            if (pair.size() > kMaxPairBytes)
                pair.resize(kMaxPairBytes);
            ok = writeAll(file, pair + "\n");
        }
        ok = ok && writeAll(file, "\n");
        if (!ok)
            break;
    }
    // Buffered writes fail late: closing reports what the writes could not.
    const bool closed = std::fclose(file) == 0;
    return ok && closed;
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
    CString text;
    int value = def;
    if (GetValue(section, key, text))
        scanOne(text, L"%d", value);
    return value;
}

int CINIFile::GetUintValue(const wchar_t* section, const wchar_t* key, unsigned int def) const
{
    CString text;
    unsigned int value = def;
    if (GetValue(section, key, text))
        scanOne(text, L"%u", value);
    return static_cast<int>(value);
}

double CINIFile::GetRealValue(const wchar_t* section, const wchar_t* key, double def) const
{
    CString text;
    double value = def;
    if (GetValue(section, key, text))
        scanOne(text, L"%lf", value);
    return value;
}

unsigned int CINIFile::GetHexValue(const wchar_t* section, const wchar_t* key,
                                   unsigned int def) const
{
    CString text;
    unsigned int value = def;
    if (GetValue(section, key, text))
        scanOne(text, L"%X", value);
    return value;
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
    CString text;
    double value = def;
    if (GetValue(wideName(section), wideName(key), text))
        scanOne(text, L"%lf", value);
    return value;
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

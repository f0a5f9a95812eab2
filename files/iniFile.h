// CINIFile: a whole INI settings file in memory, as sections of key/value pairs of wide text,
// read from and written to 8-bit text files (system code page, Windows-1252).
//
// File form: "[Section]" lines open sections; "key=value" lines store a pair in the current
// section; the first byte ';', '#' or '/' makes a comment line. Names and values are exact:
// no trimming, unquoting or escapes, and case counts ("Options" and "options" are two
// sections). A key occurs once per section, a section once per file.
//
// Order: sections, and keys within a section, are enumerated and saved in the order of their
// names (by character code); the order of the file loaded is not kept.
//
// Paths are device paths (platform/deviceRoot.h). Only LoadIni and SaveIni can fail, through
// their result; getters fall back to the caller's default. One object is used by one thread
// at a time.
#pragma once

#include "platform/CString.h"
#include "platform/position.h"

#include <map>
#include <memory>

class CINIFile {
public:
    CINIFile() = default;
    CINIFile(const CINIFile&) = delete;
    CINIFile& operator=(const CINIFile&) = delete;
    virtual ~CINIFile();

    // ---- Files ----
    // Reads the file and merges it into the object (nothing is cleared first). Lines are read
    // in pieces of at most 1023 bytes (a longer line is read as several lines); the CR of a
    // CR LF line end is dropped. Lines of 0 or 1 byte (line feed included) and comment lines
    // are skipped. A header line replaces any section of that name held so far with a new,
    // empty one and makes it current; a line with '=' stores key (before the first '=') and
    // value (after it) in the current section, and is dropped before the first header; other
    // lines are ignored. Text is cut at a zero byte. False only when the file cannot be
    // opened (the object is then unchanged); an empty file gives true.
    bool LoadIni(const wchar_t* path);
    // Writes every section: "[name]", its "key=value" lines and an empty line, each ending in
    // a line feed; a section name is cut after 1021 bytes and a "key=value" text after 1022
    // bytes. Replaces the file whole (platform/safeFile.h: under the file's lock, through a
    // new file renamed over the old one, synced; a link is written through to its target and
    // the old file's permissions are kept). False when the file cannot be created or a write
    // fails; the old file is then as it was.
    bool SaveIni(const wchar_t* path) const;

    // ---- 8-bit section and key names (converted from the system code page) ----
    CString GetValue(const char* section, const char* key, const CString& def) const;
    // The value read as _wtol reads it (blanks, a sign, then digits up to the first other
    // character; no digits give 0; the value saturates at the int range); `def` only when the
    // section or key is missing.
    int GetIntValue(const char* section, const char* key, int def) const;
    // The value read with "%lf"; `def` when missing or when no number can be read.
    double GetRealValue(const char* section, const char* key, double def) const;
    void SetValue(const char* section, const char* key, const CString& value);
    void SetIntValue(const char* section, const char* key, int value);           // "%d"
    void SetRealValue(const char* section, const char* key, double value);       // "%.9lf"
    void RemoveValue(const char* section, const char* key);

    // ---- Wide section and key names ----
    CString GetStringValue(const wchar_t* section, const wchar_t* key, const CString& def) const;
    // The numeric getters give `def` unless the key exists, its value is not empty and exactly
    // one number is read from it with the format named.
    // A number beyond the int (unsigned int) range is none: `def`.
    int GetIntValue(const wchar_t* section, const wchar_t* key, int def) const;          // "%d"
    int GetUintValue(const wchar_t* section, const wchar_t* key, unsigned int def) const; // "%u", same bits
    double GetRealValue(const wchar_t* section, const wchar_t* key, double def) const;   // "%lf"
    // Hexadecimal ("%X"; an optional "0x" prefix is accepted, lower-case digits too).
    unsigned int GetHexValue(const wchar_t* section, const wchar_t* key, unsigned int def) const;
    // The first character of a non-empty value, else `def`.
    wchar_t GetCharValue(const wchar_t* section, const wchar_t* key, wchar_t def) const;
    // First character '1' gives true, '0' false; anything else, empty or missing: `def`.
    bool GetBoolValue(const wchar_t* section, const wchar_t* key, bool def) const;

    void SetStringValue(const wchar_t* section, const wchar_t* key, const CString& value);
    void SetIntValue(const wchar_t* section, const wchar_t* key, int value);            // "%d"
    void SetUintValue(const wchar_t* section, const wchar_t* key, unsigned int value);  // "%u"
    void SetRealValue(const wchar_t* section, const wchar_t* key, double value);        // "%lf"
    void SetCharValue(const wchar_t* section, const wchar_t* key, wchar_t value);
    void SetHexValue(const wchar_t* section, const wchar_t* key, unsigned int value);   // "0x%X"
    void SetBoolValue(const wchar_t* section, const wchar_t* key, bool value);          // "1"/"0"
    // Removes the key when section and key exist; the section stays, even when left empty.
    void RemoveValue(const wchar_t* section, const wchar_t* key);

    // ---- Enumeration ----
    // Walk the sections with SetFilePosOnStart, then LookThroughFile while pos is not null;
    // the keys of a section with SetSectionPosOnStart, then LookThroughSection while pos is
    // not null. Changing the object invalidates positions.
    bool GetNumberOfSections(int& count) const;  // always true
    bool SetFilePosOnStart(POSITION& pos) const;  // null when there is no section; always true
    // The section at `pos` (must not be null); pos moves on (null after the last). True when
    // the section holds a key map (always, in every ordinary state).
    bool LookThroughFile(CString& section, POSITION& pos) const;
    bool GetSectionSize(const CString& section, int& count) const;  // a missing section: 0, true
    // False for a missing section; else pos is the first key (null when none) and true.
    bool SetSectionPosOnStart(const CString& section, POSITION& pos) const;
    // False for a missing section; else the pair at `pos`, pos moves on, true.
    bool LookThroughSection(const CString& section, CString& key, CString& value,
                            POSITION& pos) const;

protected:
    // True and the text when section and key exist.
    bool GetValue(const wchar_t* section, const wchar_t* key, CString& value) const;
    // Stores the text, creating the section when needed; always true.
    bool SetValue(const wchar_t* section, const wchar_t* key, const CString& value);

private:
    using Section = std::map<CString, CString>;
    using Sections = std::map<CString, std::unique_ptr<Section>>;

    const Section* findSection(const wchar_t* section) const;

    Sections m_sections;
};

// ---- A file's text edited in place ----
// These work on the bytes of an INI file and keep every byte but those of the one key they
// change: comments, order, blanks and line ends (LF or CR LF) stay as they are. The key is
// the one LoadIni would read: in the block of the section's last header, its last line.

// The bytes with `key` of `section` set to `value`: the key's line is replaced, or, when the
// key is missing, a line is added after the last key line of the section's block (after the
// header when it has none); a missing section is added at the end as SaveIni writes one. The
// texts are converted to the system code page; a "key=value" line longer than 1022 bytes
// would be read back in pieces (callers refuse such values first).
std::string IniTextWithValue(const std::string& fileBytes, const CString& section,
                             const CString& key, const CString& value);
// Removes every line of `key` in the block of the section's last header (so that no earlier
// value shows through); false, bytes unchanged, when LoadIni would find no such key.
bool IniTextWithoutValue(std::string& fileBytes, const CString& section, const CString& key);

// Loads GetRootDir() + "\Settings\" + name into `ini`.
bool LoadSettingsFile(const CString& name, CINIFile& ini);
// Saves `ini` as GetRootDir() + "\Settings\" + name, creating the folder when missing; false
// when the folder cannot be created or the save fails.
bool SaveSettingsFile(const CString& name, const CINIFile& ini);

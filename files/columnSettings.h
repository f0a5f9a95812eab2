// Persistent column layouts of the application's list views, in the root folder's
// "\columns.ini": one section per list, with "order" (the column identifiers joined by single
// blanks) and "show" (their flags "1" or "0" joined by single blanks).
//
// Loading splits "order" at blanks (repeated blanks skipped), every column shown; the words of
// "show" then replace the flags of the first columns, one each, while columns remain (a word
// other than "1" reads as hidden). An identifier that holds a blank could not come back, so
// addColumn refuses it.
//
// The destructor writes the section and saves the file whether or not it loaded, through the
// object's own INI file, so the file's other sections stay. Two live objects over one file:
// the one destroyed last wins.
#pragma once

#include "files/iniFile.h"
#include "platform/CString.h"

#include <vector>

class CColumnSettings : public CINIFile {
public:
    explicit CColumnSettings(const wchar_t* section);
    ~CColumnSettings() override;

    int getColumnCount() const { return static_cast<int>(m_columns.size()); }
    // Null out of range.
    const wchar_t* getColumnId(int index) const;
    // True when the flag is "1"; false out of range.
    bool getColumnShowFlag(int index) const;
    // Appends a column; an empty or null identifier, or one holding a blank or tab, is refused.
    void addColumn(const wchar_t* id, bool show);
    void clear() { m_columns.clear(); }
    // The file could not be loaded when the object was made.
    bool notLoaded() const { return m_notLoaded; }

private:
    struct Column {
        CString id;
        CString show;  // "1" or "0" (or the word read)
    };
    CString m_section;
    bool m_notLoaded;
    std::vector<Column> m_columns;
};

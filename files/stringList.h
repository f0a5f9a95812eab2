// Lists of text lines loaded from and saved to files, one entry per line: CXenStringList of
// 8-bit text (the system code page, Windows-1252) and CWXenStringList of wide text, stored as
// UTF-16 little-endian units (wchar_t is 32 bits here: characters beyond U+FFFF are split into
// surrogate pairs on saving and joined on loading, so that saving then loading gives the list
// back; unpaired surrogates are kept).
//
// Loading: the file is read up to its end or a NUL unit (a wide file's odd last byte is
// ignored). A CR or LF ends a line; a CR or LF right after it belongs to the same line end, so
// "a\r\n\r\nb" gives a, "" and b, while "a\n\nb" and "a\r\rb" give a and b. Text after the last
// line end is a last entry; a final line end adds no empty entry. No byte-order mark is
// recognised (one stays in the first entry) or written. Saving writes every entry followed by
// CR LF; an empty list writes an empty file.
//
// Entries are owned by the list. Indexes out of range give the assertion report
// (files/logFile.h) and change nothing (operator[] then gives an empty text). A null text
// stands for the empty text where an entry is stored; FindString of a null text gives -1.
// Capacity is 0, then 1024 at the first addition, then doubles when full.
#pragma once

#include "platform/CString.h"

template <class Char>
class TXenStringList {
public:
    TXenStringList() = default;
    virtual ~TXenStringList() { CleanUp(); }
    TXenStringList(const TXenStringList&) = delete;
    TXenStringList& operator=(const TXenStringList&) = delete;

    const Char* operator[](int index) const;
    int Length() const { return m_count; }

    void Add(const Char* text);
    void SetAt(int index, const Char* text);
    // Index Length() appends.
    void InsertAt(int index, const Char* text);
    void Delete(int index);
    // The first entry equal to `text` (exact, case-sensitive), or -1.
    int FindString(const Char* text) const { return FindStringInRange(0, m_count - 1, text); }
    // The same from `first` to `last` inclusive (clipped to the list); -1 when first > last.
    int FindStringInRange(int first, int last, const Char* text) const;

protected:
    void AddInternal(const Char* text, int length);
    // Stores `text` (allocated with new[]), taking ownership; frees the old entry.
    void SetAtInternal(int index, Char* text);
    // Makes room for one more entry; false when memory runs out.
    bool ReallocBufferIfNeeded();
    void CleanUp();
    bool validIndex(int index) const;
    // Splits the units of a loaded file into entries.
    template <class Unit, class ToEntry>
    void addLines(const Unit* units, std::size_t count, ToEntry toEntry);

    int m_capacity = 0;
    int m_count = 0;
    Char** m_items = nullptr;
};

class CXenStringList : public TXenStringList<char> {
public:
    bool LoadFromFile(const CString& path);
    // False only when the file cannot be made (a read-only mark is cleared first); write
    // errors are ignored.
    bool SaveToFile(const CString& path) const;
    // Converts to the system code page with a terminating zero: false for null arguments or
    // when the text and its zero do not fit in outSize bytes. Characters outside the code page
    // become '?' and the conversion still succeeds, as the platform's conversion does.
    static bool ConvertWtoA(const wchar_t* in, char* out, int outSize);
};

class CWXenStringList : public TXenStringList<wchar_t> {
public:
    bool LoadFromFile(const CString& path);
    bool SaveToFile(const CString& path) const;
};

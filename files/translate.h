// Translation of the text the user sees: a dictionary file maps each text of the interface to
// its translation, and the process-wide translator answers Xlate and translates windows and
// menus in place. Optionally it collects the texts it could not translate and writes them at
// the end, in the dictionary's own format, for a translator to fill in.
//
// Files (device paths): UTF-16 little-endian. Dictionary: pairs of bracketed texts, "[" key "]"
// then, after anything that is not '[', "[" value "]"; everything outside brackets (a
// byte-order mark, line ends, comments without brackets) is ignored; a key or value cannot
// hold ']' but may hold '['; an unpaired last bracketed text is ignored, and an odd last byte
// too. Missing-texts file: FF FE, then for each text "[" text "]" CR LF twice (a ready-made
// entry that maps the text to itself).
//
// Keys are compared in UTF-16 code units, the file's own: two keys compare as their common
// leading part; when one is a prefix of the other, the longer sorts first.
//
// Lifecycle: no translator before InitializeTranslateFile and after FinalizeTranslateFile:
// Xlate then gives texts unchanged and the window functions return 0. The translator is used
// from the user-interface thread only (no locking).
#pragma once

#include "platform/CString.h"
#include "platform/menu.h"
#include "platform/process.h"
#include "platform/windowStub.h"

#include <cstddef>
#include <string>
#include <vector>

// ---- The dictionary ----

// One entry: its key and value as start and length in UTF-16 units inside the file.
struct TXlateEntry {
    std::size_t keyStart = 0;
    std::size_t keyLength = 0;
    std::size_t valueStart = 0;
    std::size_t valueLength = 0;
};

// Compares two keys in the dictionary's order (<0, 0, >0).
int CompareXlateKeys(const std::u16string& a, const std::u16string& b);

// The entries of a dictionary file's bytes, sorted for lookup. The bytes are not copied: they
// must outlive the object (the translator keeps its file mapped).
class CXlateDictionary {
public:
    // Reads the entries of `byteCount` bytes of UTF-16LE text (byteCount / 2 units), replacing
    // what was read before. Entries with the same key keep their file order, and lookup finds
    // the first of them.
    void Parse(const void* bytes, std::size_t byteCount);
    int Count() const { return static_cast<int>(m_entries.size()); }
    // The entry whose key equals `key` (same length, same units); -1 when none does.
    int Find(const std::u16string& key) const;
    // The entry at `index` (in lookup order); empty texts outside 0 .. Count() - 1.
    std::u16string KeyUnits(int index) const;
    CString Key(int index) const;
    CString Value(int index) const;
    // Where the entry's key starts, in UTF-16 units from the file's start; 0 outside the range.
    std::size_t Offset(int index) const;
    // The line (from 1, counted by LF) on which the entry's key starts; 0 outside the range.
    int Line(int index) const;
    // Whether the entry's key equals the key of the entry before it (a duplicate, not used).
    bool IsDuplicate(int index) const;

private:
    char16_t unit(std::size_t at) const;
    std::u16string units(std::size_t start, std::size_t length) const;
    int compareKey(const TXlateEntry& entry, const std::u16string& key) const;

    const unsigned char* m_bytes = nullptr;
    std::size_t m_units = 0;
    std::vector<TXlateEntry> m_entries;
};

// The bytes of a missing-texts file holding `texts` in their order. A text that holds ']'
// cannot be written in this format (it would read back as another entry): it is left out and
// counted in `skipped` when given.
std::string MissingTextsFileBytes(const std::vector<std::wstring>& texts, int* skipped = nullptr);

// ---- The process-wide translator ----

// Makes the translator with nothing loaded: texts stay unchanged, the window functions
// return -1. A translator made before is finalized first (its missing texts are written).
void InitializeTranslateFile();
// Makes the translator: loads the dictionary folder + "\" + dictionary (the name alone when
// the folder is null or empty) when that name is given and not empty; reads the missing-texts
// file folder + "\" + missing the same way and switches collection on when it could be mapped
// (it exists and is not empty: create it with the byte-order mark alone to start collecting).
// Files that cannot be read are passed over silently.
void InitializeTranslateFile(const wchar_t* folder, const wchar_t* dictionary, const wchar_t* missing);
// Writes the missing-texts file when collecting (first-seen order; texts holding ']' are left
// out with a log line), frees the dictionary and destroys the translator.
void FinalizeTranslateFile();

// The translation of `text`: the dictionary's value, or the text itself (collected when
// collection is on). A null text gives the empty text.
CString Xlate(const wchar_t* text);
// String resource `id` of `module` (at most 511 characters), translated. A missing resource
// gives "String %d not found in module %s." with the id and the module's file name, translated.
CString Xlate(unsigned int id, HINSTANCE module);

// The window functions return 0 when there is no translator and -1 when the translator has
// neither a dictionary nor collection on.
//
// The title and the direct children's texts; the number of children visited. Children of the
// classes "edit", "combobox" and "listbox" (any case), owner-drawn buttons (style bits 0x0B
// all set), bitmap statics (0x0E) and icon statics (0x03) keep their texts.
int XlateWnd(CWnd& window);
// The title only; 0 when done.
int XlateWndTitle(CWnd& window);
// The window's menu (XlateMenu); 0 when done, -1 also when the window has no menu.
int XlateWndMenu(CWnd& window);
// A menu and its submenus, in place: texts translated (at most 256 characters of each are
// read), order, states, identifiers and submenus kept; separators and items of identifier 0
// are passed over. 0 when done, -1 also for a handle that is no menu.
int XlateMenu(CMenu& menu);
int XlateMenu(HMENU menu);
// The command bar of a window (CommandBar_Find): buttons 0 to 14, while one exists, each
// replaced by a copy with the translated text at the same index, and its drop-down menu
// translated. The number of buttons handled; -1 also when the window has no command bar.
int XlateMenu(HWND window);

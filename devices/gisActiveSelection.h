// The active lines and areas of GIS feature collection: while the user collects features in
// the field, each newly measured point joins every active line or area. CGISActiveSelection
// holds that set, tells what kind of selection is current (points only, one line, one area,
// or several line/area objects) and where new points go into the active line or area.
#pragma once

#include "platform/CString.h"
#include "platform/containers.h"

// The kind of a GIS object. Any int can be held (values read from elsewhere stay in range);
// only 0 to 2 mean anything here.
enum GIS_OBJECT_TYPE : int {
    GIS_OBJECT_POINT = 0,
    GIS_OBJECT_LINE = 1,
    GIS_OBJECT_AREA = 2,
};

// Where new points go into a line or area. 0 is none; the other three values are this
// library's own choice, in the order the collection menus offer them.
enum GIS_PTINSERT_LOC : int {
    GIS_PTINSERT_NONE = 0,
    GIS_PTINSERT_START = 1,   // added before the first point
    GIS_PTINSERT_END = 2,     // added after the last point
    GIS_PTINSERT_INSERT = 3,  // inserted between existing points
};

// The character that separates control codes in a code entry; see GetCtlCodeDelimiterChar.
enum CONTROL_CODE_DELIMITERS : int {
    CTL_CODE_DELIMITER_SPACE = 0,
    CTL_CODE_DELIMITER_PERIOD = 1,
    CTL_CODE_DELIMITER_SEMICOLON = 2,
    CTL_CODE_DELIMITER_COMMA = 3,
    CTL_CODE_DELIMITER_DASH = 4,
};

// 0 -> ' ', 1 -> '.', 2 -> ';', 3 -> ',', 4 -> '-'; any other value -> the character 0.
wchar_t GetCtlCodeDelimiterChar(CONTROL_CODE_DELIMITERS delimiter);

// One active object. Its identity is the pair (code, codeString), compared exactly (case
// counts); the label and the remain-active flag are not part of it.
struct GISObject {
    CString label;                                       // carried along, not interpreted
    GIS_OBJECT_TYPE objectType = GIS_OBJECT_POINT;
    CString code;                                        // the feature code
    CString codeString;                                  // which instance of the code
    GIS_PTINSERT_LOC insertLocation = GIS_PTINSERT_NONE; // where new points go (lines, areas)
    bool remainActive = true;
};

class CGISActiveSelection {
public:
    // Selection flags (GetActiveSelType).
    static constexpr unsigned long kPointSelection = 1;  // always set
    static constexpr unsigned long kLineActive = 2;
    static constexpr unsigned long kAreaActive = 4;
    static constexpr unsigned long kSeveralActive = 8;   // more than one line/area object

    // The reset state: flags 1, insert location 0, no object. Copies copy everything.
    CGISActiveSelection() = default;
    void Reset();
    void CleanActiveList() { Reset(); }

    // Adds a copy of `object` unless an object of the same identity is in the list (false).
    // The object's type joins the flags (SetActiveSelectionType); a line or area also makes
    // its insert location the current one, even when the flags then hold several line/area
    // objects (GetActiveInsertType answers 0 while they do).
    bool AddObjectToActiveList(const GISObject& object);
    bool AddObjectToActiveList(const CString& code, const CString& codeString, GIS_OBJECT_TYPE type,
                               GIS_PTINSERT_LOC insertLocation, const CString& label, bool remainActive);

    // Removals recompute the selection from the objects left: flags from 1 with every
    // object's type applied in list order; then, unless several line/area objects remain,
    // the current insert location becomes that of the first line, else of the first area,
    // else 0 (with several, it is kept).
    bool RemoveObjectFromActiveList(const CString& code, const CString& codeString);  // false: none
    bool RemoveObjectFromActiveList(int index);  // false: index outside the list
    // Removes every object of `code`, one at a time from the lowest index.
    void RemoveObjectsWithCode(const CString& code);

    // Indexes into the list, or -1.
    int ObjectLocInActiveList(const CString& code, const CString& codeString) const;
    int FindObjectWithCode(const CString& code) const;
    int findObjectByType(GIS_OBJECT_TYPE type) const;

    // A copy of the first line / area object; false (object untouched) when there is none.
    bool GetLineObject(GISObject& object) const;
    bool GetAreaObject(GISObject& object) const;

    int GetNumActiveObjects() const { return m_objects.GetSize(); }
    // An index outside the list is a programming error: reported by the array
    // (platform/containers.h), which hands out a default object.
    const GISObject& GetActiveObjectAt(int index) const { return m_objects.GetAt(index); }
    const CArray<GISObject>& GetActiveObjects() const { return m_objects; }
    // Empties `target`, then appends copies of all objects in list order.
    void CopyActiveObjects(CArray<GISObject>& target) const;

    // Applies a type to the flags: a point sets 1; a line or area first sets 8 when 2 or 4 is
    // already set, then sets 2 (line) or 4 (area); other values change nothing. Bits are only
    // added here.
    void SetActiveSelectionType(GIS_OBJECT_TYPE type);
    // 1 when the list is empty, else the flags.
    unsigned long GetActiveSelType() const;

    // Sets the current insert location; 0 while several line/area objects are active.
    void SetActiveInsertType(GIS_PTINSERT_LOC location);
    // False when no object has that identity. Otherwise stores `location` in the object when it
    // is a line or an area, and sets the current insert location as above (for any type).
    bool SetActiveInsertType(const CString& code, const CString& codeString, GIS_PTINSERT_LOC location);
    // 0 while several line/area objects are active; the current insert location while a line
    // or an area is; else 0.
    GIS_PTINSERT_LOC GetActiveInsertType() const;

    // False when no object has that identity; otherwise sets its remain-active flag.
    bool SetShouldLineRemainActive(const CString& code, const CString& codeString, bool remainActive);
    // Clears the remain-active flag of every object.
    void SetAllInactive();

private:
    void recompute();
    template <class Match>
    int firstIndexWhere(Match match) const
    {
        for (int i = 0; i < m_objects.GetSize(); ++i)
            if (match(m_objects[i]))
                return i;
        return -1;
    }

    unsigned long m_flags = kPointSelection;
    GIS_PTINSERT_LOC m_insertLocation = GIS_PTINSERT_NONE;
    CArray<GISObject> m_objects;
};

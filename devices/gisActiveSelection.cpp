#include "devices/gisActiveSelection.h"

namespace {

bool isLineOrArea(GIS_OBJECT_TYPE type)
{
    return type == GIS_OBJECT_LINE || type == GIS_OBJECT_AREA;
}

} // namespace

wchar_t GetCtlCodeDelimiterChar(CONTROL_CODE_DELIMITERS delimiter)
{
    switch (delimiter) {
    case CTL_CODE_DELIMITER_SPACE: return L' ';
    case CTL_CODE_DELIMITER_PERIOD: return L'.';
    case CTL_CODE_DELIMITER_SEMICOLON: return L';';
    case CTL_CODE_DELIMITER_COMMA: return L',';
    case CTL_CODE_DELIMITER_DASH: return L'-';
    }
    return L'\0';
}

void CGISActiveSelection::Reset()
{
    m_flags = kPointSelection;
    m_insertLocation = GIS_PTINSERT_NONE;
    m_objects.RemoveAll();
}

bool CGISActiveSelection::AddObjectToActiveList(const GISObject& object)
{
    if (ObjectLocInActiveList(object.code, object.codeString) >= 0)
        return false;
    m_objects.Add(object);
    SetActiveSelectionType(object.objectType);
    if (isLineOrArea(object.objectType))
        m_insertLocation = object.insertLocation;
    return true;
}

bool CGISActiveSelection::AddObjectToActiveList(const CString& code, const CString& codeString,
                                                GIS_OBJECT_TYPE type, GIS_PTINSERT_LOC insertLocation,
                                                const CString& label, bool remainActive)
{
    GISObject object;
    object.label = label;
    object.objectType = type;
    object.code = code;
    object.codeString = codeString;
    object.insertLocation = insertLocation;
    object.remainActive = remainActive;
    return AddObjectToActiveList(object);
}

bool CGISActiveSelection::RemoveObjectFromActiveList(const CString& code, const CString& codeString)
{
    return RemoveObjectFromActiveList(ObjectLocInActiveList(code, codeString));
}

bool CGISActiveSelection::RemoveObjectFromActiveList(int index)
{
    if (index < 0 || index >= m_objects.GetSize())
        return false;
    m_objects.RemoveAt(index);
    recompute();
    return true;
}

void CGISActiveSelection::RemoveObjectsWithCode(const CString& code)
{
    // Searching again from the start after each removal: the object that moved into the
    // removed one's place is not skipped.
    for (int i = FindObjectWithCode(code); i >= 0; i = FindObjectWithCode(code))
        RemoveObjectFromActiveList(i);
}

int CGISActiveSelection::ObjectLocInActiveList(const CString& code, const CString& codeString) const
{
    return firstIndexWhere([&](const GISObject& o) { return o.code == code && o.codeString == codeString; });
}

int CGISActiveSelection::FindObjectWithCode(const CString& code) const
{
    return firstIndexWhere([&](const GISObject& o) { return o.code == code; });
}

int CGISActiveSelection::findObjectByType(GIS_OBJECT_TYPE type) const
{
    return firstIndexWhere([&](const GISObject& o) { return o.objectType == type; });
}

bool CGISActiveSelection::GetLineObject(GISObject& object) const
{
    const int i = findObjectByType(GIS_OBJECT_LINE);
    if (i < 0)
        return false;
    object = m_objects[i];
    return true;
}

bool CGISActiveSelection::GetAreaObject(GISObject& object) const
{
    const int i = findObjectByType(GIS_OBJECT_AREA);
    if (i < 0)
        return false;
    object = m_objects[i];
    return true;
}

void CGISActiveSelection::CopyActiveObjects(CArray<GISObject>& target) const
{
    target.RemoveAll();
    target.Append(m_objects);
}

void CGISActiveSelection::SetActiveSelectionType(GIS_OBJECT_TYPE type)
{
    if (type == GIS_OBJECT_POINT) {
        m_flags |= kPointSelection;
        return;
    }
    if (!isLineOrArea(type))
        return;
    if (m_flags & (kLineActive | kAreaActive))
        m_flags |= kSeveralActive;
    m_flags |= type == GIS_OBJECT_LINE ? kLineActive : kAreaActive;
}

unsigned long CGISActiveSelection::GetActiveSelType() const
{
    return m_objects.IsEmpty() ? kPointSelection : m_flags;
}

void CGISActiveSelection::SetActiveInsertType(GIS_PTINSERT_LOC location)
{
    m_insertLocation = (m_flags & kSeveralActive) ? GIS_PTINSERT_NONE : location;
}

bool CGISActiveSelection::SetActiveInsertType(const CString& code, const CString& codeString,
                                              GIS_PTINSERT_LOC location)
{
    const int i = ObjectLocInActiveList(code, codeString);
    if (i < 0)
        return false;
    GISObject& object = m_objects[i];
    if (isLineOrArea(object.objectType))
        object.insertLocation = location;
    SetActiveInsertType(location);
    return true;
}

GIS_PTINSERT_LOC CGISActiveSelection::GetActiveInsertType() const
{
    if (m_flags & kSeveralActive)
        return GIS_PTINSERT_NONE;
    return (m_flags & (kLineActive | kAreaActive)) ? m_insertLocation : GIS_PTINSERT_NONE;
}

bool CGISActiveSelection::SetShouldLineRemainActive(const CString& code, const CString& codeString,
                                                    bool remainActive)
{
    const int i = ObjectLocInActiveList(code, codeString);
    if (i < 0)
        return false;
    m_objects[i].remainActive = remainActive;
    return true;
}

void CGISActiveSelection::SetAllInactive()
{
    for (int i = 0; i < m_objects.GetSize(); ++i)
        m_objects[i].remainActive = false;
}

void CGISActiveSelection::recompute()
{
    m_flags = kPointSelection;
    if (m_objects.IsEmpty()) {
        SetActiveSelectionType(GIS_OBJECT_POINT);
        m_insertLocation = GIS_PTINSERT_NONE;
        return;
    }
    for (int i = 0; i < m_objects.GetSize(); ++i)
        SetActiveSelectionType(m_objects[i].objectType);
    if (m_flags & kSeveralActive)
        return;  // the current insert location is kept
    int first = -1;
    if (m_flags & kLineActive)
        first = findObjectByType(GIS_OBJECT_LINE);
    else if (m_flags & kAreaActive)
        first = findObjectByType(GIS_OBJECT_AREA);
    m_insertLocation = first >= 0 ? m_objects[first].insertLocation : GIS_PTINSERT_NONE;
}

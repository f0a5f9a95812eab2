#include "files/columnSettings.h"

#include "files/appFolders.h"
#include "numeric/textLists.h"

namespace {

CString columnsFile()
{
    return GetRootDir() + L"\\columns.ini";
}

std::vector<CString> words(CString text)
{
    std::vector<CString> out;
    int start = 0;
    for (CString word = Tokenize(text, L" ", start); start >= 0; word = Tokenize(text, L" ", start))
        out.push_back(word);
    return out;
}

CString joined(const std::vector<CString>& parts)
{
    CString text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i ? L" " : L"") + parts[i];
    return text;
}

} // namespace

CColumnSettings::CColumnSettings(const wchar_t* section)
    : m_section(section ? section : L""), m_notLoaded(!LoadIni(columnsFile()))
{
    if (m_notLoaded)
        return;
    for (const CString& id : words(GetStringValue(m_section, L"order", CString())))
        m_columns.push_back(Column{id, CString(L"1")});
    const std::vector<CString> flags = words(GetStringValue(m_section, L"show", CString()));
    for (std::size_t i = 0; i < flags.size() && i < m_columns.size(); ++i)
        m_columns[i].show = flags[i];
}

CColumnSettings::~CColumnSettings()
{
    std::vector<CString> ids, flags;
    for (const Column& column : m_columns) {
        ids.push_back(column.id);
        flags.push_back(column.show == L"1" ? CString(L"1") : CString(L"0"));
    }
    SetStringValue(m_section, L"order", joined(ids));
    SetStringValue(m_section, L"show", joined(flags));
    SaveIni(columnsFile());
}

const wchar_t* CColumnSettings::getColumnId(int index) const
{
    if (index < 0 || index >= getColumnCount())
        return nullptr;
    return m_columns[static_cast<std::size_t>(index)].id;
}

bool CColumnSettings::getColumnShowFlag(int index) const
{
    if (index < 0 || index >= getColumnCount())
        return false;
    return m_columns[static_cast<std::size_t>(index)].show == L"1";
}

void CColumnSettings::addColumn(const wchar_t* id, bool show)
{
    if (!id || !*id)
        return;
    for (const wchar_t* c = id; *c; ++c)
        if (*c == L' ' || *c == L'\t')
            return;
    m_columns.push_back(Column{CString(id), CString(show ? L"1" : L"0")});
}

#include "vrkmath/mathAlnt.h"

#include <cwchar>

// ---------------------------------------------------------------------------------------------
// Construction and copy

CAlnt::CAlnt() = default;

CAlnt::CAlnt(const CAlnt& other) : CAlntH()
{
    copy(other);
}

CAlnt& CAlnt::operator=(const CAlnt& other)
{
    copy(other);
    return *this;
}

CAlnt::~CAlnt()
{
    removeAll();
}

void CAlnt::copy(const CAlnt& other)
{
    if (this == &other)
        return;
    removeAll();
    m_name = other.m_name;
    doCopyHes(other);
    m_v.doCopyVes(other.m_v);
}

void CAlnt::removeAll()
{
    m_v.removeAllVes();
    removeAllHes();
}

// ---------------------------------------------------------------------------------------------
// Forwarded editing

void CAlnt::setStartChainageInM(double chain)
{
    CAlntH::setStartChainageInM(chain);
    m_v.setStartChainageInM(chain);
}

bool CAlnt::appendElement(const CAlntHe& he)
{
    return CAlntH::appendElement(he);
}

bool CAlnt::insertElement(int i, const CAlntHe& he)
{
    return CAlntH::insertElement(i, he);
}

bool CAlnt::replaceElement(int i, const CAlntHe& he)
{
    return CAlntH::replaceElement(i, he);
}

bool CAlnt::removeHe(int i)
{
    return CAlntH::removeHe(i);
}

void CAlnt::setStartPos(double north, double east, double height)
{
    CAlntH::setStartPos(north, east);
    m_v.setStartHeight(height);
}

bool CAlnt::appendElement(const CAlntVe& ve)
{
    return m_v.appendElement(ve);
}

bool CAlnt::insertElement(int i, const CAlntVe& ve)
{
    return m_v.insertElement(i, ve);
}

bool CAlnt::replaceElement(int i, const CAlntVe& ve)
{
    return m_v.replaceElement(i, ve);
}

bool CAlnt::removeVe(int i)
{
    return m_v.removeVe(i);
}

// ---------------------------------------------------------------------------------------------
// Names

namespace {

constexpr int kMaxAlntNameLength = 20;
// The characters a name must not contain.
constexpr const wchar_t* kForbiddenNameChars = L"!,?%*@#$^&\\/|~;[]{}()<>+='\"`\t\r\n";

bool isBlankOrTab(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

bool CAlnt::checkAlntName(const CString& name)
{
    const int len = name.GetLength();
    return len >= 1 && len <= kMaxAlntNameLength && name.FindOneOf(kForbiddenNameChars) < 0;
}

bool CAlnt::checkAndNormalizeAlntName(CString& out, const CString& in)
{
    std::wstring text;
    bool pendingBlank = false;
    for (const wchar_t c : in.str()) {
        if (isBlankOrTab(c)) {
            pendingBlank = !text.empty();
            continue;
        }
        if (pendingBlank)
            text += L' ';
        pendingBlank = false;
        text += c;
    }
    out = CString(text.c_str(), static_cast<int>(text.size()));
    return checkAlntName(out);
}

bool CAlnt::checkName(const wchar_t* name) const
{
    return name && checkAlntName(CString(name));
}

bool CAlnt::setName(const CString& name)
{
    CString normalized;
    if (!checkAndNormalizeAlntName(normalized, name))
        return false;
    doSetName(normalized);
    return true;
}

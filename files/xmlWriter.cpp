#include "files/xmlWriter.h"

#include "platform/textCodec.h"

#include <cwchar>

namespace {

const wchar_t kRootElement[] = L"OstrandJobHistory";
const wchar_t kCheckSumStart[] = L"<CheckSum>";
const wchar_t kCheckSumEnd[] = L"</CheckSum>";

std::u16string toUnits(const CString& text)
{
    return WideToUtf16(text, static_cast<std::size_t>(text.GetLength()));
}

} // namespace

// ---- CXMLWriterBase ------------------------------------------------------------------

CXMLWriterBase::~CXMLWriterBase()
{
    m_file.Close();
}

void CXMLWriterBase::Write(const CString& text)
{
    if (!IsOpen())
        return;
    std::string bytes = WideToUtf16Le(text, static_cast<std::size_t>(text.GetLength()));
    m_file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

void CXMLWriterBase::InitOnOpen(bool) {}

bool CXMLWriterBase::Open(const CString& path, bool& created)
{
    bool existed = false;
    {
        CFile probe;
        existed = probe.Open(path, CFile::modeRead) != FALSE;
    }
    m_file.Close();
    const UINT share = CFile::shareDenyWrite;
    if (!m_file.Open(path, CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate | share | CFile::typeBinary))
        return false;
    m_file.SeekToEnd();
    created = !existed;
    InitOnOpen(created);

    LONGLONG position = static_cast<LONGLONG>(m_file.GetPosition());
    m_file.Close();
    if (!m_file.Open(path, CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate | share | CFile::typeBinary))
        return false;
    m_file.Seek(position, CFile::begin);
    return true;
}

void CXMLWriterBase::Close()
{
    m_file.Close();
}

void CXMLWriterBase::WriteStartElement(const CString& name)
{
    m_elements.Add(name);
    m_pendingStartTag = true;
    ++m_depth;
}

void CXMLWriterBase::WriteString(const CString& text)
{
    FlushElementIfNeeded();
    Write(text);
}

void CXMLWriterBase::WriteEndElement()
{
    FlushElementIfNeeded();
    if (m_depth <= 0)
        return;
    CString name = m_elements[m_elements.GetSize() - 1];
    m_elements.RemoveAt(m_elements.GetSize() - 1);
    --m_depth;
    --m_writtenStartTags;
    WriteLine(L"</" + name + L">");
}

void CXMLWriterBase::WriteElementString(const CString& name, const CString& text)
{
    WriteStartElement(name);
    WriteString(text);
    WriteEndElement();
}

void CXMLWriterBase::FlushElementIfNeeded()
{
    if (!m_pendingStartTag)
        return;
    const int count = m_elements.GetSize();
    for (int i = m_writtenStartTags; i < count; ++i) {
        CString tag(L' ', i);
        tag += L"<" + m_elements[i] + L">";
        if (i + 1 < count)
            WriteLine(tag);
        else
            Write(tag);
    }
    m_writtenStartTags = count;
    m_pendingStartTag = false;
}

CString CXMLWriterBase::ReadUnits(int count)
{
    std::string bytes(static_cast<std::size_t>(count) * 2, '\0');
    UINT got = m_file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return CString(Utf16LeToWide(bytes.data(), got & ~1u).c_str());
}

bool CXMLWriterBase::RewindLastTag(const CString& name)
{
    const CString closing = L"</" + name + L">";
    const LONGLONG n = closing.GetLength();
    const LONGLONG total = static_cast<LONGLONG>(m_file.GetLength() / 2);
    if (total < n) {
        m_file.SeekToEnd();
        return false;
    }
    const LONGLONG window = total >= n + 2 ? n + 2 : n;
    const LONGLONG windowStart = (total - window) * 2;
    m_file.Seek(windowStart, CFile::begin);
    CString tail = ReadUnits(static_cast<int>(window));
    int found = tail.Find(closing);
    if (found >= 0)
        m_file.Seek(windowStart + static_cast<LONGLONG>(found) * 2, CFile::begin);
    else
        m_file.SeekToEnd();

    m_elements.RemoveAll();
    m_elements.Add(name);
    m_writtenStartTags = 1;
    m_pendingStartTag = false;
    m_depth = 1;
    return true;
}

// ---- CXMLWriter ----------------------------------------------------------------------

void CXMLWriter::Write(const CString& text)
{
    CXMLWriterBase::Write(text);
    if (IsOpen())
        m_checkSum = static_cast<unsigned int>(ContinueCheckSum(text, m_checkSum));
}

unsigned int CXMLWriter::ContinueCheckSum(const std::u16string& units, unsigned int sum, int& index)
{
    for (char16_t unit : units) {
        sum ^= (static_cast<unsigned int>(unit) & 0xFFu) << (8 * index);
        index = (index + 1) & 3;
    }
    return sum;
}

int CXMLWriter::ContinueCheckSum(const CString& text, unsigned int sum)
{
    return static_cast<int>(ContinueCheckSum(toUnits(text), sum, m_checkSumIndex));
}

void CXMLWriter::InitOnOpen(bool created)
{
    if (created) {
        const unsigned char bom[2] = {0xFF, 0xFE};
        m_file.Write(bom, 2);
        WriteLine(L"<?xml version=\"1.0\"?>");
        WriteStartDocument();
        WriteStartElement(kRootElement);
    } else if (RewindLastTag(kRootElement)) {
        RestoreCheckSum();
    }
}

void CXMLWriter::WriteCheckSum()
{
    WriteCheckSum(m_checkSum);
}

void CXMLWriter::WriteCheckSum(unsigned int sum)
{
    CString digits;
    digits.Format(L"%X", sum);
    Write(kCheckSumStart);
    Write(digits);
    WriteLine(kCheckSumEnd);
}

bool CXMLWriter::RestoreCheckSum()
{
    LONGLONG p = m_file.Seek(-2 * kCheckSumWindow, CFile::current);
    if (p < 0)
        return false;
    CString window = ReadUnits(kCheckSumWindow);
    int at = window.Find(kCheckSumStart);
    if (at < 0)
        return false;
    CString digits = window.Mid(at + static_cast<int>(std::wcslen(kCheckSumStart)), 8);
    unsigned int value = 0;
    if (std::swscanf(digits, L"%x", &value) != 1)
        return false;
    m_checkSum = value;
    m_checkSumIndex = static_cast<int>(p % 4);
    m_checkSum = static_cast<unsigned int>(ContinueCheckSum(window, m_checkSum));
    return true;
}

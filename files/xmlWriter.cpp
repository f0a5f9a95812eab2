#include "files/xmlWriter.h"

#include "files/jobHistoryCheck.h"
#include "files/logFile.h"
#include "platform/textCodec.h"

#include <cwchar>

namespace {

const wchar_t kRootElement[] = L"OstrandJobHistory";
const wchar_t kCheckSumStart[] = L"<CheckSum>";
const wchar_t kCheckSumEnd[] = L"</CheckSum>";
const wchar_t kDeclaration[] = L"<?xml version=\"1.0\"?>\r\n";

std::u16string toUnits(const CString& text)
{
    return WideToUtf16(text, static_cast<std::size_t>(text.GetLength()));
}

} // namespace

// ---- CXMLWriterBase ------------------------------------------------------------------

CXMLWriterBase::~CXMLWriterBase()
{
    Close();
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
    m_file.Close();
    const UINT share = CFile::shareDenyWrite;
    if (!m_file.Open(path, CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate | share | CFile::typeBinary))
        return false;
    // One writer at a time: the lock is taken before anything is read and holds until Close.
    // The file therefore stays open for reading and writing rather than being reopened for
    // writing only (which would drop the lock between the two opens); the position is the one
    // InitOnOpen leaves, as with a reopen.
    if (!m_file.Lock()) {
        m_file.Close();
        return false;
    }
    // Whether the file is new is decided under the lock: a file that another writer made and
    // left empty (stopped before its first byte) is new as well.
    created = m_file.GetLength() == 0;
    m_file.SeekToEnd();
    InitOnOpen(created);
    return true;
}

void CXMLWriterBase::Close()
{
    // A completed write reaches the storage before the call returns.
    m_file.Flush();
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
    m_cutBytes = 0;
    const TEndState end = created ? END_NEW : CutTornEnd();
    if (end == END_NEW) {
        const unsigned char bom[2] = {0xFF, 0xFE};
        m_file.Write(bom, 2);
        WriteLine(L"<?xml version=\"1.0\"?>");
        WriteStartDocument();
        WriteStartElement(kRootElement);
        return;
    }
    if (!RewindLastTag(kRootElement))
        return;
    if (!RestoreCheckSum() && end == END_HISTORY)
        SumFromStart();
}

CXMLWriter::TEndState CXMLWriter::CutTornEnd()
{
    m_file.SeekToBegin();
    std::string bytes(static_cast<std::size_t>(m_file.GetLength()), '\0');
    bytes.resize(m_file.Read(&bytes[0], static_cast<UINT>(bytes.size())));
    m_file.SeekToEnd();
    const std::string start = "\xFF\xFE" + WideToUtf16Le(kDeclaration, std::wcslen(kDeclaration));
    const std::string root = WideToUtf16Le(std::wstring(L"<") + kRootElement + L">\r\n");
    std::size_t keep = bytes.size();
    TEndState state = END_HISTORY;
    if ((start + root).compare(0, bytes.size(), bytes) == 0) {
        // Stopped before its first entry: nothing of value, the file starts anew.
        keep = 0;
        state = END_NEW;
    } else if (bytes.compare(0, start.size(), start) != 0) {
        return END_FOREIGN;  // no job history: written to as it is
    } else {
        // A torn end (the root's closing tag missing at the end, a cut element, a checksum
        // that does not match): everything after the last complete checksum element goes, or,
        // when not even the first one is complete, everything from it. A history without any
        // checksum element keeps all it holds but a last odd byte (half a character).
        keep = bytes.size() & ~std::size_t(1);
        std::string detail;
        if (CheckJobHistory(bytes, detail) != JOB_HISTORY_OK) {
            const std::size_t intact = JobHistoryIntactLength(bytes);
            const std::size_t firstSum = bytes.find(WideToUtf16Le(kCheckSumStart, std::wcslen(kCheckSumStart)), start.size());
            if (intact > 0)
                keep = intact;
            else if (firstSum != std::string::npos)
                keep = firstSum & ~std::size_t(1);
        }
    }
    if (keep == bytes.size() || !m_file.SetLength(keep))
        return state;
    m_file.SeekToEnd();
    m_cutBytes = bytes.size() - keep;
    const std::string where = ToUtf8(m_file.GetFilePath());
    LOGMESSAGE(2, "job history %s: %lu bytes of an unfinished write cut, %s", where.c_str(),
               static_cast<unsigned long>(m_cutBytes),
               state == END_NEW ? "the file starts anew" : "back to the last complete checksum");
    return state;
}

void CXMLWriter::SumFromStart()
{
    // A history with no checksum element yet: the sum covers everything after the byte-order
    // mark, as a checker counts it.
    const LONGLONG position = m_file.Seek(0, CFile::current);
    m_file.Seek(2, CFile::begin);
    const CString text = ReadUnits(static_cast<int>((position - 2) / 2));
    m_checkSumIndex = 0;
    m_checkSum = static_cast<unsigned int>(ContinueCheckSum(text, 0));
    m_file.Seek(position, CFile::begin);
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

bool CXMLWriter::IsReservedName(const CString& name)
{
    return name == L"CheckSum" || name == kRootElement;
}

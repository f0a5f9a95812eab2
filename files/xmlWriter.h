// The job-history XML writer.
//
// CXMLWriterBase is a small forward-only XML writer over a file: start tags are written
// lazily (only when content or a child follows), start tags are indented by one blank per
// nesting level, end tags stand at the start of a line, and every line ends with CR LF.
// All text is UTF-16 little-endian, two bytes per unit; the writer does not escape markup:
// callers pass text that is already valid XML.
//
// CXMLWriter writes the job history: the byte-order mark FF FE, the declaration line, the
// root element "OstrandJobHistory", and a running 32-bit checksum over everything written
// (the BOM excepted): the low byte of each UTF-16 unit is XORed into byte i of the sum,
// i = 0, 1, 2, 3, 0, ... (byte 0 least significant). "<CheckSum>%X</CheckSum>" elements carry
// the sum as it was before the element itself; reopening a file picks the sum up again from
// the last such element (RestoreCheckSum).
//
// A writer that is stopped in the middle of a period (a pulled battery, a killed process)
// leaves a torn end. Reopening finds it and cuts the file back to its last complete checksum
// element (logged at level 2), so that the next period continues a file that checks; a file
// torn before its first entry starts anew. Close syncs the file to storage. The file is
// locked (advisory, whole file) from Open to Close: one writer at a time.
//
// Paths are the library's device paths (see platform/deviceRoot.h).
#pragma once

#include "platform/CFile.h"
#include "platform/CString.h"
#include "platform/containers.h"

class CXMLWriterBase {
public:
    CXMLWriterBase() = default;
    CXMLWriterBase(const CXMLWriterBase&) = delete;
    CXMLWriterBase& operator=(const CXMLWriterBase&) = delete;
    virtual ~CXMLWriterBase();

    // Writes the text's UTF-16 units when the file is open, else nothing.
    virtual void Write(const CString& text);
    // Called by Open once the file is open read/write at its end; `created` is true for a
    // file that did not exist. The base does nothing.
    virtual void InitOnOpen(bool created);

    // Opens (creating when missing, never truncating) for read/write, takes the file's lock
    // (waiting for another writer to close), calls InitOnOpen and goes on writing at the
    // position InitOnOpen left. `created` tells whether the file was new (missing or empty).
    // False when the file cannot be opened or locked.
    bool Open(const CString& path, bool& created);
    // Syncs the file to storage and closes it (releasing the lock); end tags and the checksum
    // are the caller's to write first.
    void Close();
    bool IsOpen() const { return m_file.m_hFile != CFile::hFileNull; }

    void WriteStartDocument() {}
    void WriteEndDocument() {}
    // Pushes an element; its start tag is written when content or a child follows.
    void WriteStartElement(const CString& name);
    // Writes pending start tags, then the text unchanged.
    void WriteString(const CString& text);
    // Writes pending start tags, then "</name>" and CR LF at the start of a line.
    void WriteEndElement();
    // Start tag, text and end tag on one indented line.
    void WriteElementString(const CString& name, const CString& text);

    // Positions the file at the last "</name>" when it is among the last characters, else at
    // the end, and opens `name` as the one written element. False (position at the end, no
    // element opened) when the file is shorter than the closing tag.
    bool RewindLastTag(const CString& name);

protected:
    void WriteLine(const CString& text) { Write(text + L"\r\n"); }
    void FlushElementIfNeeded();
    // Reads `count` UTF-16 units at the position (fewer at the end of the file).
    CString ReadUnits(int count);

    CFile m_file;

private:
    [[maybe_unused]] int m_charSize = 2;  // every character is one UTF-16 unit
    bool m_pendingStartTag = false;
    CStringArray m_elements;     // open elements, outermost first
    int m_depth = 0;             // number of open elements
    int m_writtenStartTags = 0;  // open elements whose start tags are in the file
};

class CXMLWriter : public CXMLWriterBase {
public:
    // The base Write, then the text enters the checksum (only while the file is open).
    void Write(const CString& text) override;
    // New file: BOM, declaration, root element pending. Existing file: cuts a torn end (see
    // above), rewinds to the root's closing tag and restores the checksum from the last
    // checksum element; a job history that has none yet gets the sum of all it holds.
    void InitOnOpen(bool created) override;

    // Writes "<CheckSum>" + current sum as "%X" + "</CheckSum>" CR LF, unindented.
    void WriteCheckSum();
    // With the position at the root's closing tag: reads the 31 characters before it, finds
    // the last checksum element there and continues the sum from it. False (sum unchanged)
    // when there is none.
    bool RestoreCheckSum();

    unsigned int GetCheckSum() const { return m_checkSum; }
    // The bytes of a torn end that the last Open cut (0 when none).
    unsigned long long GetCutLength() const { return m_cutBytes; }
    // Element names the job history keeps for itself ("CheckSum" and the root's): an entry or
    // field of that name would make the file fail its check.
    static bool IsReservedName(const CString& name);
    int GetCheckSumIndex() const { return m_checkSumIndex; }

    // The characters of the checksum window that RestoreCheckSum reads before the root's
    // closing tag: "<CheckSum>" and "</CheckSum>" plus eight digits and CR LF.
    static const int kCheckSumWindow = 31;

    // Continues `sum` over the low bytes of the text's UTF-16 units starting at byte `index`
    // (0..3); returns the new sum and advances `index`. Shared with history checkers.
    static unsigned int ContinueCheckSum(const std::u16string& units, unsigned int sum, int& index);

private:
    enum TEndState { END_NEW, END_HISTORY, END_FOREIGN };
    // Reads the whole file and cuts a torn end (see above); tells what the file is.
    TEndState CutTornEnd();
    // The sum and byte index over everything from the byte-order mark to the position.
    void SumFromStart();
    int ContinueCheckSum(const CString& text, unsigned int sum);
    void WriteCheckSum(unsigned int sum);

    unsigned int m_checkSum = 0;
    int m_checkSumIndex = 0;
    unsigned long long m_cutBytes = 0;
};

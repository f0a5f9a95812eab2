// Job histories: the checker on any bytes (never a crash; the intact length a prefix of an
// even count), and the writer on a history torn at any byte: the input drives periods of
// entries and tears (the file cut at a chosen byte), and after the last period the file
// checks.
#include "fuzzRoot.h"

#include "files/jobHistoryCheck.h"
#include "files/xmlWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Entry texts made of the input's bytes, with the characters markup would need escaped
// replaced (the writer takes text that is already valid).
CString fieldText(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        wchar_t c = static_cast<wchar_t>(data[i] < 0x20 ? 0x20 + data[i] : data[i]);
        if (c == L'<' || c == L'>' || c == L'&')
            c = L'_';
        text += c;
    }
    return CString(text.c_str());
}

void writePeriod(const std::uint8_t* data, std::size_t size)
{
    CXMLWriter w;
    bool created = false;
    if (!w.Open(L"\\job.xml", created))
        std::abort();
    const int entries = size ? 1 + data[0] % 3 : 1;
    for (int e = 0; e < entries; ++e) {
        w.WriteStartElement(L"Entry");
        w.WriteElementString(L"Value", fieldText(data, size < 12 ? size : 12));
        w.WriteEndElement();
    }
    w.WriteCheckSum();
    w.WriteEndElement();
    w.Close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string detail;
    CheckJobHistory(bytes, detail);
    const std::size_t intact = JobHistoryIntactLength(bytes);
    if (intact > bytes.size() || intact % 2 != 0)
        std::abort();

    // Periods and tears: each step takes 3 bytes (what, where, how much).
    fuzz::root();
    ::unlink((fuzz::root() + "/job.xml").c_str());
    for (std::size_t at = 0; at + 3 <= size && at < 3 * 12; at += 3) {
        if (data[at] % 3 == 0) {
            std::string file = fuzz::readFile("job.xml");
            const std::size_t cut = (static_cast<std::size_t>(data[at + 1]) << 8 | data[at + 2]) % (file.size() + 1);
            fuzz::writeFile("job.xml", file.substr(0, cut));
        } else {
            writePeriod(data + at, 3);
        }
    }
    writePeriod(data, size < 8 ? size : 8);
    if (CheckJobHistory(fuzz::readFile("job.xml"), detail) != JOB_HISTORY_OK)
        std::abort();
    return 0;
}

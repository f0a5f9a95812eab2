// fieldcore history: check the checksums of a job-history file, or append records to one.
#include "cli.h"
#include "hostFiles.h"

#include "files/jobHistoryCheck.h"
#include "files/xmlWriter.h"
#include "platform/textCodec.h"

#include <iostream>

namespace {

const char* kHelp =
    "usage: fieldcore history check FILE\n"
    "       fieldcore history write FILE [--element NAME] < RECORDS\n"
    "\n"
    "A job history is a UTF-16 XML file (byte-order mark FF FE) with the root element\n"
    "OstrandJobHistory, to which each working period appends entries and a\n"
    "<CheckSum> element. The checksum is 32 bits: the LOW BYTE of each UTF-16 character\n"
    "after the byte-order mark is XORed into byte 0, 1, 2, 3, 0, ... of the sum; a change of\n"
    "a character's high byte alone is not seen by it.\n"
    "\n"
    "check  recomputes every checksum element the way the writer does when it reopens the\n"
    "       file, and checks that the file ends with its last checksum and the root's closing\n"
    "       tag. Never modifies the file. Prints 'ok: ...' or the reason.\n"
    "       Exit status: 0 the checksums match; 1 a checksum does not match or the file is\n"
    "       cut short; 2 the file cannot be read or is not a job history.\n"
    "\n"
    "write  appends one entry per stdin line to FILE (created when missing), then a checksum\n"
    "       element, and closes the root. A record line is 'name=value;name=value;...'; each\n"
    "       pair becomes a field element <name>value</name> inside an <Entry> element (or\n"
    "       --element NAME). Names must be XML names (letters, digits, '_', '-', '.', not\n"
    "       starting with a digit; CheckSum and OstrandJobHistory are the file's own); values\n"
    "       are escaped (& < >). Blank lines and lines starting with # are skipped. Writers\n"
    "       of one file take turns (a lock), and a write is on the disk when the command ends.\n"
    "       A write that was stopped midway (power cut, kill) is cut back to its last complete\n"
    "       checksum by the next write, which says so on stderr.\n"
    "       Exit status: 0 written; 2 a bad record (named with its line number, the other\n"
    "       records still written) or the file cannot be opened.\n"
    "\n"
    "Example:\n"
    "  printf 'Job=Road 7;Operator=AB\\n' | fieldcore history write job.xml\n"
    "  fieldcore history check job.xml\n";

bool isXmlName(const std::string& name)
{
    if (name.empty() || (name[0] >= '0' && name[0] <= '9') || name[0] == '-' || name[0] == '.')
        return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                  c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

std::string escapeXml(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

CString wide(const std::string& utf8)
{
    return CString(Utf8ToWide(utf8).c_str());
}

// Splits "a=1;b=2" into pairs; false with a message for a malformed record.
bool parseRecord(const std::string& line, std::vector<std::pair<std::string, std::string>>& fields,
                 std::string& message)
{
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(';', start);
        if (end == std::string::npos)
            end = line.size();
        std::string pair = cli::trim(line.substr(start, end - start));
        if (!pair.empty()) {
            size_t eq = pair.find('=');
            if (eq == std::string::npos) {
                message = "'" + pair + "' is not name=value";
                return false;
            }
            std::string name = cli::trim(pair.substr(0, eq));
            if (!isXmlName(name)) {
                message = "'" + name + "' is not an element name";
                return false;
            }
            if (CXMLWriter::IsReservedName(wide(name))) {
                message = "'" + name + "' is a name the job history keeps for itself";
                return false;
            }
            fields.emplace_back(name, pair.substr(eq + 1));
        }
        start = end + 1;
    }
    if (fields.empty()) {
        message = "no fields";
        return false;
    }
    return true;
}

int runCheck(const std::string& path)
{
    std::string bytes, why = "a read error";
    if (!cli::readWholeFile(path, bytes, &why)) {
        cli::error("history", cli::cannotRead(path, why));
        return cli::EXIT_BAD_INPUT;
    }
    std::string detail;
    TJobHistoryCheck result = CheckJobHistory(bytes, detail);
    if (result == JOB_HISTORY_OK) {
        std::cout << "ok: " << detail << '\n';
        return cli::EXIT_OK;
    }
    cli::error("history", path + ": " + detail);
    return result == JOB_HISTORY_NOT_HISTORY ? cli::EXIT_BAD_INPUT : cli::EXIT_NO_ANSWER;
}

int runWrite(const std::string& path, const std::string& element)
{
    // Records are read and checked first, so that a file is opened (and created) only when
    // there is something to write.
    std::vector<std::vector<std::pair<std::string, std::string>>> records;
    int status = cli::EXIT_OK;
    std::string line;
    long lineNo = 0;
    while (std::getline(std::cin, line)) {
        ++lineNo;
        std::string t = cli::trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        std::vector<std::pair<std::string, std::string>> fields;
        std::string message;
        if (!parseRecord(t, fields, message)) {
            cli::errorAtLine("history", lineNo, message);
            status = cli::EXIT_BAD_INPUT;
            continue;
        }
        records.push_back(std::move(fields));
    }
    if (records.empty()) {
        cli::error("history", "no records on stdin: nothing written");
        return cli::EXIT_BAD_INPUT;
    }
    // The writer appends to any file as it is; a file that is there and is not a job history
    // (no byte-order mark) is someone else's data, and is left alone.
    std::string bytes;
    if (cli::whyUnreadable(path).empty() && cli::readWholeFile(path, bytes) && !bytes.empty() &&
        bytes.compare(0, 2, "\xFF\xFE") != 0) {
        cli::error("history", path + ": no UTF-16 byte-order mark: not a job history (nothing written)");
        return cli::EXIT_BAD_INPUT;
    }
    CXMLWriter writer;
    bool created = false;
    if (!writer.Open(cli::hostFileAsDevicePath(path), created)) {
        cli::error("history", "cannot open '" + path + "' for writing");
        return cli::EXIT_BAD_INPUT;
    }
    if (writer.GetCutLength() > 0)
        cli::error("history", path + ": an unfinished earlier write was cut (" +
                                  std::to_string(writer.GetCutLength()) + " bytes)");
    for (const auto& fields : records) {
        writer.WriteStartElement(wide(element));
        for (const auto& f : fields)
            writer.WriteElementString(wide(f.first), wide(escapeXml(f.second)));
        writer.WriteEndElement();
    }
    writer.WriteCheckSum();
    writer.WriteEndElement();
    writer.Close();
    return status;
}

int runHistory(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    std::string element = "Entry";
    args.option("--element", element);
    std::string unknown;
    if (!args.problem().empty())
        return cli::usageError("history", args.problem());
    if (args.firstUnknownOption(unknown))
        return cli::usageError("history", args.unknownOption(unknown));
    if (!isXmlName(element))
        return cli::usageError("history", "'" + element + "' is not an element name");
    if (CXMLWriter::IsReservedName(wide(element)))
        return cli::usageError("history", "'" + element + "' is a name the job history keeps for itself");
    const std::vector<std::string>& rest = args.rest();
    if (rest.size() != 2 || (rest[0] != "check" && rest[0] != "write"))
        return cli::usageError("history", "expected 'check FILE' or 'write FILE'");
    return rest[0] == "check" ? runCheck(rest[1]) : runWrite(rest[1], element);
}

const bool registered = cli::registerCommand("history", "check or append to a job-history XML file", &runHistory);

} // namespace

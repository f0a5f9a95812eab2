#include "cli.h"

#include "numeric/textFields.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace cli {

static std::vector<Command>& registry()
{
    static std::vector<Command> list;
    return list;
}

bool registerCommand(const char* name, const char* summary, RunFn run)
{
    registry().push_back(Command{name, summary, run});
    return true;
}

const std::vector<Command>& commands() { return registry(); }

void printSubcommands(const std::vector<Subcommand>& table)
{
    size_t width = 0;
    for (const Subcommand& s : table)
        width = std::max(width, std::strlen(s.name));
    for (const Subcommand& s : table)
        std::cout << "  " << s.name << std::string(width + 2 - std::strlen(s.name), ' ') << s.summary << '\n';
}

int runSubcommand(const std::string& command, const std::vector<Subcommand>& table,
                  void (*printOverview)(), const std::vector<std::string>& args)
{
    if (args.empty()) {
        printOverview();
        return EXIT_BAD_INPUT;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printOverview();
        return EXIT_OK;
    }
    for (const Subcommand& s : table)
        if (args[0] == s.name)
            return s.run(std::vector<std::string>(args.begin() + 1, args.end()));
    // "--units ft --help" before any subcommand asks for the overview too.
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        printOverview();
        return EXIT_OK;
    }
    return usageError(command, "unknown subcommand '" + args[0] + "'");
}

Args::Args(std::vector<std::string> words) : words_(std::move(words)) {}

bool Args::flag(const std::string& name)
{
    for (size_t i = 0; i < words_.size(); ++i) {
        if (words_[i] == name) {
            words_.erase(words_.begin() + static_cast<long>(i));
            noteRepeat(name, i);
            return true;
        }
    }
    return false;
}

std::string Args::unknownOption(const std::string& word) const
{
    // A word left over because its option was given twice (or lacks its value) is no unknown one.
    return problem_.empty() ? "unknown option '" + word + "'" : problem_;
}

bool Args::option(const std::string& name, std::string& value)
{
    const std::string prefix = name + "=";
    for (size_t i = 0; i < words_.size(); ++i) {
        if (words_[i].compare(0, prefix.size(), prefix) == 0) {
            value = words_[i].substr(prefix.size());
            words_.erase(words_.begin() + static_cast<long>(i));
            noteRepeat(name, i);
            return true;
        }
        if (words_[i] == name) {
            if (i + 1 >= words_.size()) {
                missingValue_ = true;
                if (problem_.empty())
                    problem_ = name + " needs a value";
                words_.erase(words_.begin() + static_cast<long>(i));
                return false;
            }
            value = words_[i + 1];
            words_.erase(words_.begin() + static_cast<long>(i), words_.begin() + static_cast<long>(i) + 2);
            noteRepeat(name, i);
            return true;
        }
    }
    return false;
}

void Args::noteRepeat(const std::string& name, size_t from)
{
    for (size_t i = from; i < words_.size(); ++i)
        if ((words_[i] == name || words_[i].compare(0, name.size() + 1, name + "=") == 0) && problem_.empty())
            problem_ = name + " given twice";
}

bool Args::firstUnknownOption(std::string& word) const
{
    for (const std::string& w : words_) {
        double number;
        if (w.size() > 1 && w[0] == '-' && !parseDouble(w, number)) {
            word = w;
            return true;
        }
    }
    return false;
}

std::string trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t b = text.find_first_not_of(blanks);
    if (b == std::string::npos)
        return std::string();
    size_t e = text.find_last_not_of(blanks);
    return text.substr(b, e - b + 1);
}

bool parseDouble(const std::string& text, double& value)
{
    return ParseDecimalText(text, value);
}

bool parseInt(const std::string& text, int& value)
{
    std::string t = trim(text);
    if (t.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(t.c_str(), &end, 10);
    if (end != t.c_str() + t.size() || errno == ERANGE || v < -2147483647L - 1 || v > 2147483647L)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool parseUnsigned(const std::string& text, unsigned int& value, unsigned long limit)
{
    const std::string t = trim(text);
    if (t.empty() || t[0] < '0' || t[0] > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(t.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || v > limit)
        return false;
    value = static_cast<unsigned int>(v);
    return true;
}

std::vector<std::string> splitFields(const std::string& line)
{
    std::vector<std::string> fields;
    for (std::string_view f : SplitTextFields(line))
        fields.emplace_back(f);
    return fields;
}

std::string formatDouble(double value)
{
    char buf[64];
    value = value == 0.0 ? 0.0 : value;   // never "-0"
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, value);
        if (std::strtod(buf, nullptr) == value)
            break;
    }
    return buf;
}

std::string formatDisplay(double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value == 0.0 ? 0.0 : value);   // never "-0"
    return buf;
}

std::string formatFixed(double value, int decimals)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

void error(const std::string& command, const std::string& message)
{
    std::cerr << "fieldcore " << command << ": " << message << '\n';
}

void errorAtLine(const std::string& command, long line, const std::string& message)
{
    std::cerr << "fieldcore " << command << ": line " << line << ": " << message << '\n';
}

int usageError(const std::string& command, const std::string& message)
{
    error(command, message);
    std::cerr << "see 'fieldcore " << command << " --help'\n";
    return EXIT_BAD_INPUT;
}

int forEachValue(const std::string& command, const std::vector<std::string>& values,
                 std::istream& in,
                 const std::function<bool(const std::string& value, std::string& output)>& answer)
{
    int status = EXIT_OK;
    std::string output;
    if (!values.empty()) {
        for (const std::string& v : values) {
            output.clear();
            if (answer(v, output)) {
                std::cout << output << '\n';
            } else {
                error(command, output);
                status = EXIT_BAD_INPUT;
            }
        }
        return status;
    }
    std::string line;
    long lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::string t = trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        output.clear();
        if (answer(t, output)) {
            std::cout << output << '\n';
        } else {
            errorAtLine(command, lineNo, output);
            status = EXIT_BAD_INPUT;
        }
    }
    return status;
}

} // namespace cli

// Shared plumbing of the fieldcore command-line tool: the subcommand registry, option
// parsing, strict number parsing and the one-value-per-line loop.
//
// Conventions of every subcommand:
//   - `--help` prints the manual on stdout and exits 0;
//   - values come from the command line or, when none is given, one per line from stdin;
//   - answers go to stdout, one line per input line; errors go to stderr as
//     "fieldcore CMD: line N: MESSAGE" and the remaining lines still run;
//   - exit status 0 when every input was answered, 1 when a query had no answer,
//     2 for bad input or usage.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

enum ExitCode { EXIT_OK = 0, EXIT_NO_ANSWER = 1, EXIT_BAD_INPUT = 2 };

using RunFn = int (*)(const std::vector<std::string>& args);

struct Command {
    std::string name;     // first word after "fieldcore"
    std::string summary;  // one line for the overall help
    RunFn run;            // receives the words after the command name
};

// A subcommand of a command that has several (fieldcore cogo direction, fieldcore geod inverse).
struct Subcommand {
    const char* name;
    const char* summary;  // one line for the command's overview
    RunFn run;            // receives the words after the subcommand's name
};

// The subcommands' names and summaries, one per line, names padded to one column.
void printSubcommands(const std::vector<Subcommand>& table);
// Runs the subcommand that args[0] names. Without words: the overview, exit 2; "--help", "-h"
// or "help": the overview, exit 0; an unknown name: a usage error naming it.
int runSubcommand(const std::string& command, const std::vector<Subcommand>& table,
                  void (*printOverview)(), const std::vector<std::string>& args);

// Registers a subcommand; called from a namespace-scope initialiser in the command's source:
//   static const bool registered = cli::registerCommand("angle", "convert angles", &runAngle);
bool registerCommand(const char* name, const char* summary, RunFn run);
const std::vector<Command>& commands();

// Command-line words of one subcommand. Options are taken out as they are read; what is
// left are the positional values.
class Args {
public:
    explicit Args(std::vector<std::string> words);
    bool flag(const std::string& name);                       // "--name"
    bool option(const std::string& name, std::string& value); // "--name VALUE" or "--name=VALUE"
    // First word left that looks like an option ("-x" or "--x" but not a negative number).
    bool firstUnknownOption(std::string& word) const;
    // The message for such a word: "unknown option 'WORD'", or problem() when there is one
    // (a flag or option given twice leaves its second word behind).
    std::string unknownOption(const std::string& word) const;
    const std::vector<std::string>& rest() const { return words_; }
    bool missingValue() const { return missingValue_; }       // "--name" was last, with no value
    // The first problem with the options read so far ("--station needs a value", "--station
    // given twice"); empty when there is none.
    const std::string& problem() const { return problem_; }
private:
    void noteRepeat(const std::string& name, size_t from);
    std::vector<std::string> words_;
    bool missingValue_ = false;
    std::string problem_;
};

// Strict parsing: the whole text (surrounding blanks allowed) must be a finite decimal number
// (digits, a point, a sign, an exponent): no hexadecimal, "inf" or "nan". The library's one
// number grammar (numeric/textFields.h: ParseDecimalText), which the point files use too.
bool parseDouble(const std::string& text, double& value);
bool parseInt(const std::string& text, int& value);
// A whole decimal number from 0 to `limit` (digits only, no sign; surrounding blanks allowed).
bool parseUnsigned(const std::string& text, unsigned int& value, unsigned long limit = 0xFFFFFFFFul);
std::string trim(const std::string& text);

// Splits a line into fields at commas, semicolons, tabs and blanks (empty fields dropped): the
// library's one splitter (numeric/textFields.h: SplitTextFields).
std::vector<std::string> splitFields(const std::string& line);

// Shortest round-trip decimal form ("%.17g" trimmed to the fewest digits that read back equal).
std::string formatDouble(double value);
// Fifteen significant digits ("%.15g"): hides the representation noise of values that
// the display conversions have already rounded (1600.0000000000002 prints as 1600).
std::string formatDisplay(double value);
// Fixed decimals ("%.*f").
std::string formatFixed(double value, int decimals);

// Error and usage messages on stderr, prefixed "fieldcore CMD: ".
void error(const std::string& command, const std::string& message);
void errorAtLine(const std::string& command, long line, const std::string& message);
// Usage problem: message, a pointer to --help, returns EXIT_BAD_INPUT.
int usageError(const std::string& command, const std::string& message);

// Runs `answer` for each value: the given values, or else every non-blank line of `in`
// (lines starting with '#' are comments). `answer` returns true and writes `output`, or
// returns false with a message in `output`. Returns EXIT_OK, or EXIT_BAD_INPUT when any value failed.
int forEachValue(const std::string& command, const std::vector<std::string>& values,
                 std::istream& in,
                 const std::function<bool(const std::string& value, std::string& output)>& answer);

} // namespace cli

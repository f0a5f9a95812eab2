// The tool's line readers, in process: the input's first byte picks one of the commands that
// read values from stdin, its first line gives further command-line words, and the rest is the
// command's stdin. Whatever the lines, a command answers or refuses them; it never crashes or
// throws. The road commands read the C stream stdin rather than std::cin, so the rest is also
// written to a file of this process that stdin is reopened on.
#include "cli.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Commands and their fixed words; the fuzzer adds words from the input's first line.
const std::vector<std::vector<std::string>> kCommands = {
    {"angle", "--from", "deg", "--text"},
    {"angle", "--from", "dms", "--to", "deg"},
    {"angle", "--from", "mls", "--to", "dms", "--digits", "6"},
    {"dist", "--from", "usfti", "--to", "m"},
    {"dist", "--from", "m", "--to", "ifti"},
    {"station"},
    {"station", "--parse", "--unit", "100"},
    {"area"},
    {"area", "--divide-hinge", "45", "--area", "100"},
    {"curve", "--radius", "100"},
    {"cogo", "direction"},
    {"cogo", "inverse", "--angles", "dms"},
    {"cogo", "traverse", "--csv"},
    {"geod", "direct"},
    {"geod", "inverse", "--angles", "dms"},
    {"resect"},
    {"beacons", "-"},
    {"laser", "parse"},
    {"laser", "height"},
    // Appended, so that the seeds' first bytes keep their commands.
    {"road", "stakeout", "--example", "--alignment", "1"},
    {"road", "locate", "--example", "--alignment", "1"},
    {"road", "locate", "--example", "--alignment", "Main Road", "--csv", "--max-distance", "100"},
    {"road", "stakeout", "--example", "--alignment", "2", "--units", "usft"},
    {"road", "sample", "--example", "--alignment", "1", "--deviation", "0.5", "--offsets", "/dev/stdin"},
};

const cli::Command* find(const std::string& name)
{
    for (const cli::Command& c : cli::commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string w; in >> w;) {
        if (w.find('/') == std::string::npos)  // no host files: the lines are what is tested
            out.push_back(w);
    }
    return out;
}

// Points C stdin at `text` (a file of this process, rewritten each run).
void reopenStdin(const std::string& text)
{
    static const std::string path = "/tmp/fieldcore-fuzz-stdin-" + std::to_string(::getpid());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0)
        std::abort();
    if (!std::freopen(path.c_str(), "rb", stdin))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::vector<std::string>& fixed = kCommands[data[0] % kCommands.size()];
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t eol = rest.find('\n');
    std::vector<std::string> args(fixed.begin() + 1, fixed.end());
    for (const std::string& w : words(rest.substr(0, eol)))
        args.push_back(w);
    const std::string lines = eol == std::string::npos ? std::string() : rest.substr(eol + 1);
    reopenStdin(lines);
    std::istringstream input(lines);
    std::ostringstream sink;
    std::streambuf* in = std::cin.rdbuf(input.rdbuf());
    std::streambuf* out = std::cout.rdbuf(sink.rdbuf());
    std::streambuf* err = std::cerr.rdbuf(sink.rdbuf());
    std::cin.clear();
    const cli::Command* command = find(fixed[0]);
    if (!command)
        std::abort();
    const int status = command->run(args);  // an exception escaping is a finding
    std::cin.rdbuf(in);
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
    if (status < 0 || status > 2)
        std::abort();
    return 0;
}

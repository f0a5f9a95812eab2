// fieldcore: command-line face of the field library. Each subcommand lives in its own
// source file and registers itself with the table in cli.cpp.
#include "cli.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <new>

static void printOverview()
{
    std::cout << "usage: fieldcore COMMAND [OPTIONS] [VALUES...]\n\n"
                 "Commands (each has --help):\n";
    std::vector<cli::Command> sorted = cli::commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const cli::Command& a, const cli::Command& b) { return a.name < b.name; });
    for (const cli::Command& c : sorted)
        std::cout << "  " << c.name << std::string(c.name.size() < 10 ? 10 - c.name.size() : 1, ' ')
                  << c.summary << '\n';
    std::cout << "\nValues come from the command line or one per line from stdin; answers go to\n"
                 "stdout, errors to stderr. Exit status: 0 all answered, 1 no answer, 2 bad input.\n";
}

// Runs the command; nothing thrown leaves the tool: an exception (memory exhausted by an
// input too large, for one) ends the command with exit status 2 and its reason on stderr.
static int runCommand(const cli::Command& c, const std::vector<std::string>& words)
{
    try {
        return c.run(words);
    } catch (const std::bad_alloc&) {
        cli::error(c.name, "out of memory: the input is too large");
    } catch (const std::exception& e) {
        cli::error(c.name, std::string("stopped: ") + e.what());
    } catch (...) {
        cli::error(c.name, "stopped by an unknown error");
    }
    std::cout.flush();
    return cli::EXIT_BAD_INPUT;
}

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    if (argc < 2) {
        printOverview();
        return cli::EXIT_BAD_INPUT;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printOverview();
        return cli::EXIT_OK;
    }
    for (const cli::Command& c : cli::commands()) {
        if (c.name == name)
            return runCommand(c, std::vector<std::string>(argv + 2, argv + argc));
    }
    std::cerr << "fieldcore: unknown command '" << name << "' (see 'fieldcore --help')\n";
    return cli::EXIT_BAD_INPUT;
}

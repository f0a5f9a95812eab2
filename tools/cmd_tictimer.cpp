// fieldcore tictimer: runs the tic timer service for a while and prints its expiries.
#include "cli.h"

#include "devices/ticTimer.h"
#include "platform/messages.h"
#include "platform/sysTime.h"

#include <iostream>
#include <vector>

namespace {

const char* const kCommand = "tictimer";

const char* kHelp =
    "usage: fieldcore tictimer --base MS --timer ID:PERIOD [--timer ID:PERIOD ...] --for MS\n"
    "\n"
    "Runs the library's tic timer service on the computer's clock with a window of its own,\n"
    "sets the timers, and prints one line per expiry as it arrives, 'MS ID' (milliseconds\n"
    "since the timers were set, the timer's identifier); after --for milliseconds it stops\n"
    "the service and prints one line 'count ID N' per timer, in the order given.\n"
    "\n"
    "The service scans its timers once per base period, first one base period after it\n"
    "starts, and counts each timer down by one tick per scan. A period becomes a whole\n"
    "number of base ticks, rounded to the nearest: (PERIOD + BASE/2) / BASE, at least 1.\n"
    "So on --base 100 a period of 1000 fires every tenth scan, 149 every scan and 150\n"
    "every second scan; a period below half the base fires at every scan. A base below 10\n"
    "is raised to 10.\n"
    "\n"
    "Options:\n"
    "  --base MS          the base period in milliseconds (0 to 4294967295)\n"
    "  --timer ID:PERIOD  a timer: identifier and period in milliseconds (each 0 to\n"
    "                     4294967295). May be given again for more timers (at most 100,\n"
    "                     each identifier once), unlike the options of other commands.\n"
    "  --for MS           how long to run, in milliseconds (at most 86400000)\n"
    "\n"
    "Examples:\n"
    "  fieldcore tictimer --base 100 --timer 7:1000 --for 3500\n"
    "      -> 1000 7 / 2000 7 / 3000 7 (about), then count 7 3\n"
    "  fieldcore tictimer --base 50 --timer 1:100 --timer 2:250 --for 1000\n"
    "\n"
    "Errors: a missing or malformed option, an identifier given twice, more than 100\n"
    "timers, or an unknown option is reported on stderr as 'fieldcore tictimer: ...'.\n"
    "\n"
    "Exit status: 0 the service ran for the whole time; 2 a usage error or the service\n"
    "could not start.\n";

const unsigned long kMaxRunMs = 86400000UL;

struct Timer {
    unsigned int id;
    unsigned int period;
    unsigned long count;
};

bool parseTimer(const std::string& text, Timer& timer)
{
    const size_t colon = text.find(':');
    return colon != std::string::npos && cli::parseUnsigned(text.substr(0, colon), timer.id) &&
           cli::parseUnsigned(text.substr(colon + 1), timer.period);
}

// The window that receives the expiries: prints each and counts it.
class ExpiryWindow : public CWnd {
public:
    ExpiryWindow(std::vector<Timer>& timers, DWORD start) : m_timers(timers), m_start(start) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_TICTIMER)
            return CWnd::WindowProc(message, wParam, lParam);
        std::cout << GetTickCount() - m_start << ' ' << wParam << '\n' << std::flush;
        for (Timer& timer : m_timers)
            timer.count += timer.id == wParam;
        return 0;
    }

private:
    std::vector<Timer>& m_timers;
    const DWORD m_start;
};

// Handles the window's messages until `runMs` have passed since `start`.
void pumpFor(DWORD start, unsigned int runMs)
{
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= runMs)
            return;
        Sleep(runMs - elapsed < 5 ? runMs - elapsed : 5);
    }
}

int runTicTimer(const std::vector<std::string>& words)
{
    cli::Args args(words);
    if (args.flag("--help")) {
        std::cout << kHelp;
        return cli::EXIT_OK;
    }
    std::string text;
    unsigned int base = 0, runMs = 0;
    if (!args.option("--base", text) || !cli::parseUnsigned(text, base))
        return cli::usageError(kCommand, "--base MS is required (milliseconds, 0 to 4294967295)");
    if (!args.option("--for", text) || !cli::parseUnsigned(text, runMs, kMaxRunMs))
        return cli::usageError(kCommand, "--for MS is required (milliseconds, 0 to 86400000)");
    std::vector<Timer> timers;
    while (args.option("--timer", text)) {
        Timer timer{0, 0, 0};
        if (!parseTimer(text, timer))
            return cli::usageError(kCommand, "bad --timer '" + text + "': expected ID:PERIOD, two whole numbers");
        for (const Timer& other : timers)
            if (other.id == timer.id)
                return cli::usageError(kCommand, "timer " + std::to_string(timer.id) + " is given twice");
        timers.push_back(timer);
    }
    std::string unknown;
    if (args.missingValue())
        return cli::usageError(kCommand, "an option is missing its value");
    if (args.firstUnknownOption(unknown))
        return cli::usageError(kCommand, args.unknownOption(unknown));
    if (!args.rest().empty())
        return cli::usageError(kCommand, "unexpected argument '" + args.rest().front() + "'");
    if (timers.empty())
        return cli::usageError(kCommand, "at least one --timer ID:PERIOD is required");
    if (timers.size() > static_cast<size_t>(kTicTimerSlots))
        return cli::usageError(kCommand, "at most 100 timers");

    if (!CreateTicTimerThread(base)) {
        cli::error(kCommand, "the timer service could not start");
        return cli::EXIT_BAD_INPUT;
    }
    const DWORD start = GetTickCount();
    ExpiryWindow window(timers, start);
    window.Create(L"fieldcore tictimer", L"", 0, CRect(0, 0, 0, 0), nullptr);
    for (const Timer& timer : timers)
        SetTicTimer(window, timer.id, timer.period);
    pumpFor(start, runMs);
    DestroyTicTimerThread();
    window.DestroyWindow();
    for (const Timer& timer : timers)
        std::cout << "count " << timer.id << ' ' << timer.count << '\n';
    return cli::EXIT_OK;
}

const bool registered = cli::registerCommand(kCommand, "run the tic timer service and print its expiries", &runTicTimer);

} // namespace

// The log writer, the library log, the assertion report, QUICKLOG and the scope chain, each
// test in a device root of its own. The process-wide log is only ever used in child
// processes (EXPECT_EXIT forks), so that every scenario starts with a fresh process state.
#include "deviceRootFixture.h"

#include "files/logFile.h"
#include "platform/sysTime.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The length of the start of `s` that matches `pattern`, in which '#' stands for one digit and
// '%' for one or more digits; npos when it does not match.
std::size_t prefixLength(const std::string& s, const std::string& pattern)
{
    std::size_t i = 0;
    auto digit = [&] { return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); };
    for (char p : pattern) {
        if ((p == '#' || p == '%') && digit()) {
            for (++i; p == '%' && digit();)
                ++i;
        } else if (i < s.size() && s[i] == p) {
            ++i;
        } else {
            return std::string::npos;
        }
    }
    return i;
}

bool matches(const std::string& s, const std::string& pattern) { return prefixLength(s, pattern) == s.size(); }

const std::string kSeconds = "(%.###) - ";  // the seconds prefix

class LogFile : public DeviceRootTest {
protected:
    Lines lines(const std::string& relative) const
    {
        Lines out;
        std::istringstream in(readHost(relative));
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }
    // The lines of a format-14 log (fewer than ten) with the number and seconds checked and
    // taken off: "<level> - text".
    Lines levelsAndTexts(const std::string& relative) const
    {
        Lines out;
        for (const std::string& line : lines(relative)) {
            const std::size_t n = prefixLength(line, "   # - " + kSeconds);
            out.push_back(n == std::string::npos ? "BAD: " + line : line.substr(n));
        }
        return out;
    }
};

// ---- CLogFile ----

TEST_F(LogFile, FormatsAndLevels)
{
    struct Message { const char* text; long level; };
    struct Case { long format, threshold; std::vector<Message> messages; Lines expected; const char* reason; };
    const std::vector<Case> cases = {
        {LOG_FORMAT_NUMBER | LOG_FORMAT_LEVEL, 3, {{"first", 1}, {"too detailed", 4}, {"zero", 0}, {"last", 3}},
         {"   1 - <1> - first", "   2 - <0> - zero", "   3 - <3> - last"}, "filtered messages are not counted"},
        {14, 3, {{"text", 2}}, {"   1 - " + kSeconds + "<2> - text"}, "number, seconds and level"},
        {LOG_FORMAT_INDENT, 9, {{"zero", 0}, {"two", 2}}, {" zero", "      two"}, "one blank at level 0, six at 2"},
        {0, -1, {{"threshold negative", 0}}, {}, "a negative threshold writes nothing"},
    };
    for (const Case& c : cases) {
        CLogFile log;
        ASSERT_EQ(log.Start("\\f.log", LOG_MODE_FILE, c.format, c.threshold), 0) << c.reason;
        for (const Message& m : c.messages)
            log.LogMessage(m.text, m.level);
        EXPECT_EQ(log.Stop(), 0);
        const Lines got = lines("f.log");
        EXPECT_EQ(got.size(), c.expected.size()) << c.reason;
        for (size_t i = 0; i < got.size() && i < c.expected.size(); ++i)
            EXPECT_TRUE(matches(got[i], c.expected[i])) << c.reason << ": " << got[i];
    }
    CLogFile log;
    ASSERT_EQ(log.Start("\\p.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER, 5), 0);
    log.LogMessage(3, "third %d%s", 3, "rd");
    EXPECT_EQ(log.Continue(), 3) << "not paused";
    EXPECT_EQ(log.Pause(), 0);
    EXPECT_EQ(log.GetStatus(), 2);
    log.LogMessage("while paused", 1);
    EXPECT_EQ(log.Continue(), 0);
    log.LogMessage("after", 1);
    log.Stop();
    EXPECT_EQ(lines("p.log"), (Lines{"   1 - third 3rd", "   2 - after"})) << "paused lines are dropped";
}

TEST_F(LogFile, SecondsFollowTheTickClock)
{
    // Started 500 ms before the tick count wraps: the seconds still count from the start.
    auto clock = std::make_shared<ManualTickClock>(0xFFFFFFFFu - 500);
    auto previous = setTickClock(clock);
    CLogFile log;
    ASSERT_EQ(log.Start("\\s.log", LOG_MODE_FILE, LOG_FORMAT_SECONDS, 5), 0);
    log.LogMessage("start", 1);
    clock->advance(1500);
    log.LogMessage("later", 1);
    log.Stop();
    setTickClock(previous);
    EXPECT_EQ(lines("s.log"), (Lines{"(0.000) - start", "(1.500) - later"}));
}

TEST_F(LogFile, StartAndStopResults)
{
    CLogFile log;
    EXPECT_EQ(log.Pause(), 2) << "not running";
    EXPECT_EQ(log.Start("\\x.log", 0, 0, 1), 6) << "mode 0";
    EXPECT_EQ(log.Start("\\x.log", LOG_MODE_DELETE_EMPTY | LOG_MODE_APPEND, 0, 1), 5)
        << "no file output and no debugger copy";
    EXPECT_EQ(log.Start("\\x.log", LOG_MODE_FILE_NONAME, 0, 1), 1) << "no name is formed";
    EXPECT_EQ(log.Start("\\missing\\x.log", LOG_MODE_FILE, 0, 1), 1) << "the folder is missing";
    ASSERT_EQ(log.Start("\\x.log", LOG_MODE_FILE, 0, 1), 0);
    EXPECT_EQ(log.Start("\\y.log", LOG_MODE_FILE, 0, 7), 4) << "already running";
    EXPECT_EQ(log.GetLevel(), 1) << "a refused start changes nothing";
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_EQ(log.Stop(), 2) << "not started";
    EXPECT_FALSE(hostExists("y.log"));

    ASSERT_EQ(log.Start(LOG_MODE_DEBUGGER, LOG_FORMAT_LEVEL, 5), 0) << "no file is needed";
    ::testing::internal::CaptureStderr();
    log.LogMessage("to the debugger \xe9", 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "<2> - to the debugger \xc3\xa9\n")
        << "bytes widen one by one (Latin-1)";
    EXPECT_EQ(log.Stop(), 2) << "a debugger-only log cannot be stopped";
    EXPECT_EQ(log.GetStatus(), 1);
}

TEST_F(LogFile, FileNamesAndModes)
{
    CLogFile log;
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    ASSERT_EQ(log.Start("\\log", LOG_MODE_FILE_TIMED | LOG_MODE_FILE, 0, 1), 0);
    GetLocalTime(&after);
    log.Stop();
    auto nameAt = [](const SYSTEMTIME& t) {
        char name[32];
        std::snprintf(name, sizeof name, "\\log%02d%02d%02d", t.wHour, t.wMinute, t.wSecond);
        return std::string(name);
    };
    const std::string name = log.GetFilename();
    EXPECT_TRUE(name == nameAt(before) || name == nameAt(after)) << name << ": the local time is added";
    EXPECT_TRUE(hostExists(name.substr(1))) << "no extension is added";

    ASSERT_EQ(log.Start("\\empty.log", LOG_MODE_FILE | LOG_MODE_DELETE_EMPTY, 0, 1), 0);
    log.LogMessage("filtered out", 2);
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_FALSE(hostExists("empty.log")) << "empty at start and no message written";
    writeHost("full.log", "old line\n");
    ASSERT_EQ(log.Start("\\full.log", LOG_MODE_FILE | LOG_MODE_DELETE_EMPTY | LOG_MODE_APPEND, 0, 1), 0);
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_EQ(readHost("full.log"), "old line\n") << "a file that was not empty stays";
    ASSERT_EQ(log.Start("\\full.log", LOG_MODE_FILE | LOG_MODE_APPEND | LOG_MODE_DELETE_EMPTY, 0, 1), 0);
    log.LogMessage("appended", 1);
    log.Stop();
    EXPECT_EQ(readHost("full.log"), "old line\nappended\n");
    ASSERT_EQ(log.Start("\\full.log", LOG_MODE_FILE, 0, 1), 0);
    log.Stop();
    EXPECT_EQ(readHost("full.log"), "") << "without append the file is truncated";
}

TEST_F(LogFile, OverlongLinesAreCutToTheBuffer)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\long.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER, 1), 0);
    log.LogMessage(std::string(3000, 'x').c_str(), 1);
    log.LogMessage(1, "%s", std::string(3000, 'y').c_str());
    log.LogMessage("short", 1);
    log.Stop();
    EXPECT_EQ(lines("long.log"), (Lines{"   1 - " + std::string(1022 - 7, 'x'), "   2 - " + std::string(1022 - 7, 'y'),
                                        "   3 - short"}))
        << "1023 bytes with the line feed";
}

TEST_F(LogFile, ThreadsWriteWholeLines)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\threads.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER, 5), 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 500; ++i)
                log.LogMessage(1, "thread %d message %d %s", t, i, std::string(50, static_cast<char>('a' + t)).c_str());
        });
    }
    for (std::thread& th : threads)
        th.join();
    log.Stop();
    const Lines got = lines("threads.log");
    ASSERT_EQ(got.size(), 2000u);
    std::set<std::pair<int, int>> seen;
    for (std::size_t i = 0; i < got.size(); ++i) {
        long number = 0;
        int thread = -1, message = -1, end = 0;
        ASSERT_EQ(std::sscanf(got[i].c_str(), "%4ld - thread %1d message %d %n", &number, &thread, &message, &end), 3);
        EXPECT_EQ(number, static_cast<long>(i + 1)) << "numbers follow the lines";
        EXPECT_EQ(got[i].substr(static_cast<std::size_t>(end)), std::string(50, static_cast<char>('a' + thread))) << got[i];
        seen.insert({thread, message});
    }
    EXPECT_EQ(seen.size(), 2000u);
}

// Every line reported as written before the writer is killed is whole in the file.
TEST_F(LogFile, LinesSurviveAKilledWriter)
{
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        CLogFile log;
        if (log.Start("\\killed.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER, 5) != 0)
            std::_Exit(3);
        for (int i = 1;; ++i) {
            log.LogMessage(2, "line %d %s", i, std::string(100 + i % 300, static_cast<char>('a' + i % 26)).c_str());
            if (::write(pipeFds[1], &i, sizeof i) != static_cast<ssize_t>(sizeof i))
                std::_Exit(4);
        }
    }
    ::close(pipeFds[1]);
    int reported = 0;
    while (reported < 300 && ::read(pipeFds[0], &reported, sizeof reported) == static_cast<ssize_t>(sizeof reported)) {
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int n; ::read(pipeFds[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n);)
        reported = n;
    ::close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was killed";
    ASSERT_GE(reported, 300);
    const Lines got = lines("killed.log");
    ASSERT_GE(got.size(), static_cast<std::size_t>(reported));
    for (int i = 1; i <= reported; ++i) {
        char head[32];
        std::snprintf(head, sizeof head, "%4d - line %d ", i, i);
        const std::string expected = head + std::string(100 + i % 300, static_cast<char>('a' + i % 26));
        ASSERT_EQ(got[static_cast<std::size_t>(i - 1)], expected) << "line " << i;
    }
}

// ---- The library log (in child processes) ----

const char kLibraryLog[] = "Program Files/fieldcore/fieldcore.log";

TEST_F(LogFile, LibraryLogStartsWritesAndFinishes)
{
    EXPECT_EXIT(
        {
            InitLogging();
            LOGMESSAGE("kept", 3);
            LOGMESSAGE("above the default threshold", 4);
            LOGMESSAGE(2, "formatted %d", 42);
            ReportAssertion("vrkmath/mathAlntCache", 123);
            FinishLogging();
            LOGMESSAGE("after finishing", 1);  // finds the log stopped; no restart
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(levelsAndTexts(kLibraryLog),
              (Lines{"<1> - Program started.", "<3> - kept", "<2> - formatted 42",
                     "<2> - *** error in vrkmath/mathAlntCache, line 123", "<1> - Program finished."}));
}

TEST_F(LogFile, LogMessageStartsTheLibraryLogAndDebugIniSetsTheThreshold)
{
    struct Case { const char* debugIni; Lines expected; const char* reason; };
    const std::vector<Case> cases = {
        {nullptr, {"<1> - Program started.", "<1> - level one", "<0> - level zero"},
         "a new file each time: the old log is gone"},
        {"[Options]\r\nErrorLevel=5\r\n", {"<1> - Program started.", "<1> - level one", "<0> - level zero",
                                           "<5> - level five"}, "ErrorLevel sets the threshold"},
        {"[Options]\nOther=1\n", {"<0> - level zero"}, "a debug.ini without ErrorLevel sets the threshold to 0"},
    };
    for (const Case& c : cases) {
        writeHost(kLibraryLog, "an old log\n");
        if (c.debugIni)
            writeHost("debug.ini", c.debugIni);
        EXPECT_EXIT(
            {
                LOGMESSAGE("level one", 1);
                LOGMESSAGE("level zero", 0);
                LOGMESSAGE("level five", 5);
                LOGMESSAGE(6, "level %s", "six");
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(0), "");
        EXPECT_EQ(levelsAndTexts(kLibraryLog), c.expected) << c.reason;
    }
}

TEST_F(LogFile, AFailedStartIsRetriedByEveryMessage)
{
    ASSERT_TRUE(std::filesystem::create_directories(host(kLibraryLog)));  // a folder in the way
    EXPECT_EXIT(
        {
            LOGMESSAGE("lost", 1);
            std::filesystem::remove(host(kLibraryLog));
            LOGMESSAGE("written", 1);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(levelsAndTexts(kLibraryLog), (Lines{"<1> - Program started.", "<1> - written"}));
}

TEST_F(LogFile, ScopeFailuresReportTheirChainOnce)
{
    writeHost("debug.ini", "[Options]\nErrorLevel=5\n");
    EXPECT_EXIT(
        {
            CErrStackItem outer("outer.cpp", "Outer", 10);
            {
                CErrStackItem middle("middle.cpp", "Middle", 20);
                middle.setCurLine(21);
                {
                    CErrStackItem inner("inner.cpp", "Inner", 30);
                    if (!inner.get())
                        std::_Exit(2);
                    inner = true;
                    inner = false;
                    inner.set(false);  // a failed item reports once
                    if (inner.get() || (inner = true))
                        std::_Exit(3);  // a failed scope stays failed
                }
                middle.set(false);  // already marked failed by the call stack
                if (middle.get())
                    std::_Exit(4);
            }
            outer = false;
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(levelsAndTexts(kLibraryLog),
              (Lines{"<1> - Program started.", "<5> - inner.cpp(30): error in Inner", "<0> - \t****Call stack****",
                     "<0> - \tMiddle: middle.cpp(21)", "<0> - \tOuter: outer.cpp(10)", "<0> - \t******************"}))
        << "the innermost scope is not listed; the enclosing ones never report again";
}

TEST_F(LogFile, QuickLogStartsAFreshFile)
{
    writeHost("Program Files/fieldcore/quicklog.txt", "from an earlier run\n");
    EXPECT_EXIT(
        {
            QUICKLOG("value %d", 7);
            QUICKLOG("%s", "second");
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    const Lines got = lines("Program Files/fieldcore/quicklog.txt");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(matches(got[0], kSeconds + "value 7")) << got[0];
    EXPECT_TRUE(matches(got[1], kSeconds + "second")) << got[1];
    EXPECT_FALSE(hostExists(kLibraryLog)) << "QUICKLOG does not start the library log";
}

} // namespace

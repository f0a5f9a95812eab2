// The log writer, the library log, the assertion report, QUICKLOG and the scope chain, each
// test in a device root of its own. The process-wide log is only ever used in child
// processes (EXPECT_EXIT forks), so that every scenario starts with a fresh process state.
#include "deviceRootFixture.h"

#include "files/logFile.h"
#include "platform/fileSystem.h"
#include "platform/sysTime.h"

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

class LogFile : public DeviceRootTest {
protected:
    std::vector<std::string> lines(const std::string& relative) const
    {
        std::vector<std::string> out;
        std::istringstream in(readHost(relative));
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }
};

using Lines = std::vector<std::string>;

// ---- Strict readers of the line prefixes ----

bool take(const std::string& s, std::size_t& pos, const std::string& text)
{
    if (s.compare(pos, text.size(), text) != 0)
        return false;
    pos += text.size();
    return true;
}

// Decimal digits: `exact` of them, or at least one when exact is 0.
bool takeDigits(const std::string& s, std::size_t& pos, std::size_t exact = 0, long* value = nullptr)
{
    const std::size_t start = pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9')
        ++pos;
    const std::size_t count = pos - start;
    if (count == 0 || (exact != 0 && count != exact))
        return false;
    if (value)
        *value = std::stol(s.substr(start, count));
    return true;
}

// "(S.mmm) - ": the seconds prefix.
bool takeSeconds(const std::string& s, std::size_t& pos)
{
    return take(s, pos, "(") && takeDigits(s, pos) && take(s, pos, ".") && takeDigits(s, pos, 3) &&
           take(s, pos, ") - ");
}

// "NNNN - ": the message number, right-aligned.
bool takeNumber(const std::string& s, std::size_t& pos, long* number = nullptr)
{
    while (pos < s.size() && s[pos] == ' ')
        ++pos;
    return takeDigits(s, pos, 0, number) && take(s, pos, " - ");
}

// ---- CLogFile ----

TEST_F(LogFile, LevelsFilterAndNumberMessages)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\levels.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER | LOG_FORMAT_LEVEL, 3), 0);
    EXPECT_EQ(log.GetStatus(), 1);
    EXPECT_STREQ(log.GetFilename(), "\\levels.log");
    log.LogMessage("first", 1);
    log.LogMessage("too detailed", 4);
    log.LogMessage(3, "third %d%s", 3, "rd");
    log.LogMessage("zero", 0);
    log.SetLevel(-1);
    log.LogMessage("threshold negative", 0);
    log.SetLevel(3);
    log.LogMessage("last", 2);
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_EQ(lines("levels.log"), (Lines{"   1 - <1> - first", "   2 - <3> - third 3rd",
                                          "   3 - <0> - zero", "   4 - <2> - last"}))
        << "filtered messages are not counted";
}

TEST_F(LogFile, FormatFourteenHasNumberSecondsAndLevel)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\f14.log", LOG_MODE_FILE, 14, 3), 0);
    log.LogMessage("text", 2);
    log.Stop();
    const Lines got = lines("f14.log");
    ASSERT_EQ(got.size(), 1u);
    std::size_t pos = 0;
    EXPECT_TRUE(take(got[0], pos, "   1 - ") && takeSeconds(got[0], pos) && take(got[0], pos, "<2> - text") &&
                pos == got[0].size())
        << got[0];
}

TEST_F(LogFile, IndentationIsThreeBlanksPerLevel)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\indent.log", LOG_MODE_FILE, LOG_FORMAT_INDENT, 9), 0);
    log.LogMessage("zero", 0);
    log.LogMessage("two", 2);
    log.Stop();
    EXPECT_EQ(lines("indent.log"), (Lines{" zero", "      two"}))
        << "one blank at level 0, six at level 2";
}

TEST_F(LogFile, StartResults)
{
    CLogFile log;
    EXPECT_EQ(log.Start("\\x.log", 0, 0, 1), 6) << "mode 0";
    EXPECT_EQ(log.Start("\\x.log", LOG_MODE_DELETE_EMPTY | LOG_MODE_APPEND, 0, 1), 5)
        << "no file output and no debugger copy";
    EXPECT_EQ(log.Start("\\x.log", LOG_MODE_FILE_NONAME, 0, 1), 1) << "no name is formed";
    EXPECT_EQ(log.Start("\\missing\\x.log", LOG_MODE_FILE, 0, 1), 1) << "the folder is missing";
    EXPECT_EQ(log.GetStatus(), 0);

    ASSERT_EQ(log.Start("\\x.log", LOG_MODE_FILE, 0, 1), 0);
    EXPECT_EQ(log.Start("\\y.log", LOG_MODE_FILE, 0, 7), 4) << "already running";
    EXPECT_EQ(log.GetLevel(), 1) << "a refused start changes nothing";
    EXPECT_EQ(log.Pause(), 0);
    EXPECT_EQ(log.Start("\\y.log", LOG_MODE_FILE, 0, 7), 4) << "already started (paused)";
    EXPECT_EQ(log.Continue(), 0);
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_EQ(log.Stop(), 2) << "not started";
    EXPECT_FALSE(hostExists("y.log"));
}

TEST_F(LogFile, PausedLinesAreDropped)
{
    CLogFile log;
    EXPECT_EQ(log.Pause(), 2) << "not running";
    ASSERT_EQ(log.Start("\\p.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER, 5), 0);
    EXPECT_EQ(log.Continue(), 3) << "not paused";
    log.LogMessage("before", 1);
    EXPECT_EQ(log.Pause(), 0);
    EXPECT_EQ(log.GetStatus(), 2);
    log.LogMessage("while paused", 1);
    EXPECT_EQ(log.Continue(), 0);
    log.LogMessage("after", 1);
    log.Stop();
    EXPECT_EQ(lines("p.log"), (Lines{"   1 - before", "   2 - after"}));
}

TEST_F(LogFile, DebuggerCopyAlone)
{
    CLogFile log;
    ASSERT_EQ(log.Start(LOG_MODE_DEBUGGER, LOG_FORMAT_LEVEL, 5), 0) << "no file is needed";
    ::testing::internal::CaptureStderr();
    log.LogMessage("to the debugger \xe9", 2);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "<2> - to the debugger \xc3\xa9\n") << "bytes widen one by one (Latin-1)";
    EXPECT_EQ(log.Stop(), 2) << "a debugger-only log cannot be stopped";
    EXPECT_EQ(log.GetStatus(), 1);
    EXPECT_EQ(log.Start(LOG_MODE_DEBUGGER, 0, 5), 4);
}

TEST_F(LogFile, TimedNameAddsTheLocalTime)
{
    CLogFile log;
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    ASSERT_EQ(log.Start("\\log", LOG_MODE_FILE_TIMED | LOG_MODE_FILE, 0, 1), 0);
    GetLocalTime(&after);
    log.LogMessage("x", 1);
    log.Stop();
    auto nameAt = [](const SYSTEMTIME& t) {
        char name[32];
        std::snprintf(name, sizeof name, "\\log%02d%02d%02d", t.wHour, t.wMinute, t.wSecond);
        return std::string(name);
    };
    const std::string name = log.GetFilename();
    EXPECT_TRUE(name == nameAt(before) || name == nameAt(after)) << name;
    EXPECT_TRUE(hostExists(name.substr(1))) << "no extension is added";
}

TEST_F(LogFile, EmptyLogsCanBeDeletedOnStop)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\empty.log", LOG_MODE_FILE | LOG_MODE_DELETE_EMPTY, 0, 1), 0);
    log.LogMessage("filtered out", 2);
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_FALSE(hostExists("empty.log")) << "empty at start and no message written";

    writeHost("full.log", "old line\n");
    ASSERT_EQ(log.Start("\\full.log", LOG_MODE_FILE | LOG_MODE_DELETE_EMPTY | LOG_MODE_APPEND, 0, 1), 0);
    EXPECT_EQ(log.Stop(), 0);
    EXPECT_EQ(readHost("full.log"), "old line\n") << "a file that was not empty stays";

    ASSERT_EQ(log.Start("\\used.log", LOG_MODE_FILE | LOG_MODE_DELETE_EMPTY, 0, 1), 0);
    log.LogMessage("kept", 1);
    log.Stop();
    EXPECT_EQ(readHost("used.log"), "kept\n");
}

TEST_F(LogFile, AppendOrTruncate)
{
    writeHost("a.log", "earlier\n");
    CLogFile log;
    ASSERT_EQ(log.Start("\\a.log", LOG_MODE_FILE | LOG_MODE_APPEND, 0, 1), 0);
    log.LogMessage("appended", 1);
    log.Stop();
    EXPECT_EQ(readHost("a.log"), "earlier\nappended\n");
    ASSERT_EQ(log.Start("\\a.log", LOG_MODE_FILE, 0, 1), 0);
    log.Stop();
    EXPECT_EQ(readHost("a.log"), "") << "without append the file is truncated";
}

TEST_F(LogFile, OverlongLinesAreCutToTheBuffer)
{
    CLogFile log;
    ASSERT_EQ(log.Start("\\long.log", LOG_MODE_FILE, LOG_FORMAT_NUMBER, 1), 0);
    log.LogMessage(std::string(3000, 'x').c_str(), 1);
    log.LogMessage(1, "%s", std::string(3000, 'y').c_str());
    log.LogMessage("short", 1);
    log.Stop();
    const Lines got = lines("long.log");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "   1 - " + std::string(1022 - 7, 'x')) << "1023 bytes with the line feed";
    EXPECT_EQ(got[1].size(), 1022u);
    EXPECT_EQ(got[2], "   3 - short");
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
    std::set<std::pair<long, long>> seen;
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::string& line = got[i];
        std::size_t pos = 0;
        long number = 0, thread = 0, message = 0;
        ASSERT_TRUE(takeNumber(line, pos, &number) && take(line, pos, "thread ") &&
                    takeDigits(line, pos, 1, &thread) && take(line, pos, " message ") &&
                    takeDigits(line, pos, 0, &message) && take(line, pos, " "))
            << line;
        EXPECT_EQ(number, static_cast<long>(i + 1)) << "numbers follow the lines";
        EXPECT_EQ(line.substr(pos), std::string(50, static_cast<char>('a' + thread))) << line;
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

// Strips the number and seconds of a format-14 line: "<level> - text".
Lines levelsAndTexts(const Lines& raw)
{
    Lines out;
    for (const std::string& line : raw) {
        std::size_t pos = 0;
        out.push_back(takeNumber(line, pos) && takeSeconds(line, pos) ? line.substr(pos) : "BAD: " + line);
    }
    return out;
}

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
    EXPECT_EQ(levelsAndTexts(lines(kLibraryLog)),
              (Lines{"<1> - Program started.", "<3> - kept", "<2> - formatted 42",
                     "<2> - *** error in vrkmath/mathAlntCache, line 123", "<1> - Program finished."}));
}

TEST_F(LogFile, LogMessageStartsTheLibraryLog)
{
    writeHost(kLibraryLog, "an old log\n");
    EXPECT_EXIT(
        {
            LOGMESSAGE("first call", 1);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(levelsAndTexts(lines(kLibraryLog)), (Lines{"<1> - Program started.", "<1> - first call"}))
        << "a new file each time: the old log is gone";
}

TEST_F(LogFile, DebugIniSetsTheThreshold)
{
    writeHost("debug.ini", "[Options]\r\nErrorLevel=5\r\n");
    EXPECT_EXIT(
        {
            LOGMESSAGE("detail", 5);
            LOGMESSAGE("too much detail", 6);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(levelsAndTexts(lines(kLibraryLog)), (Lines{"<1> - Program started.", "<5> - detail"}));

    writeHost("debug.ini", "[Options]\nOther=1\n");
    EXPECT_EXIT(
        {
            LOGMESSAGE("level one", 1);
            LOGMESSAGE("level zero", 0);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(levelsAndTexts(lines(kLibraryLog)), (Lines{"<0> - level zero"}))
        << "a debug.ini without ErrorLevel sets the threshold to 0";
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
    EXPECT_EQ(levelsAndTexts(lines(kLibraryLog)), (Lines{"<1> - Program started.", "<1> - written"}));
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
    EXPECT_EQ(levelsAndTexts(lines(kLibraryLog)),
              (Lines{"<1> - Program started.", "<5> - inner.cpp(30): error in Inner",
                     "<0> - \t****Call stack****", "<0> - \tMiddle: middle.cpp(21)",
                     "<0> - \tOuter: outer.cpp(10)", "<0> - \t******************"}))
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
    std::size_t pos = 0;
    EXPECT_TRUE(takeSeconds(got[0], pos) && got[0].substr(pos) == "value 7") << got[0];
    pos = 0;
    EXPECT_TRUE(takeSeconds(got[1], pos) && got[1].substr(pos) == "second") << got[1];
    EXPECT_FALSE(hostExists(kLibraryLog)) << "QUICKLOG does not start the library log";
}

} // namespace

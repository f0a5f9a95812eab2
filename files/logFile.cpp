#include "files/logFile.h"

#include "files/appFolders.h"
#include "files/fileFuncs.h"
#include "files/iniFile.h"
#include "platform/deviceRoot.h"
#include "platform/process.h"
#include "platform/sysTime.h"
#include "platform/textCodec.h"

#include <atomic>
#include <cstdarg>
#include <cstring>

namespace {

const long kModeFileBits = LOG_MODE_FILE | LOG_MODE_FILE_NONAME | LOG_MODE_FILE_TIMED;

// Appends `text` to the zero-terminated `line` of `capacity` bytes, keeping room for the line
// feed and the zero.
void appendBounded(char* line, std::size_t& length, std::size_t capacity, const char* text)
{
    while (*text && length + 2 < capacity)
        line[length++] = *text++;
    line[length] = '\0';
}

void copyName(char* target, std::size_t capacity, const char* name)
{
    std::snprintf(target, capacity, "%s", name ? name : "");
}

const char* orEmpty(const char* text) { return text ? text : ""; }

} // namespace

// ---- CLogFile ----

CLogFile::CLogFile()
{
    InitializeCriticalSection(&m_lock);
}

CLogFile::~CLogFile()
{
    Stop();
    DeleteCriticalSection(&m_lock);
}

long CLogFile::Start(long mode, long format, long level)
{
    return Start("", mode, format, level);
}

long CLogFile::Start(const char* name, long mode, long format, long level)
{
    CCriticalSectionLock lock(m_lock);
    if (m_status != 0)
        return 4;
    m_format = format;
    m_level = level;
    m_mode = mode;
    m_messageNumber = 0;
    if (mode == 0)
        return 6;
    m_fileOutput = (mode & kModeFileBits) != 0;
    m_startTick = GetTickCount();

    char fileName[sizeof m_fileName] = {};
    if (mode & LOG_MODE_FILE_NONAME) {
        // no name is formed
    } else if (mode & LOG_MODE_FILE_TIMED) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        std::snprintf(fileName, sizeof fileName, "%s%02d%02d%02d", orEmpty(name), now.wHour,
                      now.wMinute, now.wSecond);
    } else if (mode & LOG_MODE_FILE) {
        copyName(fileName, sizeof fileName, name);
    }

    if (!m_fileOutput) {
        if (mode & LOG_MODE_DEBUGGER) {
            m_status = 1;
            return 0;
        }
        return 5;
    }
    m_stream = fileName[0] ? deviceFopen(fileName, (mode & LOG_MODE_APPEND) ? "a" : "w") : nullptr;
    if (!m_stream)
        return 1;
    copyName(m_fileName, sizeof m_fileName, fileName);
    m_status = 1;
    std::fseek(m_stream, 0, SEEK_END);
    m_wasEmpty = std::ftell(m_stream) == 0;
    return 0;
}

long CLogFile::writeLine(const char* text, long level)
{
    if (m_status != 1)
        return 0;
    if (m_level < 0 || level > m_level)
        return 0;
    ++m_messageNumber;

    std::size_t length = 0;
    m_line[0] = '\0';
    if (m_format & LOG_FORMAT_NUMBER) {
        std::snprintf(m_prefix, sizeof m_prefix, "%4ld - ", m_messageNumber);
        appendBounded(m_line, length, sizeof m_line, m_prefix);
    }
    if (m_format & LOG_FORMAT_SECONDS) {
        const DWORD elapsed = GetTickCount() - static_cast<DWORD>(m_startTick);
        std::snprintf(m_prefix, sizeof m_prefix, "(%.3lf) - ", elapsed * 0.001);
        appendBounded(m_line, length, sizeof m_line, m_prefix);
    }
    if (m_format & LOG_FORMAT_LEVEL) {
        std::snprintf(m_prefix, sizeof m_prefix, "<%ld> - ", level);
        appendBounded(m_line, length, sizeof m_line, m_prefix);
    }
    if (m_format & LOG_FORMAT_INDENT) {
        // Three blanks per level; a width beyond the buffer is cut anyway.
        const long bounded = level > kBufferSize ? kBufferSize : (level < -kBufferSize ? -kBufferSize : level);
        std::snprintf(m_prefix, sizeof m_prefix, "%*s", static_cast<int>(bounded * 3), " ");
        appendBounded(m_line, length, sizeof m_line, m_prefix);
    }
    appendBounded(m_line, length, sizeof m_line, orEmpty(text));
    m_line[length++] = '\n';
    m_line[length] = '\0';

    if (m_fileOutput && m_stream) {
        std::fwrite(m_line, 1, length, m_stream);
        std::fflush(m_stream);
    }
    if (m_mode & LOG_MODE_DEBUGGER) {
        std::size_t i = 0;
        for (; i < length && i + 1 < static_cast<std::size_t>(kBufferSize); ++i)
            m_debugLine[i] = static_cast<wchar_t>(static_cast<unsigned char>(m_line[i]));
        m_debugLine[i] = L'\0';
        OutputDebugStringW(m_debugLine);
    }
    return 0;
}

long CLogFile::LogMessage(const char* text, long level)
{
    CCriticalSectionLock lock(m_lock);
    return writeLine(text, level);
}

long CLogFile::LogMessage(long level, const char* format, ...)
{
    CCriticalSectionLock lock(m_lock);
    va_list args;
    va_start(args, format);
    std::vsnprintf(m_message, sizeof m_message, orEmpty(format), args);
    va_end(args);
    return writeLine(m_message, level);
}

long CLogFile::Stop()
{
    CCriticalSectionLock lock(m_lock);
    if (!m_fileOutput || m_status == 0 || !m_stream)
        return 2;
    std::fclose(m_stream);
    m_stream = nullptr;
    if ((m_mode & LOG_MODE_DELETE_EMPTY) && m_wasEmpty && m_messageNumber == 0)
        deviceRemove(m_fileName);
    m_status = 0;
    return 0;
}

long CLogFile::Pause()
{
    if (m_status != 1)
        return 2;
    m_status = 2;
    return 0;
}

long CLogFile::Continue()
{
    if (m_status != 2)
        return 3;
    m_status = 1;
    return 0;
}

// ---- The library log ----

namespace {

// The process's one library log, made on first use and stopped when the program ends. After
// its destruction (static objects at exit) LOGMESSAGE writes nothing.
std::atomic<bool> libraryLogGone{false};

struct LibraryLog {
    CLogFile log;
    std::atomic<bool> started{false};
    ~LibraryLog() { libraryLogGone = true; }
};

LibraryLog& libraryLog()
{
    static LibraryLog instance;
    return instance;
}

// The 8-bit form of a device path: the low byte of each character.
void narrowLowBytes(const CString& text, char* out, std::size_t capacity)
{
    std::size_t i = 0;
    for (; i + 1 < capacity && i < static_cast<std::size_t>(text.GetLength()); ++i)
        out[i] = static_cast<char>(text[static_cast<int>(i)] & 0xFF);
    out[i] = '\0';
}

} // namespace

void InitLogging()
{
    if (libraryLogGone)
        return;
    LibraryLog& library = libraryLog();
    const CString application = GetApplicationPath();
    const CString name = application.IsEmpty()
                             ? AppStrPaths::GetLogFilePath() + L"\\vrk.log"
                             : FileFuncs::ExtractPathNameWithoutExtFromPathName(application) + L".log";
    char fileName[261];
    narrowLowBytes(name, fileName, sizeof fileName);

    const long result = library.log.Start(fileName, LOG_MODE_FILE,
                                          LOG_FORMAT_NUMBER | LOG_FORMAT_SECONDS | LOG_FORMAT_LEVEL, 3);
    CINIFile debugSettings;
    if (debugSettings.LoadIni(L"debug.ini"))
        library.log.SetLevel(debugSettings.GetIntValue("Options", "ErrorLevel", 0));
    if (result == 0) {
        library.started = true;
        library.log.LogMessage("Program started.", 1);
    }
}

void FinishLogging()
{
    if (libraryLogGone)
        return;
    LibraryLog& library = libraryLog();
    if (!library.started)
        return;
    library.log.LogMessage("Program finished.", 1);
    library.log.Stop();
}

long LOGMESSAGE(const char* text, long level)
{
    if (libraryLogGone)
        return 0;
    if (!libraryLog().started)
        InitLogging();
    return libraryLog().log.LogMessage(text, level);
}

long LOGMESSAGE(long level, const char* format, ...)
{
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, orEmpty(format), args);
    va_end(args);
    return LOGMESSAGE(message, level);
}

void ReportAssertion(const char* source, int line)
{
    LOGMESSAGE(2, "*** error in %s, line %d", orEmpty(source), line);
}

// ---- QUICKLOG ----

void QUICKLOG(const char* format, ...)
{
    static bool first = true;
    static char fileName[261];
    static DWORD startTick;
    if (first) {
        first = false;
        const CString name = AppStrPaths::GetLogFilePath() + L"\\quicklog.txt";
        copyName(fileName, sizeof fileName, WideToAnsi(name.str()).c_str());
        deviceRemove(fileName);
        startTick = GetTickCount();
    }
    std::FILE* file = deviceFopen(fileName, "a");
    if (!file)
        return;
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, orEmpty(format), args);
    va_end(args);
    std::fprintf(file, "(%.3lf) - %s\n", (GetTickCount() - startTick) * 0.001, message);
    std::fclose(file);
}

// ---- CErrStackItem ----

namespace {
CErrStackItem* innermostItem = nullptr;
}

CErrStackItem::CErrStackItem(const char* file, const char* function, int line)
    : m_file(file), m_function(function), m_line(line), m_enclosing(innermostItem)
{
    innermostItem = this;
}

CErrStackItem::~CErrStackItem()
{
    innermostItem = m_enclosing;
}

void CErrStackItem::set(bool ok)
{
    if (!m_ok)
        return;
    m_ok = ok;
    if (ok)
        return;
    LOGMESSAGE(5, "%s(%d): error in %s", orEmpty(m_file), m_line, orEmpty(m_function));
    if (!innermostItem || !innermostItem->m_enclosing)
        return;
    LOGMESSAGE("\t****Call stack****", 0);
    for (CErrStackItem* item = innermostItem->m_enclosing; item; item = item->m_enclosing) {
        item->m_ok = false;
        LOGMESSAGE(0, "\t%s: %s(%d)", orEmpty(item->m_function), orEmpty(item->m_file), item->m_line);
    }
    LOGMESSAGE("\t******************", 0);
}

// The diagnostic log: the log writer CLogFile, the process-wide library log (InitLogging,
// FinishLogging, LOGMESSAGE), the assertion report, the quick trace QUICKLOG and the scope
// chain CErrStackItem.
//
// Log files are 8-bit text with a line feed at the end of each line; every line is flushed to
// the file at once, so that the log survives a crash. File names are 8-bit device paths
// (platform/deviceRoot.h).
#pragma once

#include "platform/sync.h"

#include <cstdio>

// Start modes (bit flags, the second argument of Start).
enum : long {
    LOG_MODE_FILE = 1,           // file output under the given name
    LOG_MODE_FILE_NONAME = 2,    // file output with no name formed: Start fails with 1
    LOG_MODE_FILE_TIMED = 4,     // file output under the name followed by the local "HHmmss"
    LOG_MODE_DELETE_EMPTY = 8,   // Stop deletes a file that was empty at Start and got no line
    LOG_MODE_APPEND = 16,        // open for appending ("a") instead of truncating ("w")
    LOG_MODE_DEBUGGER = 64,      // copy every line to the debugger output
};

// Line prefixes (bit flags, the third argument of Start), written in this order.
enum : long {
    LOG_FORMAT_NUMBER = 8,       // "%4ld - " the message number (1 for the first)
    LOG_FORMAT_SECONDS = 2,      // "(%.3lf) - " seconds since Start
    LOG_FORMAT_LEVEL = 4,        // "<%ld> - " the message's level
    LOG_FORMAT_INDENT = 256,     // three blanks per level, one blank at level 0
};

class CLogFile {
public:
    CLogFile();
    ~CLogFile();  // Stop, then the lock is released
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Starts the log. Results: 0 done; 1 the file cannot be opened; 4 already started (running
    // or paused; nothing changes); 5 the mode asks for no file and no debugger copy; 6 mode 0.
    // `name` is an 8-bit device path (at most 259 characters are kept).
    long Start(const char* name, long mode, long format, long level);
    // Start with an empty name (for mode LOG_MODE_DEBUGGER alone).
    long Start(long mode, long format, long level);

    // Writes one line when the log is running, the threshold is not negative and `level` is
    // not above it; otherwise nothing happens and the message number stays. Returns 0. A line
    // longer than the 1024-byte line buffer (prefixes, text and line feed) is cut to fit it,
    // the line feed kept.
    long LogMessage(const char* text, long level);
    // As above with a printf-style message (formatted into 1024 bytes, longer text cut).
    long LogMessage(long level, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;

    // 0 done; 2 no file output, not started or no open stream. A log with the debugger copy
    // only cannot be stopped (Stop returns 2 and it stays running).
    long Stop();
    long Pause();     // running -> paused: 0; else 2
    long Continue();  // paused -> running: 0; else 3

    void SetLevel(long level) { m_level = level; }
    long GetLevel() const { return m_level; }
    long GetMode() const { return m_mode; }
    long GetStatus() const { return m_status; }  // 0 stopped, 1 running, 2 paused
    const char* GetFilename() const { return m_fileName; }

private:
    long writeLine(const char* text, long level);

    static const int kBufferSize = 1024;

    std::FILE* m_stream = nullptr;
    long m_format = 0;
    long m_level = 0;
    long m_status = 0;
    long m_mode = 0;
    long m_messageNumber = 0;
    unsigned long m_startTick = 0;
    char m_fileName[260] = {};
    bool m_wasEmpty = false;
    bool m_fileOutput = false;
    char m_line[kBufferSize] = {};
    char m_message[kBufferSize] = {};
    char m_prefix[kBufferSize] = {};
    wchar_t m_debugLine[kBufferSize] = {};
    CRITICAL_SECTION m_lock;
};

// Starts the library log: the file is the application path with ".log" in place of its
// extension ("\Program Files\fieldcore\fieldcore.log"), truncated, with message numbers,
// seconds and levels (format 14) and threshold 3; "debug.ini" at the top of the device sets
// the threshold from its [Options] ErrorLevel (0 when the key is missing). On success writes
// "Program started." at level 1.
void InitLogging();
// Writes "Program finished." at level 1 and stops the library log, when it was started.
// Later LOGMESSAGE calls write nothing and do not start it again.
void FinishLogging();

// Write to the library log, starting it first (InitLogging) while no start has succeeded.
long LOGMESSAGE(const char* text, long level);
long LOGMESSAGE(long level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The assertion report of an internal inconsistency: "*** error in SOURCE, line LINE" at
// level 2 in the library log. `source` names the module ("vrkmath/mathAlntCache"), `line`
// its fixed line number. The caller carries on.
void ReportAssertion(const char* source, int line);

// The quick trace: appends "(SECONDS) - MESSAGE" to "quicklog.txt" in the log folder
// (deleted at the first call of the process; seconds since that call), opening and closing
// the file for each message. Independent of the library log.
void QUICKLOG(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A named scope in the process-wide chain of scopes (one thread only; items are made and
// destroyed in strict nesting order, normally as local objects). When a scope fails, the
// failure is logged at level 5 with the chain of scopes that enclose it at level 0.
class CErrStackItem {
public:
    CErrStackItem(const char* file, const char* function, int line);
    ~CErrStackItem();
    CErrStackItem(const CErrStackItem&) = delete;
    CErrStackItem& operator=(const CErrStackItem&) = delete;

    void setCurLine(int line) { m_line = line; }
    bool get() const { return m_ok; }
    operator bool() const { return m_ok; }
    // A failure (ok false) of a scope that has not failed yet: logs "FILE(LINE): error in
    // FUNCTION" at level 5, then the enclosing scopes from the inner to the outer, each
    // marked failed so that it does not report again. A failed scope stays failed.
    void set(bool ok);
    bool operator=(bool ok)
    {
        set(ok);
        return m_ok;
    }

private:
    const char* m_file;
    const char* m_function;
    int m_line;
    CErrStackItem* m_enclosing;
    bool m_ok = true;
};

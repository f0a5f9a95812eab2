// The wait cursor of the window model: the hourglass shown while the library does a long job
// on the caller's thread (loading a list from a file, for example).
//
// The platform has one cursor for the whole screen, so this is process-wide state. Here no
// cursor is drawn: the model records what the screen would show. BeginWaitCursor shows the
// wait cursor and EndWaitCursor restores the previous one; the calls nest, and the wait
// cursor is shown while more Begin than End calls have been made. Every library function that
// shows it restores it before returning, on every path; CWaitCursor does that for a scope.
// An EndWaitCursor without a matching Begin is a programming error: it is counted as
// unmatched, reported through PlatformUsageError (platform/winTypes.h) and changes nothing.
// All functions may be called from any thread.
#pragma once

// What the model has recorded since the process started (or the last reset).
struct WaitCursorRecord {
    int depth = 0;            // Begin calls not yet ended: the wait cursor shows while > 0
    long begins = 0;          // BeginWaitCursor calls
    long ends = 0;            // EndWaitCursor calls that ended a Begin
    long unmatchedEnds = 0;   // EndWaitCursor calls with nothing to end
};

void BeginWaitCursor();
void EndWaitCursor();
// Whether the wait cursor shows now.
bool IsWaitCursorShown();
WaitCursorRecord GetWaitCursorRecord();
// Clears the counts and hides the cursor (for tests that start from a known state).
void ResetWaitCursorRecord();

// Shows the wait cursor while the object lives.
class CWaitCursor {
public:
    CWaitCursor() { BeginWaitCursor(); }
    ~CWaitCursor() { EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

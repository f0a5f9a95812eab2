// Files replaced whole and files with one writer at a time, over device paths
// (platform/deviceRoot.h).
//
// ReplaceFileBytes gives a file new contents so that a reader, or the file after a power cut
// or a killed process, holds either the old or the new contents, never a mix: the new
// contents go into a new file created exclusively beside the old one (a random name beginning
// with ".fieldcore-new-", which no device listing shows, created without following links),
// which gets the old file's permissions, is synced, and is renamed over the old file; the
// folder is synced last. A file reached through a symbolic link is replaced at the link's
// target (the link stays a link). Every failure removes the new file and leaves the old one.
//
// CFileLock is the advisory lock (flock) of one file for a whole read-modify-write: every
// writer of the library that locks a file waits for the one before it. The lock holds across
// a ReplaceFileBytes of the same file by the lock's holder (which replaces the file the lock
// was taken on: a writer that waited for it finds the new file and locks that). Because only
// the lock's holder writes, it also removes what earlier writers that were killed left
// behind (their new files that were never renamed).
#pragma once

#include <string>

class CFileLock {
public:
    CFileLock() = default;
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    ~CFileLock() { Unlock(); }

    // Locks the file at a device path, waiting for the writer that holds it. A missing file
    // is created empty for the lock (Created() tells). False when the file cannot be opened
    // or created (a folder, a missing folder, no permission, a link out of the device root).
    bool Lock(const wchar_t* devicePath);
    // Releases the lock; a file that Lock created and that is still empty is removed again.
    void Unlock();
    bool Created() const { return m_created; }

private:
    int m_fd = -1;
    bool m_created = false;
    std::string m_hostPath;
};

// Replaces the contents of the file at a device path as described above; a missing file is
// created (permissions as for any new file). Temporary files of killed writers of the same
// file are removed first: call it while holding the file's CFileLock (SaveIni does).
// False, with the file unchanged, when anything fails.
bool ReplaceFileBytes(const wchar_t* devicePath, const std::string& bytes);

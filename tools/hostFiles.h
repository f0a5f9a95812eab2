// Files named on the command line are host paths. The library names files by device paths
// under its device root; the tool makes the host's "/" the device root so that an absolute
// host path is also the device path of the same file.
#pragma once

#include "platform/CString.h"

#include <string>

namespace cli {

// The device path that reaches the host file `hostPath` (relative paths are taken from the
// current folder). Makes "/" the device root for the rest of the process.
CString hostFileAsDevicePath(const std::string& hostPath);

// Reads a whole host file, or stdin for "-". False when it cannot be read (a directory, a
// missing or unreadable file), with the reason in `why` when given.
bool readWholeFile(const std::string& hostPath, std::string& bytes, std::string* why = nullptr);

// Why the host path cannot be read as a file ("is a directory", "no such file", "permission
// denied", ...); empty when it can. "-" (stdin) can.
std::string whyUnreadable(const std::string& hostPath);

// Whether the host path is a folder (one that exists).
bool isHostFolder(const std::string& hostPath);

// "cannot read 'PATH': WHY", for messages.
std::string cannotRead(const std::string& hostPath, const std::string& why);

// Makes the folders above the host path `hostPath` that are missing (as the device does when it
// writes a file); false with the reason when one cannot be made.
bool makeParentFolders(const std::string& hostPath, std::string& why);

// Writes `bytes` as the whole host file `hostPath`: a regular file (or a new one) is replaced
// whole (ReplaceFileBytes under its CFileLock), so that a killed or failed write leaves the old
// file, never a part; a device or pipe ("/dev/null") is written to directly. False with the
// reason ("is a directory", ...) when it cannot be written.
bool writeWholeFile(const std::string& hostPath, const std::string& bytes, std::string& why);

} // namespace cli

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

// Reads a whole host file, or stdin for "-". False when it cannot be read.
bool readWholeFile(const std::string& hostPath, std::string& bytes);

} // namespace cli

#include "hostFiles.h"

#include "platform/deviceRoot.h"
#include "platform/textCodec.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace cli {

CString hostFileAsDevicePath(const std::string& hostPath)
{
    setDeviceRoot("/");
    std::string absolute = hostPath;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) != nullptr)
            absolute = std::string(cwd) + "/" + hostPath;
    }
    return CString(Utf8ToWide(absolute).c_str());
}

bool readWholeFile(const std::string& hostPath, std::string& bytes)
{
    if (hostPath == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        bytes = all.str();
        return !std::cin.bad();
    }
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace cli

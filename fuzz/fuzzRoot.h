// A device root of the fuzzer's own, made once per process (a fresh folder under
// $FIELDCORE_TEST_TMP or /tmp, removed at exit), and the writing of one of its files.
#pragma once

#include "platform/deviceRoot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

inline const std::string& root()
{
    static const std::string folder = [] {
        const char* base = std::getenv("FIELDCORE_TEST_TMP");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/fuzz-root-XXXXXX";
        if (!::mkdtemp(&pattern[0]))
            std::abort();
        setDeviceRoot(pattern);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(getDeviceRoot(), ignored);
        });
        return pattern;
    }();
    return folder;
}

// Writes the bytes as the host file NAME at the top of the root.
inline void writeFile(const std::string& name, const std::string& bytes)
{
    std::FILE* f = std::fopen((root() + "/" + name).c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline std::string readFile(const std::string& name)
{
    std::string bytes;
    std::FILE* f = std::fopen((root() + "/" + name).c_str(), "rb");
    if (!f)
        return bytes;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

} // namespace fuzz

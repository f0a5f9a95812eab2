// A test fixture for tests that read the library log (files/logFile.h). That log is process-wide
// and starts once per process, so the logging work runs in a child process started afresh (a
// "threadsafe" death test: the test program run again up to the call, so no log that an earlier
// test of this process started is inherited, and no thread of this one is lost to a fork). The
// child works in the calling test's device root, finishes the log and exits; the test then
// reads the log file there.
#pragma once

#include "deviceRootFixture.h"

#include "files/logFile.h"

#include <cstdlib>
#include <filesystem>
#include <string>

class LibraryLogTest : public DeviceRootTest {
protected:
    // The library log's file, relative to the device root.
    static constexpr const char* kLibraryLogFile = "Program Files/fieldcore/fieldcore.log";

    // Runs `work` (returning whether it went as the test expects) in the child; the text of the
    // library log it wrote ("" when it logged nothing), and a test failure when `work` returned
    // false or the child crashed.
    template <class Work>
    std::string libraryLogOf(Work work)
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // The child runs the test from its start again, with a device root of its own: the
        // variable hands it the parent's. It is set only while a child runs, so a child (which
        // inherits it) finds it set and leaves it, also at a second call in the same test.
        const bool inChild = std::getenv(kRootVariable) != nullptr;
        if (!inChild) {
            ::setenv(kRootVariable, m_root.c_str(), 1);
            std::error_code ignored;
            std::filesystem::remove(host(kLibraryLogFile), ignored);   // only this child's lines
        }
        EXPECT_EXIT(
            {
                const std::string parentRoot = std::getenv(kRootVariable);
                setDeviceRoot(parentRoot);
                const bool done = work();
                FinishLogging();
                std::error_code ignored;
                if (m_root != parentRoot)
                    std::filesystem::remove_all(m_root, ignored);   // the child's own, unused root
                std::_Exit(done ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
        if (!inChild)
            ::unsetenv(kRootVariable);
        return readHost(kLibraryLogFile);
    }

private:
    static constexpr const char* kRootVariable = "FIELDCORE_LIBRARY_LOG_TEST_ROOT";
};

// A test fixture that gives every test a device root of its own: a fresh folder under
// $FIELDCORE_TEST_TMP (or /tmp), removed after the test. Device paths of the test map there.
#pragma once

#include "platform/deviceRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class DeviceRootTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("FIELDCORE_TEST_TMP");
        const std::string folder = base && *base ? base : "/tmp";
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        std::string pattern = folder + "/device-root-XXXXXX";
        ASSERT_NE(::mkdtemp(&pattern[0]), nullptr) << "cannot make a folder in " << folder;
        m_root = pattern;
        setDeviceRoot(m_root);
    }
    void TearDown() override
    {
        setDeviceRoot("");
        std::error_code ignored;
        if (!m_root.empty())
            std::filesystem::remove_all(m_root, ignored);
    }

    // Host path of a name relative to the root ("a/b.txt").
    std::string host(const std::string& relative) const { return m_root + "/" + relative; }
    std::string readHost(const std::string& relative) const
    {
        std::ifstream in(host(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void writeHost(const std::string& relative, const std::string& bytes) const
    {
        const std::filesystem::path p(host(relative));
        std::error_code ignored;
        std::filesystem::create_directories(p.parent_path(), ignored);
        std::ofstream(p, std::ios::binary) << bytes;
    }
    bool hostExists(const std::string& relative) const
    {
        return std::filesystem::exists(host(relative));
    }

    std::string m_root;
};

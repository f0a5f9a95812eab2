// The radio through the vendor library: the test radio library (tests/radio/testRadio.cpp)
// copied into each test's device root as "\Windows\MavikLib.dll".
#include "deviceRootFixture.h"

#include "devices/ssRadioPower.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <string>

namespace {

class SSRadioPowerTest : public DeviceRootTest {
protected:
    std::string libraryPath() const { return host("Windows/MavikLib.dll"); }
    void install(const char* built)
    {
        std::filesystem::create_directories(host("Windows"));
        std::filesystem::copy_file(built, libraryPath());
    }
    // The calls the library has logged since the last look, and a fresh log.
    static std::string calls(const CSSRadioPower& radio)
    {
        typedef const char* (*LogFn)();
        typedef void (*ClearFn)();
        LogFn log = reinterpret_cast<LogFn>(GetProcAddress(radio.GetModule(), "TestRadio_Log"));
        ClearFn clear = reinterpret_cast<ClearFn>(GetProcAddress(radio.GetModule(), "TestRadio_ClearLog"));
        if (!log || !clear)
            return "<no log>";
        const std::string text = log();
        clear();
        return text;
    }
    bool stillLoaded() const
    {
        void* handle = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (handle)
            ::dlclose(handle);
        return handle != nullptr;
    }
};

TEST_F(SSRadioPowerTest, TurnOnMakesFourCallsInOrder)
{
    install(TEST_RADIO_LIBRARY);
    {
        CSSRadioPower radio;
        ASSERT_NE(radio.GetModule(), nullptr);
        calls(radio);
        radio.TurnOn();
        EXPECT_EQ(calls(radio), "Mavik_SetSSPowerState(1)\nMavik_SetSSPower_ON(1)\nMavik_SetSSStandby(0)\nMavik_SetSSInit(1)\n");
        EXPECT_EQ(radio.IsOn(), 1);
        EXPECT_EQ(calls(radio), "Mavik_GetSSPower_ON()\n");
        radio.TurnOff();
        EXPECT_EQ(calls(radio), "Mavik_SetSSPowerState(0)\n");
        EXPECT_EQ(radio.IsOn(), 0);
    }
    EXPECT_FALSE(stillLoaded());
}

// No library file, then a file that is no library: nothing happens.
TEST_F(SSRadioPowerTest, WithoutALibraryNothingHappens)
{
    for (bool file : {false, true}) {
        if (file)
            writeHost("Windows/MavikLib.dll", "MZ not an ELF object");
        CSSRadioPower radio;
        EXPECT_EQ(radio.GetModule(), nullptr) << file;
        radio.TurnOn();
        EXPECT_EQ(radio.IsOn(), 0) << file;
        radio.TurnOff();
        CSSRadioPower copy(radio);
        copy = radio;
        EXPECT_EQ(copy.IsOn(), 0) << file;
    }
}

TEST_F(SSRadioPowerTest, WithoutTheStandbyExportTheOtherCallsStillRun)
{
    install(TEST_RADIO_NO_STANDBY_LIBRARY);
    {
        CSSRadioPower radio;
        ASSERT_NE(radio.GetModule(), nullptr);
        EXPECT_EQ(GetProcAddress(radio.GetModule(), "Mavik_SetSSStandby"), nullptr);
        calls(radio);
        radio.TurnOn();
        EXPECT_EQ(calls(radio), "Mavik_SetSSPowerState(1)\nMavik_SetSSPower_ON(1)\nMavik_SetSSInit(1)\n");
        EXPECT_EQ(radio.IsOn(), 1);
    }
    EXPECT_FALSE(stillLoaded());
}

TEST_F(SSRadioPowerTest, CopiesShareTheLibraryWhichGoesWithTheLast)
{
    install(TEST_RADIO_LIBRARY);
    {
        CSSRadioPower* first = new CSSRadioPower;
        CSSRadioPower copy(*first);
        CSSRadioPower assigned;
        assigned = *first;
        assigned = assigned;  // self-assignment
        EXPECT_EQ(copy.GetModule(), first->GetModule());
        EXPECT_EQ(assigned.GetModule(), first->GetModule());
        delete first;
        EXPECT_TRUE(stillLoaded());
        copy.TurnOn();
        EXPECT_EQ(assigned.IsOn(), 1);  // one library, one state
        copy = CSSRadioPower();         // a fresh object: another reference, then none
        EXPECT_TRUE(stillLoaded());
        {
            CSSRadioPower moved(std::move(assigned));
            EXPECT_EQ(moved.IsOn(), 1);
        }
        EXPECT_TRUE(stillLoaded());  // `copy` still holds it
    }
    EXPECT_FALSE(stillLoaded());
}

} // namespace

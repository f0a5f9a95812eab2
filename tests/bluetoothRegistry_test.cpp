// The Bluetooth port: every case over a registry file and a device root of its own (the
// registry is the root's ".fieldcore-registry.reg", read at first use).
#include "btConfigTestSupport.h"
#include "deviceRootFixture.h"

#include "devices/bluetoothRegistry.h"
#include "files/globalSettings.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using bttest::btConfig;

const char kPresence[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port]\n";
const char kPresence2[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port 2]\n";
const char kFirstKey[] = "Software\\\\Socket Communications\\\\Bluetooth\\\\Socket BT COM Port";  // as escaped in a file
const char kCardKey[] = "Drivers\\\\PCMCIA\\\\Socket-CF+_Personal_Network_Card\\\\Bluetooth COM Port";
const wchar_t kActive[] = L"HKEY_LOCAL_MACHINE\\Drivers\\Active";

// A subkey of Drivers\Active with its "key" and "Name" values.
std::string driver(const std::string& subkey, const std::string& key, const std::string& name)
{
    return "[HKEY_LOCAL_MACHINE\\Drivers\\Active\\" + subkey + "]\n\"Key\"=\"" + key + "\"\n\"Name\"=\"" + name + "\"\n";
}

class BluetoothRegistryTest : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        registryReset();
        SetUseInternalBT(false);
    }
    void TearDown() override
    {
        registryReset();
        SetUseInternalBT(false);
        DeviceRootTest::TearDown();
    }
    void registry(const std::string& body) { writeHost(".fieldcore-registry.reg", "REGEDIT4\n" + body); }
    void file(const std::string& relative) { writeHost(relative, ""); }
};

TEST_F(BluetoothRegistryTest, NoPresenceKeyGivesZeroWithoutOpeningTheDrivers)
{
    registry(driver("01", kFirstKey, "COM5:"));
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 0);
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort2(), 0);
    EXPECT_EQ(registryOpenCount(kActive), 0);
    EXPECT_EQ(registryOpenCount(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port"), 1);
}

TEST_F(BluetoothRegistryTest, ConfigFileWithDeviceNAGivesZero)
{
    registry(std::string(kPresence) + driver("01", kFirstKey, "COM5:"));
    file("Windows/zr8_lcd.dll");
    SetUseInternalBT(true);
    writeHost("BtConfig.ini", btConfig("N/A", "COM1:"));
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 0) << "no fall-back to the scan";
}

TEST_F(BluetoothRegistryTest, MavikLibraryWithoutSocketStackGivesSix)
{
    registry("");
    file("Windows/MavikLib.dll");
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 6);
}

TEST_F(BluetoothRegistryTest, MavikLibraryDoesNotHideAFoundPort)
{
    registry(std::string(kPresence) + driver("01", kFirstKey, "COM5:"));
    file("Windows/MavikLib.dll");
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 5);
}

TEST_F(BluetoothRegistryTest, Zr8WithInternalBluetoothReadsTheFileAndIgnoresTheRegistry)
{
    registry(std::string(kPresence) + driver("01", kFirstKey, "COM5:"));
    file("Windows/zr8_wavedev.dll");
    file("Windows/MavikLib.dll");  // no 6 on a zr8 unit
    writeHost("BtConfig.ini", btConfig("GPS Receiver", "COM2:"));
    SetUseInternalBT(true);
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 2);
    EXPECT_EQ(registryOpenCount(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Socket Communications\\Bluetooth\\Socket BT COM Port"), 0);
    EXPECT_EQ(registryOpenCount(kActive), 0);
    SetUseInternalBT(false);  // setting off: the scan alone
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 5);
    registry("");
    registryReset();
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 0);  // no 6 on a zr8 unit
}

TEST_F(BluetoothRegistryTest, ScanCases)
{
    const std::string card = kCardKey;
    struct Case {
        const char* what;
        std::string drivers;
        int port;
    } cases[] = {
        {"a first-pass match wins over an earlier second-pass match",
         driver("01", card, "COM7:") + driver("02", kFirstKey, "COM5:"), 5},
        {"names and the key value in other cases",
         "[HKEY_LOCAL_MACHINE\\DRIVERS\\active\\01]\n\"KEY\"=\"SOFTWARE\\\\socket communications\\\\BLUETOOTH\\\\socket bt com port\"\n"
         "\"name\"=\"COM9:\"\n", 9},
        {"COM is case-sensitive", driver("01", kFirstKey, "com5:"), 0},
        {"a first-pass match that is no port gives 0, no second pass",
         driver("01", card, "COM7:") + driver("02", kFirstKey, "BSP1:"), 0},
        {"a first-pass match without Name gives 0",
         "[HKEY_LOCAL_MACHINE\\Drivers\\Active\\01]\n\"Key\"=\"" + std::string(kFirstKey) + "\"\n" + driver("02", card, "COM7:"), 0},
        {"the second-pass rule alone, in other cases",
         driver("01", "Drivers\\\\Builtin\\\\Serial", "COM1:") +
             driver("02", "drivers\\\\pcmcia\\\\SOCKET-CF+_Personal_Network_Card\\\\Port 1\\\\bluetooth com port", "COM7:"),
         7},
        {"the first of two first-pass matches", driver("01", kFirstKey, "COM4:") + driver("02", kFirstKey, "COM5:"), 4},
        {"the first of two second-pass matches", driver("01", card, "COM3:") + driver("02", card, "COM8:"), 3},
        {"the port's own key is no match", driver("01", std::string(kFirstKey) + " 2", "COM6:"), 0},
        {"a key value that is a number is no match",
         "[HKEY_LOCAL_MACHINE\\Drivers\\Active\\01]\n\"Key\"=dword:00000001\n\"Name\"=\"COM3:\"\n", 0},
        {"a second-pass key between prefix and suffix",
         driver("01", "Drivers\\\\PCMCIA\\\\Socket-CF+_Personal_Network_Card_X\\\\Bluetooth COM Port", "COM2:"), 2},
        {"prefix without suffix", driver("01", "Drivers\\\\PCMCIA\\\\Socket-CF+_Personal_Network_Card\\\\Serial Port", "COM2:"), 0},
        {"suffix without prefix", driver("01", "Drivers\\\\PCMCIA\\\\Other_Card\\\\Bluetooth COM Port", "COM2:"), 0},
        {"no drivers", "", 0},
    };
    for (const Case& c : cases) {
        registry(std::string(kPresence) + c.drivers);
        registryReset();
        EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), c.port) << c.what;
        EXPECT_EQ(registryOpenCount(kActive), 1) << c.what << ": the drivers are opened once";
    }
}

TEST_F(BluetoothRegistryTest, SecondPortHasNoSecondPass)
{
    const std::string secondKey = std::string(kFirstKey) + " 2";
    registry(std::string(kPresence2) + driver("01", kFirstKey, "COM5:") + driver("02", secondKey, "COM8:"));
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort2(), 8);
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort(), 0);  // the first port's presence key is missing
    registry(std::string(kPresence2) + driver("01", kCardKey, "COM7:"));
    registryReset();
    EXPECT_EQ(BluetoothRegistry::GetBluetoothComPort2(), 0);
}

TEST_F(BluetoothRegistryTest, SecondReceiverByTheFileOrByTheScan)
{
    registry("");
    EXPECT_FALSE(BluetoothRegistry::IsRover2BluetoothExist());
    writeHost("BtConfig.ini", btConfig("GPS", "COM1:"));
    EXPECT_TRUE(BluetoothRegistry::IsRover2BluetoothExist());  // by the file
    writeHost("BtConfig.ini", btConfig("GPS", "COM3:"));
    EXPECT_FALSE(BluetoothRegistry::IsRover2BluetoothExist());
    registry(std::string(kPresence) + driver("01", kFirstKey, "COM5:"));
    registryReset();
    EXPECT_TRUE(BluetoothRegistry::IsRover2BluetoothExist());  // by the scan
    EXPECT_FALSE(BluetoothRegistry::IsBluetoothQuenta());
}

TEST(BluetoothPortNumber, AsScanfReadsComD)
{
    struct Case {
        const wchar_t* name;
        int port;
    } cases[] = {
        {L"COM7:", 7}, {L"COM7", 7}, {L"COM12:", 12}, {L"COM 3:", 3}, {L"COM\t4x", 4}, {L"COM+5:", 5},
        {L"COM-3:", 0},  // scanf reads -3: no port below 1
        {L"COM0:", 0}, {L"COM:", 0}, {L"COM", 0}, {L"com5:", 0}, {L"Com5:", 0}, {L" COM5:", 0},
        {L"COMx5:", 0}, {L"", 0}, {L"COM2147483647:", 2147483647}, {L"COM2147483648:", 0},
        {L"COM99999999999999999999:", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BluetoothRegistry::SocketPortNumber(c.name), c.port) << "'" << std::string(c.name, c.name + wcslen(c.name)) << "'";
}

} // namespace

// The COM port of the controller's Bluetooth serial link, found from the registry
// (platform/registry.h), the configuration file "BtConfig.ini" (devices/btConfigFile.h), the
// internal-Bluetooth setting (GetUseInternalBT, files/globalSettings.h) and the presence of
// model-specific libraries in "\Windows" (device paths, platform/deviceRoot.h).
//
// Registry keys, all under HKEY_LOCAL_MACHINE:
//   "SOFTWARE\Socket Communications\Bluetooth\Socket BT COM Port" and "... Socket BT COM Port 2":
//     the presence keys of the Socket Communications stack's two Bluetooth ports;
//   "Drivers\Active": one subkey per loaded driver; its "key" value names the driver's
//     registry key, its "Name" value the device name ("COM5:").
// Key and value names, and the "key" comparisons, ignore case; only the "COM" that begins
// "Name" is case-sensitive. Every failure gives 0 or false; nothing is reported.
#pragma once

#include "devices/commPort.h"

#include <string>

class BluetoothRegistry {
public:
    // On a zr8 unit ("\Windows\zr8_lcd.dll" or "\Windows\zr8_wavedev.dll" exists): the Socket
    // scan when the internal-Bluetooth setting is off, else the configuration file's port.
    // Otherwise the Socket scan, or 6 when it gives 0 and "\Windows\MavikLib.dll" exists.
    static ECommPort GetBluetoothComPort();
    // The second Socket port (no second pass).
    static ECommPort GetBluetoothComPort2();
    // The configuration file names a port, else the Socket scan finds one.
    static bool IsRover2BluetoothExist();
    // A process-wide flag that nothing in this library sets: always false.
    static bool IsBluetoothQuenta();

    // The Socket port scan of the first port:
    //   1. without the presence key, 0 ("Drivers\Active" is then not opened);
    //   2. the first subkey of "Drivers\Active" (in enumeration order) whose "key" equals
    //      "Software\Socket Communications\Bluetooth\Socket BT COM Port";
    //   3. only when there is none, a second pass from the first subkey: "key" at least 66
    //      characters long, beginning "Drivers\PCMCIA\Socket-CF+_Personal_Network_Card" and
    //      ending "\Bluetooth COM Port";
    //   4. the matching subkey's "Name" as a port (SocketPortNumber); no match, 0.
    // The enumeration ends at the first index that does not answer with a name (a subkey name
    // of 256 characters or more ends it too); a subkey that cannot be opened is skipped.
    static ECommPort SocketComPortScan();
    static ECommPort SocketComPort2Scan();

    // A device name as "COM%d:" reads it (scanf): "COM" (case-sensitive), blanks, a sign and
    // digits; what follows the number, the colon included, is not checked ("COM7" gives 7).
    // A number below 1 ("COM-3:", "COM0:") or beyond the int range gives 0: no port has it.
    static ECommPort SocketPortNumber(const std::wstring& name);
};

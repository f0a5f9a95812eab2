// The controller's built-in radio, switched through the vendor's library "MavikLib.dll"
// (LoadLibraryW of platform/process.h: the executable's folder, then "\Windows"). Every call
// looks its export up again; without the library or the export a setter does nothing and a
// getter answers 0. Exports (C linkage): "Mavik_SetSSPowerState", "Mavik_SetSSStandby",
// "Mavik_SetSSPower_ON", "Mavik_SetSSInit" take one int; "Mavik_GetSSStandby",
// "Mavik_GetSSPower_ON", "Mavik_GetSSInit", "Mavik_GetSSDsr" take none and answer an int.
//
// Copies share the library: the handle is held by shared ownership, so a copy or an
// assignment refers to the same loaded library and it is freed once, when the last object
// holding it dies or is assigned another (self-assignment changes nothing). An object made
// while the library could not be loaded holds none.
#pragma once

#include "platform/process.h"

#include <memory>

class CSSRadioPower {
public:
    CSSRadioPower();  // loads "MavikLib.dll"

    // Power state 1, power on 1, standby 0, init 1, in this order.
    void TurnOn();
    // Power state 0.
    void TurnOff();
    // The radio's power as "Mavik_GetSSPower_ON" answers it (0 without the library).
    int IsOn();

    // The loaded library, null when loading failed.
    HMODULE GetModule() const { return m_library.get(); }

private:
    void SetPowerState(int state);
    void SetStandby(int standby);
    void SetPowerOn(int on);
    void SetInit(int init);
    int GetStandby();
    int GetPowerOn();
    int GetInit();
    int GetDsr();

    void Set(const char* exportName, int value);
    int Get(const char* exportName);

    std::shared_ptr<void> m_library;  // HMODULE; FreeLibrary when the last holder goes
};

// A stand-in for the controller vendor's radio library "MavikLib.dll": the eight exports over a
// small state, and a call log that the tests read ("TestRadio_Log", "TestRadio_ClearLog").
// Built twice (tests/CMakeLists.txt): whole, and without "Mavik_SetSSStandby"
// (FIELDCORE_RADIO_NO_STANDBY). Plain C data only, so that the library can be unloaded.
#include <cstdio>
#include <cstring>

namespace {

int powerState, standby, powerOn, init, dsr;
char callLog[4096];

// Appends "name(value)" or "name()" and a line end; a full log keeps what it has.
void note(const char* name, const int* value)
{
    const size_t used = std::strlen(callLog);
    char line[96];
    if (value)
        std::snprintf(line, sizeof line, "%s(%d)\n", name, *value);
    else
        std::snprintf(line, sizeof line, "%s()\n", name);
    if (used + std::strlen(line) < sizeof callLog)
        std::memcpy(callLog + used, line, std::strlen(line) + 1);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void Mavik_SetSSPowerState(int value)
{
    note("Mavik_SetSSPowerState", &value);
    powerState = value;
    if (value == 0)
        powerOn = 0;  // the power state off switches the radio off
}

#ifndef FIELDCORE_RADIO_NO_STANDBY
__attribute__((visibility("default"))) void Mavik_SetSSStandby(int value)
{
    note("Mavik_SetSSStandby", &value);
    standby = value;
}
#endif

__attribute__((visibility("default"))) void Mavik_SetSSPower_ON(int value)
{
    note("Mavik_SetSSPower_ON", &value);
    powerOn = powerState != 0 && value != 0 ? 1 : 0;  // on only while the power state is on
}

__attribute__((visibility("default"))) void Mavik_SetSSInit(int value)
{
    note("Mavik_SetSSInit", &value);
    init = value;
    dsr = powerOn && init ? 1 : 0;
}

__attribute__((visibility("default"))) int Mavik_GetSSStandby() { note("Mavik_GetSSStandby", nullptr); return standby; }
__attribute__((visibility("default"))) int Mavik_GetSSPower_ON() { note("Mavik_GetSSPower_ON", nullptr); return powerOn; }
__attribute__((visibility("default"))) int Mavik_GetSSInit() { note("Mavik_GetSSInit", nullptr); return init; }
__attribute__((visibility("default"))) int Mavik_GetSSDsr() { note("Mavik_GetSSDsr", nullptr); return dsr; }

__attribute__((visibility("default"))) const char* TestRadio_Log() { return callLog; }
__attribute__((visibility("default"))) void TestRadio_ClearLog() { callLog[0] = '\0'; }

} // extern "C"

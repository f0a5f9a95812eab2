#include "devices/ssRadioPower.h"

namespace {

typedef void (*SetterFn)(int);
typedef int (*GetterFn)();

std::shared_ptr<void> loadLibrary()
{
    HMODULE module = LoadLibraryW(L"MavikLib.dll");
    if (!module)
        return nullptr;
    return std::shared_ptr<void>(module, [](void* m) { FreeLibrary(m); });
}

} // namespace

CSSRadioPower::CSSRadioPower() : m_library(loadLibrary()) {}

void CSSRadioPower::TurnOn()
{
    SetPowerState(1);
    SetPowerOn(1);
    SetStandby(0);
    SetInit(1);
}

void CSSRadioPower::TurnOff() { SetPowerState(0); }

int CSSRadioPower::IsOn() { return GetPowerOn(); }

void CSSRadioPower::SetPowerState(int state) { Set("Mavik_SetSSPowerState", state); }
void CSSRadioPower::SetStandby(int standby) { Set("Mavik_SetSSStandby", standby); }
void CSSRadioPower::SetPowerOn(int on) { Set("Mavik_SetSSPower_ON", on); }
void CSSRadioPower::SetInit(int init) { Set("Mavik_SetSSInit", init); }
int CSSRadioPower::GetStandby() { return Get("Mavik_GetSSStandby"); }
int CSSRadioPower::GetPowerOn() { return Get("Mavik_GetSSPower_ON"); }
int CSSRadioPower::GetInit() { return Get("Mavik_GetSSInit"); }
int CSSRadioPower::GetDsr() { return Get("Mavik_GetSSDsr"); }

void CSSRadioPower::Set(const char* exportName, int value)
{
    if (!m_library)
        return;
    if (SetterFn set = reinterpret_cast<SetterFn>(GetProcAddress(m_library.get(), exportName)))
        set(value);
}

int CSSRadioPower::Get(const char* exportName)
{
    if (!m_library)
        return 0;
    GetterFn get = reinterpret_cast<GetterFn>(GetProcAddress(m_library.get(), exportName));
    return get ? get() : 0;
}

#include "files/globalSettings.h"

#include "files/appFolders.h"
#include "platform/keyboard.h"
#include "platform/messages.h"
#include "platform/sound.h"

#include <cstdlib>
#include <new>
#include <vector>

namespace {

struct Options {
    TIC_MENU_SYSTEM menuSystem = TIC_MENU_SYSTEM_DEFAULT;
    int euStyle = 0;
    int country = 1;
    int displayType = 0;
    int boldFont = 0;
    bool gisMode = false;
    bool codeControlCodeMode = false;
    bool showString = false;
    bool showPtlMode = false;
    int ptlFirst = 0;
    int ptlSecond = 0;
    int stakeIncrement = 1;
    bool bluetoothTs = false;
    bool bluetoothGps = false;
    bool internalBt = false;
    bool arcPadPort = false;
    bool externalReceiver = false;
    int externalReceiverPort = 0;
    bool daisyChainNeeded = true;
    int bluetoothPortPc = 8;
    bool showSecondCtrlCode = false;
    int rangeDelimiter = 0;
    bool alphaKeyMode = false;
    bool imageStakeout = false;
    void* bsFsCtrl = nullptr;
    CHARACTOR_TYPE charTypes[FIELD_TYPE_LAST + 1] = {};
    std::vector<CString> codes;
};

Options& options()
{
    static Options o;
    return o;
}

const int kMruSize = 5;
const int kFirstId = 1;
const int kLastId = 2009;
const unsigned int kKeyboardAskMode = 7;
const unsigned int kKeyboardSetMode = 8;

struct Place {
    int id;
    const wchar_t* section;
    const wchar_t* key;
};

const Place kPlaces[] = {
    {1, L"Settings", L"CtrlerPortGps"},   {2, L"Settings", L"MenuType"},
    {3, L"Settings", L"MenuDispType"},    {4, L"Settings", L"EuStyle"},
    {5, L"Settings", L"CtrlerPortTs"},    {6, L"Settings", L"BoldFont"},
    {7, L"Settings", L"ShowStrings"},     {9, L"Settings", L"CtrlerBaudGps"},
    {10, L"Settings", L"CtrlerBaudTs"},   {11, L"Settings", L"StakeIncPtBy"},
    {12, L"Settings", L"ShowSecondCtrlCode"}, {13, L"Settings", L"RangeDelimiter"},
    {2000, L"Bluetooth", L"Gps"},         {2001, L"Bluetooth", L"Ts"},
    {2002, L"Settings", L"CtrlerDelimTs"}, {2003, L"Settings", L"BSPointAzi"},
    {2004, L"Settings", L"StkAutoAdv"},   {2005, L"Settings", L"DebugComms"},
    {2006, L"Bluetooth", L"PortPC"},      {2007, L"Settings", L"ExternalRcv"},
    {2008, L"Settings", L"ExternalRcvPort"}, {2009, L"Settings", L"InternalBT"},
};

bool accepted(int id) { return id >= kFirstId && id <= kLastId; }

bool validField(FIELD_TYPE field) { return field >= FIELD_TYPE_FIRST && field <= FIELD_TYPE_LAST; }

} // namespace

// ---- Run-time options ----

TIC_MENU_SYSTEM GetTicMenuSystem() { return options().menuSystem; }
void SetTicMenuSystem(TIC_MENU_SYSTEM menuSystem) { options().menuSystem = menuSystem; }
int GetEuStyle() { return options().euStyle; }
void SetEuStyle(int style) { options().euStyle = style; }
int GetCountry() { return options().country; }
void SetCountry(int country)
{
    options().country = country;
    options().euStyle = country == 1 ? 0 : 1;
}
int GetTicDisplayType() { return options().displayType; }
void SetTicDisplayType(int type) { options().displayType = type; }
int GetBoldFont() { return options().boldFont; }
void SetBoldFont(int bold) { options().boldFont = bold; }
bool GetGISMode() { return options().gisMode; }
void SetGISMode(bool on) { options().gisMode = on; }
bool GetCodeControlCodeMode() { return options().codeControlCodeMode; }
void SetCodeControlCodeMode(bool on) { options().codeControlCodeMode = on; }
bool GetShowString()
{
    const Options& o = options();
    return !o.gisMode && !o.codeControlCodeMode && o.showString;
}
void SetShowString(bool show) { options().showString = show; }
bool GetShowPtlMode() { return options().showPtlMode; }
void SetShowPtlMode(bool on) { options().showPtlMode = on; }
bool GetPtlModeRefPoints(int& first, int& second)
{
    first = options().ptlFirst;
    second = options().ptlSecond;
    return options().showPtlMode;
}
void SetPtlModeRefPoints(int first, int second)
{
    Options& o = options();
    o.ptlFirst = first;
    o.ptlSecond = second;
    if (first < 1 || second <= 0)
        o.showPtlMode = false;
}
int GetStkIncPtByVal() { return options().stakeIncrement; }
void SetStkIncPtByVal(int value) { options().stakeIncrement = value; }
bool GetUseBluetoothTS() { return options().bluetoothTs; }
void SetUseBluetoothTS(bool use) { options().bluetoothTs = use; }
bool GetUseBluetoothGPS() { return options().bluetoothGps; }
void SetUseBluetoothGPS(bool use) { options().bluetoothGps = use; }
bool GetUseInternalBT() { return options().internalBt; }
void SetUseInternalBT(bool use) { options().internalBt = use; }
bool GetUseArcPadPort() { return options().arcPadPort; }
void SetUseArcPadPort(bool use) { options().arcPadPort = use; }
bool GetUseExternalReceiver() { return options().externalReceiver; }
void SetUseExternalReceiver(bool use) { options().externalReceiver = use; }
int GetExternalRcvPort() { return options().externalReceiverPort; }
void SetExternalRcvPort(int port) { options().externalReceiverPort = port; }
bool GetRover2DaisyNeed() { return options().daisyChainNeeded; }
void SetRover2DaisyNeed(bool need) { options().daisyChainNeeded = need; }
int GetBluetoothPortPC() { return options().bluetoothPortPc; }
void SetBluetoothPortPC(int port) { options().bluetoothPortPc = port; }
bool GetShowSecondCtrlCode() { return options().showSecondCtrlCode; }
void SetShowSecondCtrlCode(bool show) { options().showSecondCtrlCode = show; }
int GetRangeDelimiter() { return options().rangeDelimiter; }
void SetRangeDelimiter(int delimiter) { options().rangeDelimiter = delimiter; }
bool GetShowAlphaKeyMode() { return options().alphaKeyMode; }
void SetShowAlphaKeyMode(bool show) { options().alphaKeyMode = show; }
bool GetDoImageStakeout() { return options().imageStakeout; }
void SetDoImageStakeout(bool on) { options().imageStakeout = on; }
void* GetBsFsCtrl() { return options().bsFsCtrl; }
void SetBsFsCtrl(void* control) { options().bsFsCtrl = control; }
bool GetDebugComms() { return false; }
void SetDebugComms(bool) {}

// ---- Code MRU ----

void SetCodeMRU(const wchar_t* code)
{
    if (!code || !*code)
        return;
    std::vector<CString>& codes = options().codes;
    for (const CString& listed : codes)
        if (listed == code)
            return;
    if (static_cast<int>(codes.size()) >= kMruSize)
        codes.erase(codes.begin());
    codes.push_back(CString(code));
}

int GetCodeMRUCount() { return static_cast<int>(options().codes.size()); }

bool GetCodeMRU(int i, CString& code)
{
    if (i < 0 || i >= GetCodeMRUCount())
        return false;
    code = options().codes[static_cast<std::size_t>(i)];
    return true;
}

// ---- The soft keyboard ----

void SetDefaultCharType(FIELD_TYPE field, CHARACTOR_TYPE type)
{
    if (validField(field))
        options().charTypes[field] = type;
}

void CtrlChar(CHARACTOR_TYPE type)
{
    const HWND keyboard = FindWindowW(L"Keybord Window", nullptr);
    if (!keyboard)
        return;
    const bool alphabetic = SendMessage(keyboard, WM_COMMAND, kKeyboardAskMode, 0) != 0;
    if (type == CHARACTOR_NUMERIC) {
        if (alphabetic)
            SendMessage(keyboard, WM_COMMAND, kKeyboardSetMode, 0);
        return;
    }
    if (type != CHARACTOR_UPPER && type != CHARACTOR_LOWER)
        return;
    if (!alphabetic)
        SendMessage(keyboard, WM_COMMAND, kKeyboardSetMode, 1);
    const bool capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (capsLock != (type == CHARACTOR_UPPER)) {
        keybd_event(VK_CAPITAL, 0, 0, 0);
        keybd_event(VK_CAPITAL, 0, KEYEVENTF_KEYUP, 0);
    }
}

void CtrlCharByFieldType(FIELD_TYPE field)
{
    if (validField(field))
        CtrlChar(options().charTypes[field]);
}

// ---- Persistent settings ----

bool GetSettingPlace(int id, const wchar_t*& section, const wchar_t*& key)
{
    for (const Place& place : kPlaces) {
        if (place.id == id) {
            section = place.section;
            key = place.key;
            return true;
        }
    }
    return false;
}

CTICGlobalSettingsFile::CTICGlobalSettingsFile(const CString& path) : m_path(path)
{
    m_ini.LoadIni(m_path);
}

CTICGlobalSettingsFile::~CTICGlobalSettingsFile()
{
    m_ini.SaveIni(m_path);
}

bool CTICGlobalSettingsFile::Save()
{
    return m_ini.SaveIni(m_path);
}

bool CTICGlobalSettingsFile::GetInt(int id, int& value)
{
    if (!accepted(id))
        return false;
    const wchar_t *section, *key;
    value = GetSettingPlace(id, section, key) ? m_ini.GetIntValue(section, key, kNothingStored) : kNothingStored;
    return value != kNothingStored;
}

bool CTICGlobalSettingsFile::GetUint(int id, unsigned int& value)
{
    if (!accepted(id))
        return false;
    const wchar_t *section, *key;
    value = GetSettingPlace(id, section, key) ? static_cast<unsigned int>(m_ini.GetUintValue(section, key, 0)) : 0;
    return value != 0;
}

bool CTICGlobalSettingsFile::GetReal(int id, double& value)
{
    if (!accepted(id))
        return false;
    const wchar_t *section, *key;
    const double nothing = kNothingStored;
    value = GetSettingPlace(id, section, key) ? m_ini.GetRealValue(section, key, nothing) : nothing;
    return value != nothing;
}

bool CTICGlobalSettingsFile::SetInt(int id, int value, bool save)
{
    const wchar_t *section, *key;
    if (!accepted(id) || !GetSettingPlace(id, section, key))
        return false;
    m_ini.SetIntValue(section, key, value);
    if (save)
        Save();
    return true;
}

bool CTICGlobalSettingsFile::SetUint(int id, unsigned int value, bool save)
{
    const wchar_t *section, *key;
    if (!accepted(id))
        return false;
    if (!GetSettingPlace(id, section, key))
        return true;  // as the settings have always answered: accepted, nothing stored
    m_ini.SetUintValue(section, key, value);
    if (save)
        Save();
    return true;
}

bool CTICGlobalSettingsFile::SetReal(int id, double value, bool save)
{
    const wchar_t *section, *key;
    if (!accepted(id) || !GetSettingPlace(id, section, key))
        return false;
    m_ini.SetRealValue(section, key, value);
    if (save)
        Save();
    return true;
}

namespace {

CTICGlobalSettingsFile* globalSettings = nullptr;

void saveGlobalSettingsAtExit()
{
    delete globalSettings;  // saves
    globalSettings = nullptr;
}

} // namespace

CTICGlobalSettings* GetTICGlobalSettings()
{
    static const bool made = [] {
        // The folder cache is made first, so that it outlives the exit handler below.
        const CString path = AppStrPaths::GetUserSettingsPath() + L"\\ostrand.ini";
        globalSettings = new (std::nothrow) CTICGlobalSettingsFile(path);
        if (globalSettings)
            std::atexit(&saveGlobalSettingsAtExit);
        return true;
    }();
    (void)made;
    return globalSettings;
}

// ---- Sounds ----

namespace {

const wchar_t* const kSoundFiles[] = {L"alarm.wav", L"connected.wav", L"epochaccepted.wav", L"sideshot.wav",
                                      L"CalcComplete.wav", L"popup.wav", L"buzz.wav", L"fix.wav",
                                      L"float.wav", L"measure.wav"};
const int kSoundCount = static_cast<int>(sizeof kSoundFiles / sizeof kSoundFiles[0]);

// Made at the first use, not when the library is loaded: the sound folder lies under the device
// root, which a test or the tool chooses first.
const std::vector<CString>& soundPaths()
{
    static const std::vector<CString> paths = [] {
        std::vector<CString> list;
        const CString folder = AppStrPaths::GetSoundFilePath();
        for (const wchar_t* name : kSoundFiles)
            list.push_back(folder + L"\\" + name);
        return list;
    }();
    return paths;
}

} // namespace

void Sound(ESounds sound)
{
    const int index = static_cast<int>(sound);
    if (index < 0 || index >= kSoundCount)
        return;
    PlaySoundW(soundPaths()[static_cast<std::size_t>(index)], nullptr, SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

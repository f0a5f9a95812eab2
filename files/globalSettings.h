// The application-wide options: run-time options in process-wide variables with getters and
// setters, a most-recently-used list of codes, the soft keyboard's character modes, the
// persistent controller settings of "ostrand.ini" reached by numeric identifiers
// (CTICGlobalSettings), and the application's sounds.
//
// The run-time options are plain process-wide values for the user-interface thread (no
// locking) and are not saved here. The meanings of the numeric values of menu system, display
// type, range delimiter and port numbers belong to the application.
#pragma once

#include "platform/CString.h"
#include "files/iniFile.h"

// ---- Run-time options (start values in brackets) ----
enum TIC_MENU_SYSTEM { TIC_MENU_SYSTEM_DEFAULT = 0 };

// The keyboard's character mode for a field: numeric, upper case, lower case.
enum CHARACTOR_TYPE { CHARACTOR_NUMERIC = 0, CHARACTOR_UPPER = 1, CHARACTOR_LOWER = 2 };
// The application's five field types, 0 to 4 (their meanings belong to the application).
enum FIELD_TYPE { FIELD_TYPE_FIRST = 0, FIELD_TYPE_LAST = 4 };

TIC_MENU_SYSTEM GetTicMenuSystem();                 // [0]
void SetTicMenuSystem(TIC_MENU_SYSTEM menuSystem);
int GetEuStyle();                                    // [0]
void SetEuStyle(int style);
int GetCountry();                                    // [1]
// Also sets the European style: 0 for country 1, else 1.
void SetCountry(int country);
int GetTicDisplayType();                             // [0]
void SetTicDisplayType(int type);
int GetBoldFont();                                   // [0]
void SetBoldFont(int bold);
bool GetGISMode();                                   // [false]
void SetGISMode(bool on);
bool GetCodeControlCodeMode();                       // [false]
void SetCodeControlCodeMode(bool on);
// False while GIS mode or code and control-code mode is on, else the stored flag [false].
bool GetShowString();
void SetShowString(bool show);
bool GetShowPtlMode();                               // [false]
void SetShowPtlMode(bool on);
// Gives both points [0, 0] and returns the point-list mode.
bool GetPtlModeRefPoints(int& first, int& second);
// Stores both; first below 1 or second not positive switches the point-list mode off (it is
// never switched on here).
void SetPtlModeRefPoints(int first, int second);
int GetStkIncPtByVal();                              // [1]
void SetStkIncPtByVal(int value);
bool GetUseBluetoothTS();                            // [false]
void SetUseBluetoothTS(bool use);
bool GetUseBluetoothGPS();                           // [false]
void SetUseBluetoothGPS(bool use);
bool GetUseInternalBT();                             // [false]
void SetUseInternalBT(bool use);
bool GetUseArcPadPort();                             // [false]
void SetUseArcPadPort(bool use);
bool GetUseExternalReceiver();                       // [false]
void SetUseExternalReceiver(bool use);
int GetExternalRcvPort();                            // [0]
void SetExternalRcvPort(int port);
bool GetRover2DaisyNeed();                           // [true]
void SetRover2DaisyNeed(bool need);
int GetBluetoothPortPC();                            // [8]
void SetBluetoothPortPC(int port);
bool GetShowSecondCtrlCode();                        // [false]
void SetShowSecondCtrlCode(bool show);
int GetRangeDelimiter();                             // [0]
void SetRangeDelimiter(int delimiter);
bool GetShowAlphaKeyMode();                          // [false]
void SetShowAlphaKeyMode(bool show);
bool GetDoImageStakeout();                           // [false]
void SetDoImageStakeout(bool on);
// The backsight/foresight control: a pointer the application keeps (not owned) [null].
void* GetBsFsCtrl();
void SetBsFsCtrl(void* control);
// Always false; the setter does nothing.
bool GetDebugComms();
void SetDebugComms(bool on);

// ---- Codes most recently used: at most 5, oldest first ----
// A null or empty code is ignored; a code already listed (exact, case counts) changes nothing,
// not even its place; otherwise it is appended, the oldest dropped when 5 are listed.
void SetCodeMRU(const wchar_t* code);
int GetCodeMRUCount();
// False (code untouched) when i is outside 0 to count - 1.
bool GetCodeMRU(int i, CString& code);

// ---- The soft keyboard ----
// The stored character type of each field type [all numeric]; field types outside 0 to 4 are
// ignored.
void SetDefaultCharType(FIELD_TYPE field, CHARACTOR_TYPE type);
// Switches the soft keyboard (the top-level window of class "Keybord Window", as spelt) to the
// character type, and does nothing at all when there is no such window. Command 7 (WM_COMMAND,
// wParam 7) asks its mode (a non-zero answer: alphabetic); command 8 (WM_COMMAND, wParam 8,
// lParam the argument: 0 numeric, 1 alphabetic) switches it. Upper and lower case also press and
// release Caps Lock when its state differs. Both commands are sent (SendMessage).
void CtrlChar(CHARACTOR_TYPE type);
// CtrlChar with the stored type of the field type (0 to 4; others do nothing).
void CtrlCharByFieldType(FIELD_TYPE field);

// ---- Persistent settings by identifier ----
// The value that stands for "nothing stored" (0 for unsigned values).
constexpr int kNothingStored = -1111111111;

class CTICGlobalSettings {
public:
    virtual bool SetUint(int id, unsigned int value, bool save) = 0;
    virtual bool GetUint(int id, unsigned int& value) = 0;
    virtual bool SetInt(int id, int value, bool save) = 0;
    virtual bool GetInt(int id, int& value) = 0;
    virtual bool SetReal(int id, double value, bool save) = 0;
    virtual bool GetReal(int id, double& value) = 0;
    virtual bool Save() = 0;
    virtual ~CTICGlobalSettings() = default;
};

// The place of an identifier in the file; false for identifiers without one (the section and
// key are then untouched).
bool GetSettingPlace(int id, const wchar_t*& section, const wchar_t*& key);

// The settings over one INI file: loaded when made, saved when destroyed.
//  - Identifiers outside 1 to 2009: false, output untouched.
//  - Getters write the stored value, or the start value (kNothingStored, 0 for GetUint,
//    kNothingStored as a real) when there is none or no place; true when the value differs from
//    that start value. GetUint reads "%u", which takes a sign: "-1" reads as 4294967295.
//  - Setters store ("%d", "%u", "%lf": "StakeIncPtBy=2.500000") and, with `save`, save the file
//    at once; true when the identifier has a place. Without a place SetInt and SetReal give
//    false and SetUint gives true; nothing is stored.
class CTICGlobalSettingsFile : public CTICGlobalSettings {
public:
    explicit CTICGlobalSettingsFile(const CString& path);
    ~CTICGlobalSettingsFile() override;

    bool SetUint(int id, unsigned int value, bool save) override;
    bool GetUint(int id, unsigned int& value) override;
    bool SetInt(int id, int value, bool save) override;
    bool GetInt(int id, int& value) override;
    bool SetReal(int id, double value, bool save) override;
    bool GetReal(int id, double& value) override;
    bool Save() override;

    const CString& path() const { return m_path; }

private:
    CString m_path;
    CINIFile m_ini;
};

// The one settings object of the process, over GetUserSettingsPath() + "\ostrand.ini": made
// (and loaded) at the first call, saved when the program exits normally (an exit handler
// registered after the folder cache it uses); null when memory runs out.
CTICGlobalSettings* GetTICGlobalSettings();

// ---- Sounds ----
enum ESounds {
    SOUND_NONE = -1,
    SOUND_ALARM = 0,          // "alarm.wav"
    SOUND_CONNECTED = 1,      // "connected.wav"
    SOUND_EPOCH_ACCEPTED = 2, // "epochaccepted.wav"
    SOUND_SIDESHOT = 3,       // "sideshot.wav"
    SOUND_CALC_COMPLETE = 4,  // "CalcComplete.wav"
    SOUND_POPUP = 5,          // "popup.wav"
    SOUND_BUZZ = 6,           // "buzz.wav"
    SOUND_FIX = 7,            // "fix.wav"
    SOUND_FLOAT = 8,          // "float.wav"
    SOUND_MEASURE = 9,        // "measure.wav"
};
// Plays the sound's file of the sound folder (GetSoundFilePath() + "\" + name) asynchronously,
// with no default sound when the file is missing. SOUND_NONE and values outside 0 to 9 play
// nothing. The list of paths is made at the first call.
void Sound(ESounds sound);

// Global settings: the run-time options' start values and rules, the code MRU against a model,
// the soft keyboard's commands, the settings file by identifier (also across processes and at
// exit), and the sounds.
#include "deviceRootFixture.h"

#include "files/appFolders.h"
#include "files/globalSettings.h"
#include "platform/fileSystem.h"
#include "platform/keyboard.h"
#include "platform/messages.h"
#include "platform/sound.h"

#include <cstdio>
#include <deque>
#include <random>
#include <sstream>

namespace {

// Runs `check` in a fresh process (the options are process-wide): the process exits with the
// number of failed checks, each named on stderr.
template <class Check>
void inFreshProcess(Check check)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT({ std::_Exit(check()); }, ::testing::ExitedWithCode(0), "");
}

TEST(RunTimeOptions, StartValues)
{
    inFreshProcess([] {
        struct Case { const char* name; long long got; long long expected; };
        int first = -7, second = -7;
        const bool ptl = GetPtlModeRefPoints(first, second);
        const Case cases[] = {
            {"menu system", GetTicMenuSystem(), 0},       {"European style", GetEuStyle(), 0},
            {"country", GetCountry(), 1},                 {"display type", GetTicDisplayType(), 0},
            {"bold font", GetBoldFont(), 0},              {"GIS mode", GetGISMode(), 0},
            {"code and control-code mode", GetCodeControlCodeMode(), 0},
            {"show strings", GetShowString(), 0},         {"point-list mode", GetShowPtlMode(), 0},
            {"point-list first", first, 0},               {"point-list second", second, 0},
            {"point-list result", ptl, 0},                {"stake increment", GetStkIncPtByVal(), 1},
            {"Bluetooth TS", GetUseBluetoothTS(), 0},     {"Bluetooth GPS", GetUseBluetoothGPS(), 0},
            {"internal BT", GetUseInternalBT(), 0},       {"ArcPad port", GetUseArcPadPort(), 0},
            {"external receiver", GetUseExternalReceiver(), 0},
            {"external receiver port", GetExternalRcvPort(), 0},
            {"daisy chain needed", GetRover2DaisyNeed(), 1}, {"PC Bluetooth port", GetBluetoothPortPC(), 8},
            {"second control code", GetShowSecondCtrlCode(), 0},
            {"range delimiter", GetRangeDelimiter(), 0},  {"alpha key mode", GetShowAlphaKeyMode(), 0},
            {"image stakeout", GetDoImageStakeout(), 0},  {"backsight control", GetBsFsCtrl() != nullptr, 0},
            {"code MRU", GetCodeMRUCount(), 0},           {"debug comms", GetDebugComms(), 0},
        };
        int failed = 0;
        for (const Case& c : cases) {
            if (c.got != c.expected) {
                std::fprintf(stderr, "%s: %lld, expected %lld\n", c.name, c.got, c.expected);
                ++failed;
            }
        }
        return failed;
    });
}

TEST(RunTimeOptions, Rules)
{
    SetCountry(1);
    EXPECT_EQ(GetEuStyle(), 0);
    SetCountry(2);
    EXPECT_EQ(GetEuStyle(), 1);
    EXPECT_EQ(GetCountry(), 2);
    SetCountry(1);

    SetShowString(true);
    EXPECT_TRUE(GetShowString());
    SetGISMode(true);
    EXPECT_FALSE(GetShowString()) << "GIS mode hides the strings";
    SetGISMode(false);
    SetCodeControlCodeMode(true);
    EXPECT_FALSE(GetShowString()) << "so does code and control-code mode";
    SetCodeControlCodeMode(false);
    EXPECT_TRUE(GetShowString());
    SetShowString(false);

    SetShowPtlMode(true);
    SetPtlModeRefPoints(1, 1);
    int first = 0, second = 0;
    EXPECT_TRUE(GetPtlModeRefPoints(first, second)) << "(1, 1) leaves the mode";
    EXPECT_EQ(first, 1);
    SetPtlModeRefPoints(0, 5);
    EXPECT_FALSE(GetPtlModeRefPoints(first, second)) << "(0, 5) turns it off";
    EXPECT_EQ(second, 5);
    SetPtlModeRefPoints(3, 4);
    EXPECT_FALSE(GetShowPtlMode()) << "never switched on here";
    SetPtlModeRefPoints(2, 0);
    EXPECT_FALSE(GetShowPtlMode());

    SetDebugComms(true);
    EXPECT_FALSE(GetDebugComms());
}

// The MRU against a model over random sequences of codes (a small alphabet, so codes repeat).
TEST(CodeMru, MatchesAModel)
{
    inFreshProcess([] {
        std::mt19937 random(33);
        std::deque<std::wstring> model;
        const wchar_t* codes[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"a", L"", nullptr};
        for (int step = 0; step < 2000; ++step) {
            const wchar_t* code = codes[random() % 10];
            SetCodeMRU(code);
            if (code && *code && std::find(model.begin(), model.end(), code) == model.end()) {
                if (model.size() == 5)
                    model.pop_front();
                model.push_back(code);
            }
            if (GetCodeMRUCount() != static_cast<int>(model.size()))
                return 1;
            for (int i = 0; i < GetCodeMRUCount(); ++i) {
                CString got;
                if (!GetCodeMRU(i, got) || got.str() != model[static_cast<std::size_t>(i)])
                    return 2;
            }
        }
        CString untouched(L"x");
        return GetCodeMRU(-1, untouched) || GetCodeMRU(5, untouched) || untouched != L"x" ? 3 : 0;
    });
}

TEST(CodeMru, TheWorkedCase)
{
    inFreshProcess([] {
        for (const wchar_t* code : {L"A", L"B", L"C", L"D", L"E", L"F"})
            SetCodeMRU(code);
        SetCodeMRU(L"C");
        std::wstring list;
        for (int i = 0; i < GetCodeMRUCount(); ++i) {
            CString code;
            GetCodeMRU(i, code);
            list += code.str();
        }
        return list == L"BCDEF" ? 0 : 1;
    });
}

// A stand-in for the soft keyboard: answers command 7 with its mode and records commands.
struct Keyboard : CWnd {
    bool alphabetic = false;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_COMMAND)
            return CWnd::WindowProc(message, wParam, lParam);
        commands.emplace_back(wParam, lParam);
        if (wParam == 8)
            alphabetic = lParam != 0;
        return wParam == 7 ? (alphabetic ? 1 : 0) : 0;
    }
};

TEST(SoftKeyboard, CommandsAndCapsLock)
{
    using Commands = std::vector<std::pair<WPARAM, LPARAM>>;
    const Commands ask{{7, 0}};
    struct Case { bool alphabetic; bool caps; int type; Commands commands; int capsPresses; };
    const std::vector<Case> cases = {
        {true, false, 0, {{7, 0}, {8, 0}}, 0},  {true, true, 0, {{7, 0}, {8, 0}}, 0},
        {false, false, 0, ask, 0},              {false, true, 0, ask, 0},
        {true, false, 1, ask, 1},               {true, true, 1, ask, 0},
        {false, false, 1, {{7, 0}, {8, 1}}, 1}, {false, true, 1, {{7, 0}, {8, 1}}, 0},
        {true, false, 2, ask, 0},               {true, true, 2, ask, 1},
        {false, false, 2, {{7, 0}, {8, 1}}, 0}, {false, true, 2, {{7, 0}, {8, 1}}, 1},
        {true, false, 3, ask, 0},               {false, true, 3, ask, 0},
    };
    for (const Case& c : cases) {
        Keyboard keyboard;
        ASSERT_TRUE(keyboard.Create(L"Keybord Window", L"", 0, CRect(0, 0, 10, 10), nullptr));
        keyboard.alphabetic = c.alphabetic;
        setCapsLock(c.caps);
        clearRecordedKeyEvents();
        CtrlChar(static_cast<CHARACTOR_TYPE>(c.type));
        const std::string name = std::string(c.alphabetic ? "alphabetic" : "numeric") + (c.caps ? ", caps on" : "") +
                                 ", type " + std::to_string(c.type);
        EXPECT_EQ(keyboard.commands, c.commands) << name;
        const std::vector<KeyEventRecord> keys = recordedKeyEvents();
        ASSERT_EQ(keys.size(), 2u * static_cast<std::size_t>(c.capsPresses)) << name;
        if (c.capsPresses) {
            EXPECT_EQ(keys[0].key, VK_CAPITAL);
            EXPECT_EQ(keys[0].flags, 0u) << "press";
            EXPECT_EQ(keys[1].flags, KEYEVENTF_KEYUP) << "release";
            EXPECT_EQ((GetKeyState(VK_CAPITAL) & 1) != 0, c.type == 1) << name << ": Caps Lock follows the case";
        }
    }
    // Without the keyboard: nothing at all, Caps Lock included.
    setCapsLock(false);
    clearRecordedKeyEvents();
    CtrlChar(CHARACTOR_UPPER);
    EXPECT_TRUE(recordedKeyEvents().empty());

    Keyboard keyboard;
    ASSERT_TRUE(keyboard.Create(L"Keybord Window", L"", 0, CRect(0, 0, 10, 10), nullptr));
    SetDefaultCharType(static_cast<FIELD_TYPE>(3), CHARACTOR_LOWER);
    SetDefaultCharType(static_cast<FIELD_TYPE>(5), CHARACTOR_UPPER);  // ignored
    CtrlCharByFieldType(static_cast<FIELD_TYPE>(3));
    EXPECT_EQ(keyboard.commands, (Commands{{7, 0}, {8, 1}}));
    CtrlCharByFieldType(static_cast<FIELD_TYPE>(5));
    CtrlCharByFieldType(static_cast<FIELD_TYPE>(-1));
    EXPECT_EQ(keyboard.commands.size(), 2u) << "field types outside 0 to 4 do nothing";
    setCapsLock(false);
}

class SettingsFile : public DeviceRootTest {};

TEST_F(SettingsFile, IdentifiersAndPlaces)
{
    CTICGlobalSettingsFile settings(L"\\ostrand.ini");
    int i = 5;
    EXPECT_FALSE(settings.GetInt(8, i)) << "accepted, no place";
    EXPECT_EQ(i, kNothingStored);
    i = 5;
    EXPECT_FALSE(settings.GetInt(2010, i));
    EXPECT_EQ(i, 5) << "outside 1..2009: untouched";
    EXPECT_FALSE(settings.GetInt(0, i));
    EXPECT_FALSE(settings.SetInt(8, 1, true));
    EXPECT_FALSE(settings.SetReal(14, 1.0, true));
    EXPECT_TRUE(settings.SetUint(1999, 1, true)) << "accepted, no place: true";
    EXPECT_FALSE(settings.SetUint(2010, 1, true));
    EXPECT_FALSE(hostExists("ostrand.ini")) << "nothing stored, nothing saved";

    unsigned int u = 9;
    EXPECT_TRUE(settings.SetUint(1, 0, false));
    EXPECT_FALSE(settings.GetUint(1, u)) << "a stored 0";
    EXPECT_EQ(u, 0u);
    EXPECT_TRUE(settings.SetInt(2, kNothingStored, false));
    EXPECT_FALSE(settings.GetInt(2, i)) << "the sentinel reads as nothing stored";
    EXPECT_TRUE(settings.SetInt(2, -3, false));
    EXPECT_TRUE(settings.GetInt(2, i));
    EXPECT_EQ(i, -3);
    EXPECT_FALSE(hostExists("ostrand.ini")) << "not saved yet";

    EXPECT_TRUE(settings.SetReal(11, 2.5, true));
    const std::string text = readHost("ostrand.ini");
    EXPECT_NE(text.find("[Settings]\n"), std::string::npos);
    EXPECT_NE(text.find("StakeIncPtBy=2.500000\n"), std::string::npos) << text;
    double r = 0;
    EXPECT_TRUE(settings.GetReal(11, r));
    EXPECT_EQ(r, 2.5);
    EXPECT_TRUE(settings.Save());
}

TEST_F(SettingsFile, StoredTextsAsRead)
{
    writeHost("ostrand.ini", "[Settings]\nMenuType=abc\nCtrlerPortGps=-1\nEuStyle=7x\n[Bluetooth]\nPortPC=12\n");
    CTICGlobalSettingsFile settings(L"\\ostrand.ini");
    int i = 0;
    EXPECT_FALSE(settings.GetInt(2, i)) << "\"abc\" is no number";
    unsigned int u = 0;
    EXPECT_TRUE(settings.GetUint(1, u));
    EXPECT_EQ(u, 4294967295u) << "\"-1\" read with %u";
    EXPECT_TRUE(settings.GetInt(2006, i));
    EXPECT_EQ(i, 12);
}

// For every identifier with a place: set with save, then a new object in a new process reads it.
TEST_F(SettingsFile, ValuesComeBackInANewProcess)
{
    std::mt19937 random(57);
    const int ids[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009};
    struct Stored { int id; int kind; long long integer; double real; };
    std::vector<Stored> stored;
    {
        CTICGlobalSettingsFile settings(L"\\ostrand.ini");
        for (int id : ids) {
            const int kind = static_cast<int>(random() % 3);
            Stored s{id, kind, 0, 0.0};
            if (kind == 0) {
                int v;
                do
                    v = static_cast<int>(random());
                while (v == kNothingStored);
                s.integer = v;
                ASSERT_TRUE(settings.SetInt(id, v, true));
            } else if (kind == 1) {
                const unsigned int v = static_cast<unsigned int>(random()) | 1u;
                s.integer = v;
                ASSERT_TRUE(settings.SetUint(id, v, true));
            } else {
                s.real = std::round((static_cast<double>(random()) / 1000.0 - 2e6) * 1e6) / 1e6;
                ASSERT_TRUE(settings.SetReal(id, s.real, true));
            }
            stored.push_back(s);
        }
    }
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            CTICGlobalSettingsFile settings(L"\\ostrand.ini");
            int failed = 0;
            for (const Stored& s : stored) {
                if (s.kind == 0) {
                    int v = 0;
                    failed += !settings.GetInt(s.id, v) || v != s.integer;
                } else if (s.kind == 1) {
                    unsigned int v = 0;
                    failed += !settings.GetUint(s.id, v) || v != s.integer;
                } else {
                    double v = 0;
                    failed += !settings.GetReal(s.id, v) || std::fabs(v - s.real) > 5e-7;
                }
            }
            std::_Exit(failed);
        },
        ::testing::ExitedWithCode(0), "");
}

// The process's settings object is saved when the program exits normally, without a save.
TEST_F(SettingsFile, SavedAtExit)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            CTICGlobalSettings* settings = GetTICGlobalSettings();
            if (!settings || !settings->SetInt(13, 42, false))
                std::_Exit(3);
            std::exit(0);  // exit handlers run
        },
        ::testing::ExitedWithCode(0), "");
    // The child made the user settings folder in this test's root on its first call.
    const std::string text = readHost("Program Files/osd_setup/ostrand.ini");
    EXPECT_NE(text.find("RangeDelimiter=42"), std::string::npos) << text;
}

class Sounds : public DeviceRootTest {};

// In a fresh process whose device root is the test's: the sound folder is found once.
int checkSounds(const std::string& root)
{
    setDeviceRoot(root);
    const CString folder = AppStrPaths::GetSoundFilePath();
    const std::string host = root + "/Program Files/fieldcore/sounds";
    std::filesystem::create_directories(host);
    std::ofstream(host + "/calccomplete.wav") << "RIFF";  // stored in another case
    const wchar_t* names[] = {L"alarm.wav", L"connected.wav", L"epochaccepted.wav", L"sideshot.wav",
                              L"CalcComplete.wav", L"popup.wav", L"buzz.wav", L"fix.wav", L"float.wav",
                              L"measure.wav"};
    int failed = 0;
    for (int s = -1; s <= 10; ++s) {
        clearRecordedSounds();
        Sound(static_cast<ESounds>(s));
        const std::vector<SoundRecord> got = recordedSounds();
        if (s < 0 || s > 9) {
            failed += !got.empty();
            continue;
        }
        const bool right = got.size() == 1 && got[0].path == folder + L"\\" + names[s] &&
                           got[0].flags == (SND_ASYNC | SND_NODEFAULT | SND_FILENAME) &&
                           got[0].fileExisted == (s == 4);
        if (!right)
            std::fprintf(stderr, "sound %d\n", s);
        failed += !right;
    }
    return failed;
}

TEST_F(Sounds, EachValuePlaysItsFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SOUNDS_TEST_ROOT", m_root.c_str(), 0);
    EXPECT_EXIT(std::_Exit(checkSounds(std::getenv("SOUNDS_TEST_ROOT"))), ::testing::ExitedWithCode(0), "");
    unsetenv("SOUNDS_TEST_ROOT");
}

} // namespace

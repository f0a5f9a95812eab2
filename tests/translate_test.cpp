// The translator: dictionary parsing and order, lookup, missing-text collection, windows,
// menus and command bars.
#include "deviceRootFixture.h"

#include "files/translate.h"
#include "platform/commandBar.h"
#include "platform/menu.h"
#include "platform/textCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

const std::string kBom("\xFF\xFE", 2);

std::string le(const std::wstring& text) { return WideToUtf16Le(text); }

// Every test starts and ends without a translator.
class Translate : public DeviceRootTest {
protected:
    void SetUp() override
    {
        DeviceRootTest::SetUp();
        FinalizeTranslateFile();
    }
    void TearDown() override
    {
        FinalizeTranslateFile();
        DeviceRootTest::TearDown();
    }
    // Writes the dictionary "xl/dict.txt" and starts the translator on it (and on "xl/miss.txt").
    void start(const std::wstring& dictionary, bool bom = true)
    {
        writeHost("xl/dict.txt", (bom ? kBom : "") + le(dictionary));
        InitializeTranslateFile(L"\\xl", L"dict.txt", L"miss.txt");
    }
};

std::wstring text(const CString& s) { return std::wstring(static_cast<const wchar_t*>(s)); }

std::wstring windowText(HWND window)
{
    wchar_t buffer[64];
    GetWindowTextW(window, buffer, 64);
    return buffer;
}

std::wstring menuText(HMENU menu, UINT position)
{
    wchar_t buffer[300];
    GetMenuStringW(menu, position, buffer, 300, MF_BYPOSITION);
    return buffer;
}

// Keys match whole and with exact case; a key that is a prefix of another is found in either order.
TEST_F(Translate, KeysMatchExactlyAndPrefixKeysInEitherOrder)
{
    for (const wchar_t* file : {L"[Point][Punkt]\r\n[Points][Punkte]\r\n", L"[Points][Punkte]\r\n[Point][Punkt]\r\n",
                                L"[P][p][Points][Punkte][Po][po][Point][Punkt][Poi][poi]"}) {
        start(file);
        EXPECT_EQ(text(Xlate(L"Point")), L"Punkt") << file;
        EXPECT_EQ(text(Xlate(L"Points")), L"Punkte") << file;
        EXPECT_EQ(text(Xlate(L"Poin")), L"Poin") << file;
        EXPECT_EQ(text(Xlate(L"Pointsx")), L"Pointsx") << file;
        EXPECT_EQ(text(Xlate(L"point")), L"point") << file;
    }
}

TEST_F(Translate, ParsingRules)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::pair<std::wstring, std::wstring>> entries;   // in lookup order
    };
    const std::vector<Case> cases = {
        {"bom and line ends outside", kBom + le(L"[a]\r\n[b]\r\n"), {{L"a", L"b"}}},
        {"no bom", le(L"[a][b]"), {{L"a", L"b"}}},
        {"key holds '['", le(L"[a[b][c]"), {{L"a[b", L"c"}}},
        {"text between skipped", le(L"[k] junk ] more [v]"), {{L"k", L"v"}}},
        {"empty key", le(L"[][empty]"), {{L"", L"empty"}}},
        {"unpaired last", le(L"[a][b][c]"), {{L"a", L"b"}}},
        {"open last", le(L"[a][b][c][d"), {{L"a", L"b"}}},
        {"odd last byte", le(L"[a][b]") + "x", {{L"a", L"b"}}},
        {"odd byte inside the last pair", le(L"[a][b") + "]", {}},
        {"no brackets", le(L"plain text"), {}},
        {"nothing", "", {}},
        {"longer first", le(L"[ab][1][a][2][abc][3]"), {{L"abc", L"3"}, {L"ab", L"1"}, {L"a", L"2"}}},
    };
    for (const Case& c : cases) {
        CXlateDictionary d;
        d.Parse(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(d.Count(), static_cast<int>(c.entries.size())) << c.what;
        for (int i = 0; i < d.Count(); ++i) {
            EXPECT_EQ(text(d.Key(i)), c.entries[i].first) << c.what;
            EXPECT_EQ(text(d.Value(i)), c.entries[i].second) << c.what;
        }
    }
}

TEST_F(Translate, ValueHoldingAZeroUnitIsKeptWhole)
{
    // "[k][a" U+0000 "b]": the value came back as "a", cut at the zero.
    const std::string bytes = le(L"[k][a") + std::string(2, '\0') + le(L"b]");
    start(std::wstring(L"[k][a") + L'\0' + L"b]");
    EXPECT_EQ(Xlate(L"k").GetLength(), 3);
    CXlateDictionary d;
    d.Parse(bytes.data(), bytes.size());
    EXPECT_EQ(text(d.Value(0)).size(), 1u) << "text() stops at the zero";
    EXPECT_EQ(d.Value(0).GetLength(), 3);
}

TEST_F(Translate, UnitsBeyondBmpSortAsUtf16)
{
    // U+E000 is above a surrogate unit in UTF-16 but below U+10000 as a code point.
    const std::wstring high(1, static_cast<wchar_t>(0x10000)), pua(1, static_cast<wchar_t>(0xE000));
    const std::string bytes = le(L"[" + pua + L"][pua][" + high + L"][high][" + high + L"x][highx]");
    CXlateDictionary d;
    d.Parse(bytes.data(), bytes.size());
    ASSERT_EQ(d.Count(), 3);
    EXPECT_EQ(text(d.Key(0)), high + L"x");
    EXPECT_EQ(text(d.Key(1)), high);
    EXPECT_EQ(text(d.Key(2)), pua);
    EXPECT_EQ(text(d.Value(d.Find(WideToUtf16(high.c_str(), 1)))), L"high");
    EXPECT_EQ(text(d.Value(d.Find(WideToUtf16(pua.c_str(), 1)))), L"pua");
}

TEST_F(Translate, FirstOfEqualKeysWins)
{
    const std::string bytes = le(L"[b][1]\r\n[a][first]\n[a][second]\n[a][third]");
    CXlateDictionary d;
    d.Parse(bytes.data(), bytes.size());
    const int found = d.Find(u"a");
    ASSERT_EQ(found, 0);
    EXPECT_EQ(text(d.Value(found)), L"first");
    EXPECT_EQ(d.Line(0), 2);
    EXPECT_FALSE(d.IsDuplicate(0));
    EXPECT_TRUE(d.IsDuplicate(1));
    EXPECT_EQ(d.Line(1), 3);
    EXPECT_TRUE(d.IsDuplicate(2));
    EXPECT_FALSE(d.IsDuplicate(3));
    start(L"[a][first][a][second]");
    EXPECT_EQ(text(Xlate(L"a")), L"first");
}

TEST_F(Translate, CollectionWritesEachTextOnce)
{
    writeHost("xl/miss.txt", kBom);
    InitializeTranslateFile(L"\\xl", nullptr, L"miss.txt");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(text(Xlate(L"Cancel")), L"Cancel");
    FinalizeTranslateFile();
    EXPECT_EQ(readHost("xl/miss.txt"), kBom + le(L"[Cancel]\r\n[Cancel]\r\n"));
}

TEST_F(Translate, StartingAgainFinalizesTheTranslatorBefore)
{
    writeHost("xl/miss.txt", kBom);
    InitializeTranslateFile(L"\\xl", nullptr, L"miss.txt");
    Xlate(L"A");
    InitializeTranslateFile();
    EXPECT_EQ(readHost("xl/miss.txt"), kBom + le(L"[A]\r\n[A]\r\n"));
    Xlate(L"B");
    FinalizeTranslateFile();
    EXPECT_EQ(readHost("xl/miss.txt"), kBom + le(L"[A]\r\n[A]\r\n")) << "the new one collects nothing";
}

TEST_F(Translate, CollectionKeepsFirstSeenOrderAndFileTexts)
{
    writeHost("xl/miss.txt", kBom + le(L"[Zeta]\r\n[Zeta]\r\n[Alpha]\r\n[Alpha]\r\n"));
    start(L"[Cancel][Abbrechen]");
    Xlate(L"Mid");
    Xlate(L"Cancel");   // found: not collected
    Xlate(L"Alpha");    // already in the file
    Xlate(L"Beta");
    FinalizeTranslateFile();
    EXPECT_EQ(readHost("xl/miss.txt"),
              kBom + le(L"[Zeta]\r\n[Zeta]\r\n[Alpha]\r\n[Alpha]\r\n[Mid]\r\n[Mid]\r\n[Beta]\r\n[Beta]\r\n"));
}

TEST_F(Translate, CollectionNeedsAFileThatMaps)
{
    // Missing: stays missing. Empty: stays empty. Nothing written either way.
    InitializeTranslateFile(L"\\xl", nullptr, L"miss.txt");
    CWnd none;
    EXPECT_EQ(XlateWndTitle(none), -1) << "neither dictionary nor collection";
    Xlate(L"x");
    FinalizeTranslateFile();
    EXPECT_FALSE(hostExists("xl/miss.txt"));
    writeHost("xl/miss.txt", "");
    InitializeTranslateFile(L"\\xl", nullptr, L"miss.txt");
    Xlate(L"x");
    FinalizeTranslateFile();
    EXPECT_EQ(readHost("xl/miss.txt"), "");
}

TEST_F(Translate, TextsHoldingACloseBracketAreNotWritten)
{
    int skipped = -1;
    EXPECT_EQ(MissingTextsFileBytes({L"a]b", L"c[d", L""}, &skipped), kBom + le(L"[c[d]\r\n[c[d]\r\n[]\r\n[]\r\n"));
    EXPECT_EQ(skipped, 1);
}

TEST_F(Translate, NoTranslatorAndNullText)
{
    CWnd w;
    ASSERT_TRUE(w.Create(L"dialog", L"Title", 0, CRect(0, 0, 10, 10), nullptr));
    CMenu menu;
    menu.CreatePopupMenu();
    for (int expected : {0, -1}) {  // before any start, then after a start without files
        EXPECT_EQ(text(Xlate(L"Cancel")), L"Cancel");
        EXPECT_EQ(text(Xlate(nullptr)), L"");
        for (int got : {XlateWnd(w), XlateWndTitle(w), XlateWndMenu(w), XlateMenu(menu), XlateMenu(w.m_hWnd)})
            EXPECT_EQ(got, expected);
        InitializeTranslateFile();
    }
}

TEST_F(Translate, StringResources)
{
    HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(0x5150));
    SetStringResource(module, 12, L"Cancel");
    start(L"[Cancel][Abbrechen]"
          L"[String 77 not found in module \\Program Files\\fieldcore\\fieldcore.exe.][Text 77 fehlt.]");
    EXPECT_EQ(text(Xlate(12u, module)), L"Abbrechen");
    EXPECT_EQ(text(Xlate(77u, module)), L"Text 77 fehlt.");
    EXPECT_EQ(text(Xlate(78u, module)), L"String 78 not found in module \\Program Files\\fieldcore\\fieldcore.exe.");
    SetStringResource(module, 13, std::wstring(600, L'x').c_str());
    EXPECT_EQ(text(Xlate(13u, module)), std::wstring(511, L'x'));
    SetStringResource(module, 12, nullptr);
    SetStringResource(module, 13, nullptr);
}

TEST_F(Translate, ChildWindowsByClassAndStyle)
{
    start(L"[Cancel][Abbrechen][Title][Titel]");
    CWnd none;
    EXPECT_EQ(XlateWnd(none), -1) << "no window";
    struct Case {
        const wchar_t* className;
        DWORD style;
        bool translated;
    };
    const std::vector<Case> cases = {
        {L"edit", 0, false},         {L"EDIT", 0, false},          {L"ComboBox", 0, false},
        {L"combobox", 3, false},     {L"LISTBOX", 0, false},       {L"listbox", 0x0B, false},
        {L"button", 0x00, true},     {L"Button", 0x03, true},      {L"BUTTON", 0x09, true},
        {L"button", 0x0B, false},    {L"button", 0x0F, false},     {L"button", 0x1B, false},
        {L"button", 0x0A, true},     {L"static", 0x00, true},      {L"Static", 0x01, true},
        {L"STATIC", 0x02, true},     {L"static", 0x03, false},     {L"static", 0x07, false},
        {L"static", 0x0B, false},    {L"static", 0x0E, false},     {L"static", 0x0F, false},
        {L"static", 0x0C, true},     {L"static", 0x0D, true},      {L"static", 0x06, true},
        {L"statics", 0x03, true},    {L"mycontrol", 0x0F, true},   {L"", 0, true},
        {L"editor", 0, true},
    };
    CWnd dialog;
    ASSERT_TRUE(dialog.Create(L"dialog", L"Title", 0, CRect(0, 0, 10, 10), nullptr));
    std::vector<HWND> children;
    for (const Case& c : cases)
        children.push_back(CreateWindowW(c.className, L"Cancel", WS_CHILD | c.style, 0, 0, 1, 1, dialog.m_hWnd,
                                         nullptr, nullptr, nullptr));
    const HWND grandchild =
        CreateWindowW(L"static", L"Cancel", WS_CHILD, 0, 0, 1, 1, children.back(), nullptr, nullptr, nullptr);
    EXPECT_EQ(XlateWnd(dialog), static_cast<int>(cases.size()));
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(windowText(children[i]), cases[i].translated ? L"Abbrechen" : L"Cancel")
            << "class '" << WideToUtf8(cases[i].className) << "' style " << cases[i].style;
    EXPECT_EQ(windowText(grandchild), L"Cancel") << "grandchildren are not visited";
    EXPECT_EQ(windowText(dialog.m_hWnd), L"Titel") << "the window's own title";
}

// A menu tree's content, for comparing structure, states, identifiers and texts.
struct Node {
    UINT id, state;
    std::wstring text;
    HMENU submenu;
    std::vector<Node> children;
    bool operator==(const Node& o) const
    {
        return id == o.id && state == o.state && text == o.text && submenu == o.submenu && children == o.children;
    }
};

std::vector<Node> dump(HMENU menu)
{
    std::vector<Node> nodes;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        Node n{GetMenuItemID(menu, i), GetMenuState(menu, i, MF_BYPOSITION), menuText(menu, i), GetSubMenu(menu, i), {}};
        if (n.submenu)
            n.children = dump(n.submenu);
        nodes.push_back(n);
    }
    return nodes;
}

void translateExpected(std::vector<Node>& nodes)
{
    for (Node& n : nodes) {
        if (n.text == L"Open" && n.id != 0)
            n.text = L"Öffnen";
        else if (n.text == L"File")
            n.text = L"Datei";
        else if (n.text == L"Deep")
            n.text = L"Tief";
        translateExpected(n.children);
    }
}

TEST_F(Translate, MenusThreeDeep)
{
    start(L"[Open][Öffnen][File][Datei][Deep][Tief]");
    CMenu bar;
    bar.CreateMenu();
    const HMENU file = CreatePopupMenu(), deep = CreatePopupMenu(), deeper = CreatePopupMenu();
    AppendMenuW(deeper, MF_STRING | MF_CHECKED, 31, L"Open");
    AppendMenuW(deeper, MF_STRING | MF_GRAYED, 32, L"Other");
    AppendMenuW(deep, MF_STRING, 21, L"Open");
    AppendMenuW(deep, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(deeper), L"Deep");
    AppendMenuW(file, MF_STRING | MF_CHECKED | MF_GRAYED, 11, L"Open");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, 0, L"Open");   // identifier 0: passed over
    AppendMenuW(file, MF_POPUP | MF_CHECKED, reinterpret_cast<UINT_PTR>(deep), L"Deep");
    AppendMenuW(file, MF_STRING | MF_DISABLED, 12, L"");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
    bar.AppendMenu(MF_STRING, 2, L"Open");
    std::vector<Node> expected = dump(bar);
    translateExpected(expected);
    EXPECT_EQ(expected[0].children[2].text, L"Open");
    EXPECT_EQ(XlateMenu(bar), 0);
    EXPECT_TRUE(dump(bar) == expected);
    EXPECT_EQ(GetMenuItemCount(file), 5);
    EXPECT_EQ(GetMenuItemID(file, 3), 0xFFFFFFFFu);
    EXPECT_EQ(GetMenuState(file, 3, MF_BYPOSITION) & 0xFF, MF_POPUP | MF_CHECKED);

    CWnd frame;
    ASSERT_TRUE(frame.Create(L"frame", L"", 0, CRect(0, 0, 10, 10), nullptr));
    EXPECT_EQ(XlateWndMenu(frame), -1) << "no menu";
    const HMENU own = CreateMenu();
    AppendMenuW(own, MF_STRING, 5, L"File");
    SetMenu(frame.m_hWnd, own);
    EXPECT_EQ(XlateWndMenu(frame), 0);
    EXPECT_EQ(menuText(own, 0), L"Datei");
    EXPECT_EQ(XlateMenu(static_cast<HMENU>(nullptr)), -1);
}

TEST_F(Translate, MenuTextsAreReadUpTo256Characters)
{
    start(L"[" + std::wstring(256, L'a') + L"][long]");
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 1, std::wstring(257, L'a').c_str());
    EXPECT_EQ(XlateMenu(menu), 0);
    CString result;
    menu.GetMenuString(0, result, MF_BYPOSITION);
    EXPECT_EQ(text(result), L"long");
}

TEST_F(Translate, CommandBarOf17Buttons)
{
    start(L"[File][Datei][Open][Öffnen]");
    CWnd frame;
    ASSERT_TRUE(frame.Create(L"frame", L"", 0, CRect(0, 0, 10, 10), nullptr));
    const HWND bar = CommandBar_Create(nullptr, frame.m_hWnd, 1);
    std::vector<HMENU> menus;
    for (int i = 0; i < 17; ++i) {
        const HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 100 + i, L"Open");
        menus.push_back(menu);
        TCommandBarButton button;
        button.text = i % 2 ? L"File" : L"Other";
        button.command = 1000 + i;
        button.menu = menu;
        ASSERT_TRUE(CommandBar_InsertButton(bar, i, button));
    }
    EXPECT_EQ(XlateMenu(frame.m_hWnd), 15);
    ASSERT_EQ(CommandBar_ButtonCount(bar), 17);
    for (int i = 0; i < 17; ++i) {
        TCommandBarButton button;
        ASSERT_TRUE(CommandBar_GetButton(bar, i, &button));
        const bool handled = i < 15;
        EXPECT_EQ(text(button.text), i % 2 ? (handled ? L"Datei" : L"File") : L"Other") << i;
        EXPECT_EQ(button.command, 1000u + i);
        EXPECT_EQ(button.menu, menus[i]);
        EXPECT_EQ(menuText(menus[i], 0), handled ? L"Öffnen" : L"Open") << i;
        EXPECT_EQ(GetMenuItemID(menus[i], 0), 100u + i);
    }
    EXPECT_EQ(XlateMenu(bar), 15) << "the bar itself";
    CWnd bare;
    ASSERT_TRUE(bare.Create(L"frame", L"", 0, CRect(0, 0, 10, 10), nullptr));
    EXPECT_EQ(XlateMenu(bare.m_hWnd), -1) << "no command bar";
    CommandBar_Create(nullptr, bare.m_hWnd, 1);
    EXPECT_EQ(XlateMenu(bare.m_hWnd), 0) << "an empty bar";
}

// Random texts of units that stress the order: prefixes, surrogate pairs, U+E000 and up.
std::wstring randomText(std::mt19937& rng, const std::wstring& base)
{
    static const std::vector<wchar_t> alphabet = {L'a', L'b', L'[', L' ', static_cast<wchar_t>(0xE000),
                                                  static_cast<wchar_t>(0xFFFF), static_cast<wchar_t>(0x10000),
                                                  static_cast<wchar_t>(0x10FFFF), static_cast<wchar_t>(0xD7FF),
                                                  L'\r', L'\n', static_cast<wchar_t>(0xFEFF)};
    std::wstring t = base;
    const int n = std::uniform_int_distribution<int>(0, 4)(rng);
    for (int i = 0; i < n; ++i)
        t += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
    return t;
}

TEST_F(Translate, PropertyRandomDictionaries)
{
    std::mt19937 rng(36);
    for (int round = 0; round < 40; ++round) {
        std::set<std::wstring> keys;
        std::vector<std::wstring> chain;   // a prefix chain
        std::wstring link;
        for (int i = 0; i < 6; ++i)
            keys.insert(link = randomText(rng, link) + L"p");
        while (keys.size() < 60)
            keys.insert(randomText(rng, L""));
        std::vector<std::wstring> order(keys.begin(), keys.end());
        std::shuffle(order.begin(), order.end(), rng);
        std::wstring file;
        for (size_t i = 0; i < order.size(); ++i)
            file += L"[" + order[i] + L"]\r\n[v" + std::to_wstring(i) + L"]\r\n";
        start(file, round % 2 == 0);
        for (size_t i = 0; i < order.size(); ++i)
            ASSERT_EQ(text(Xlate(order[i].c_str())), L"v" + std::to_wstring(i)) << "round " << round << " key " << i;
        for (int i = 0; i < 100; ++i) {
            const std::wstring other = randomText(rng, L"") + randomText(rng, L"");
            if (!keys.count(other)) {
                ASSERT_EQ(text(Xlate(other.c_str())), other) << "round " << round;
            }
        }
    }
}

TEST_F(Translate, PropertyMissingTextsRoundTrip)
{
    std::mt19937 rng(3636);
    for (int round = 0; round < 20; ++round) {
        writeHost("xl/miss.txt", kBom);
        InitializeTranslateFile(L"\\xl", nullptr, L"miss.txt");
        std::vector<std::wstring> asked;
        std::set<std::wstring> seen;
        for (int i = 0; i < 50; ++i) {
            const std::wstring t = randomText(rng, L"");
            Xlate(t.c_str());
            if (seen.insert(t).second)
                asked.push_back(t);
        }
        FinalizeTranslateFile();
        const std::string written = readHost("xl/miss.txt");
        EXPECT_EQ(written, MissingTextsFileBytes(asked));
        InitializeTranslateFile(L"\\xl", nullptr, L"miss.txt");   // read back, nothing added
        FinalizeTranslateFile();
        EXPECT_EQ(readHost("xl/miss.txt"), written) << "round " << round;
        CXlateDictionary d;
        d.Parse(written.data(), written.size());
        std::set<std::wstring> read;
        for (int i = 0; i < d.Count(); ++i)
            read.insert(text(d.Key(i)));
        EXPECT_EQ(read, seen) << "round " << round;
    }
}

} // namespace

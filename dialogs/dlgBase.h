// CDlgBase: the base class of the application's dialogs. It gives every dialog the same frame:
// the title bar (dialogs/titlebar.h) with a menu button, the title and the OK/Finish and
// Cancel/Close buttons; a bold font; the soft-keyboard indicator; the controller's hardware keys
// (F1 to F9, Enter, Escape, the four arrows and a calculator key) mapped onto overridable
// handlers; an edit's whole text selected when it gets the focus; functions that enable, show
// and read controls. It tells the application when a top-level dialog opens (message 10025,
// sent to the parent) and closes (10024, posted to the main window, else to the parent).
//
// The bar's buttons: "OK" and "Finish" (command IDOK), "Cancel" and "Close" (command IDCANCEL),
// each translated (Xlate) when the dialog initialises; the menu button at "A" (command 11023,
// bitmap "IDB_TITLEBAR2") with the item "Help" (translated, command 83) unless the country
// setting is 81; the title at "B"; with the soft-keyboard indicator on (GetShowAlphaKeyMode), a
// bitmap at "R": "IDB_ALPHAKEY" while the window named "Keybord Window" answers command 7 with
// non-zero, else "IDB_TITLEBAR_EMPTY". The bar makes the dialog full screen.
//
// Keys (PreTranslateMessage, which sees every key of the dialog's controls too, see
// platform/dialog.h): a handler that returns non-zero consumes its key; see the table in
// dlgBase.cpp. The default CalcKey opens the calculator (dialogs/calculator.h) and returns 0.
//
// A modal dialog that nobody answers ends with IDCANCEL (platform/dialog.h); one that runs a
// tic timer (devices/ticTimer.h) waits for it.
#pragma once

#include "dialogs/titlebar.h"
#include "files/globalSettings.h"
#include "platform/dialog.h"
#include "platform/gdi.h"

// The application's messages, both with wParam and lParam 0.
constexpr UINT WM_DIALOG_OPENED = 10025;   // 0x2729, sent to the parent of a top-level dialog
constexpr UINT WM_DIALOG_CLOSED = 10024;   // 0x2728, posted when a top-level dialog is destroyed

// The bar's commands beyond IDOK and IDCANCEL.
constexpr UINT kMenuButtonCommand = 11023;
constexpr UINT kHelpCommand = 83;
// The country whose dialogs have no "Help" item.
constexpr int kCountryWithoutHelp = 81;
// The soft keyboard's window name and its mode query (a non-zero answer: alphabetic).
extern const wchar_t* const kKeyboardWindowName;   // "Keybord Window", as spelt
constexpr WPARAM kKeyboardModeQuery = 7;
// The calculator prefix key.
constexpr UINT kCalcPrefixKey = 0xC1;
// The key that opens the calculator while Shift is held.
constexpr UINT kCalcShiftKey = 0xBF;

// ChangeControlsState actions.
enum TControlsAction { CONTROLS_ENABLE = 0, CONTROLS_DISABLE = 1, CONTROLS_HIDE = 2, CONTROLS_SHOW = 3 };

class CDlgBase : public CDialog {
public:
    CDlgBase();
    CDlgBase(UINT templateId, CWnd* parent);
    CDlgBase(LPCWSTR templateName, CWnd* parent);
    CDlgBase(const DialogTemplate& dialogTemplate, CWnd* parent);
    ~CDlgBase() override;

    // Title-bar choices, before the dialog initialises.
    void ShowOkButton() { m_okButton = true; m_finishButton = false; }
    void ShowFinishButton() { m_finishButton = true; m_okButton = false; }
    void ShowCancelButton() { m_cancelButton = true; m_closeButton = false; }
    void HideCloseButton() { m_closeButton = false; }
    void HideMenuButton() { m_menuButton = false; }
    void HideTitle() { m_title = false; }

    // Forwarding to the bar; the menu operations act on the menu button at "A".
    void AddButton(const wchar_t* pos, const wchar_t* text, UINT commandId);
    void AddMenuButton(const wchar_t* pos, UINT commandId, const wchar_t* bitmapName);
    void AddMenuItem(const wchar_t* text, UINT commandId, int index);
    void AddSeparator(int index);
    void RemoveMenuItem(int index);
    void RemoveAllMenuItems();
    void CheckTbarMenuItem(UINT commandId, UINT flags);
    void EnableTbarMenuItem(UINT commandId, UINT flags);
    void ChangeButtonBitmap(const wchar_t* bitmapName);
    void ChangeButtonText(const wchar_t* pos, const wchar_t* text);
    void FinalizeChanges();
    void OnDisplayMenu();
    CTitlebar& Titlebar() { return m_titlebar; }

    // The caption; the bar's title is repainted when it is shown.
    void SetWindowTextW(const wchar_t* text);
    // Plays the sound (Sound; SOUND_NONE plays nothing), then shows the message pop-up
    // (dialogs/messagePopup.h) over this dialog with the text, the caption ("Warning!",
    // translated, when null) and the type, without time-out or extra buttons; its result. In a
    // process without a user it answers IDCANCEL (2) at once (platform/dialog.h).
    int MessageBoxW(const wchar_t* text, const wchar_t* caption = nullptr, UINT type = 0,
                    ESounds sound = SOUND_NONE);

    // Control functions by identifier. Those that change a control return false when the
    // dialog has no control of that identifier.
    bool SetDlgItemText(int id, const wchar_t* text);
    // The text (empty and 0 for no control); the length.
    int GetDlgItemText(int id, CString& text) const;
    // At most size - 1 characters and a zero; the number copied.
    int GetDlgItemText(int id, wchar_t* buffer, int size) const;
    bool EnableDlgItem(int id, bool enable = true);
    bool IsDlgItemEnabled(int id) const;
    bool ShowDlgItem(int id, bool show = true);
    // The control and the dialog are visible.
    bool IsDlgItemVisible(int id) const;
    bool CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    bool SetDlgEditReadOnly(int id, bool readOnly = true);
    bool SetDlgEditLimitText(int id, int limit);
    bool SetDlgItemFocus(int id);
    // Adds (removes) the digits-only style ES_NUMBER 0x2000 of an edit; other style bits stay.
    bool SetNumberOnly(int id);
    bool CancelNumberOnly(int id);

    // For each non-zero identifier of the array with a control: enable (0), disable (1), enable
    // and hide (2), or enable and show (3); an identifier 0, a missing control or another action
    // is passed over. False only when the window is missing, the array is null or count < 1.
    static bool ChangeControlsState(CWnd* wnd, const unsigned int* ids, int count, int action);
    bool EnableControls(const unsigned int* ids, int count);
    bool DisableControls(const unsigned int* ids, int count);
    bool HideControls(const unsigned int* ids, int count);
    bool ShowControls(const unsigned int* ids, int count);

    // The bold font (Arial, height 15, weight 700): SetBoldFont makes it into `font` (when the
    // object holds no font yet); GetBoldFont gives the one the dialogs share, made at the first
    // initialisation. Inside the class the setting of the same name is ::GetBoldFont().
    static void SetBoldFont(CFont* font);
    static CFont* GetBoldFont();

    bool IsNested() const { return m_nested; }
    bool CalcPrefixPressed() const { return m_calcPrefix; }
    bool ShiftHeld() const { return m_shift; }

    BOOL PreTranslateMessage(MSG* msg) override;

    // The key handlers: non-zero when the key was handled (and is consumed). The defaults
    // return 0 and do nothing, except UpdateAlphaKeyIndicator (sets the bitmap at "R" from the
    // keyboard's answer) and CalcKey (opens the calculator and clears both key flags).
    virtual int UpdateAlphaKeyIndicator();
    virtual int FunctionKeyF1() { return 0; }
    virtual int FunctionKeyF2() { return 0; }
    virtual int FunctionKeyF3() { return 0; }
    virtual int FunctionKeyF4() { return 0; }
    virtual int FunctionKeyF5() { return 0; }
    virtual int FunctionKeyF6() { return 0; }
    virtual int FunctionKeyF7() { return 0; }
    virtual int FunctionKeyF8() { return 0; }
    virtual int FunctionKeyF9() { return 0; }
    virtual int EnterKey() { return 0; }
    virtual int EscapeKey() { return 0; }
    virtual int ArrowUpKey() { return 0; }
    virtual int ArrowDownKey() { return 0; }
    virtual int ArrowLeftKey() { return 0; }
    virtual int ArrowRightKey() { return 0; }
    virtual int CalcKey();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnActivate(UINT state, HWND other) override;
    void OnDestroy() override;
    bool ExpectsInput() const override;

    CTitlebar m_titlebar;

private:
    void buildTitlebar();
    int keyDown(UINT key);

    bool m_okButton = false;
    bool m_cancelButton = false;
    bool m_closeButton = true;
    bool m_title = true;
    bool m_menuButton = true;
    bool m_finishButton = false;
    bool m_nested = false;
    bool m_calcPrefix = false;
    bool m_shift = false;
};

// The bitmap the soft-keyboard indicator shows now: "IDB_ALPHAKEY" while the window named
// "Keybord Window" exists and answers command 7 with non-zero, else "IDB_TITLEBAR_EMPTY".
const wchar_t* AlphaKeyBitmapName();

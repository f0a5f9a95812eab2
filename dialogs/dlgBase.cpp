#include "dialogs/dlgBase.h"

#include "devices/ticTimer.h"
#include "dialogs/calculator.h"
#include "dialogs/messagePopup.h"
#include "files/translate.h"
#include "platform/keyboard.h"
#include "platform/messageBox.h"

const wchar_t* const kKeyboardWindowName = L"Keybord Window";

namespace {

// Whether the parent is a dialog: a dialog object, or a window of the dialog class.
bool parentIsDialog(CWnd* parent)
{
    return parent && (dynamic_cast<CDialog*>(parent) || IsDialogWindow(parent->GetSafeHwnd()));
}

} // namespace

const wchar_t* AlphaKeyBitmapName()
{
    // Looked up by window name, as the dialogs have always done (the settings' CtrlChar looks
    // the same window up by class).
    const HWND keyboard = FindWindowW(nullptr, kKeyboardWindowName);
    const bool alphabetic = keyboard && ::SendMessage(keyboard, WM_COMMAND, kKeyboardModeQuery, 0) != 0;
    return alphabetic ? L"IDB_ALPHAKEY" : L"IDB_TITLEBAR_EMPTY";
}

CDlgBase::CDlgBase() = default;

CDlgBase::CDlgBase(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_nested(parentIsDialog(parent))
{
}

CDlgBase::CDlgBase(LPCWSTR templateName, CWnd* parent)
    : CDialog(templateName, parent), m_nested(parentIsDialog(parent))
{
}

CDlgBase::CDlgBase(const DialogTemplate& dialogTemplate, CWnd* parent)
    : CDialog(dialogTemplate, parent), m_nested(parentIsDialog(parent))
{
}

CDlgBase::~CDlgBase()
{
    // Destroyed here, while OnDestroy is still this class's: a top-level dialog still posts
    // its closing message.
    if (m_hWnd)
        DestroyWindow();
}

// ---- Initialising ----

BOOL CDlgBase::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    m_calcPrefix = false;
    m_shift = false;
    const HWND parent = GetParentHwnd();
    if (!m_nested && parent)
        ::SendMessage(parent, WM_DIALOG_OPENED, 0, 0);
    CFont* bold = GetBoldFont();
    // The setting gives the dialog and every control it was made with the bold font (the
    // platform's dialogs make their controls with the dialog's font).
    if (::GetBoldFont()) {
        SetFont(bold, FALSE);
        for (HWND child : childWindows(m_hWnd))
            SetWindowFont(child, bold->GetSafeHandle(), FALSE);
    }
    buildTitlebar();
    m_titlebar.InitDialog(this, nullptr, WT_DIALOG);
    return result;
}

void CDlgBase::buildTitlebar()
{
    const bool rightPairShown = m_cancelButton || m_closeButton;
    if (m_okButton)
        m_titlebar.AddButton(rightPairShown ? L"Y" : L"Z", Xlate(L"OK"), IDOK, nullptr);
    if (m_finishButton)
        m_titlebar.AddButton(rightPairShown ? L"Y" : L"Z", Xlate(L"Finish"), IDOK, nullptr);
    if (m_cancelButton)
        m_titlebar.AddButton(L"Z", Xlate(L"Cancel"), IDCANCEL, nullptr);
    if (m_closeButton)
        m_titlebar.AddButton(L"Z", Xlate(L"Close"), IDCANCEL, nullptr);
    if (m_menuButton) {
        m_titlebar.AddButton(L"A", L"", kMenuButtonCommand, L"IDB_TITLEBAR2", nullptr);
        if (GetCountry() != kCountryWithoutHelp)
            m_titlebar.AddMenuItem(L"A", Xlate(L"Help"), kHelpCommand, 0);
    }
    if (m_title)
        m_titlebar.AddTitle(L"B");
    if (GetShowAlphaKeyMode())
        m_titlebar.AddBitmap(L"R", AlphaKeyBitmapName());
}

// ---- Keys ----
//
// Key down: F1 to F9, Enter, Escape and the arrows call their handlers; Shift and the
// calculator prefix 0xC1 are remembered and consumed; the letter key F (0x46, not a function
// key: those have their rows) after the prefix, and 0xBF while Shift is held, call CalcKey; F24
// calls UpdateAlphaKeyIndicator while the indicator is on and is never consumed. A key whose
// handler returns non-zero is consumed; any other key, or a handler's 0, clears the calculator
// prefix and goes on to the toolkit. Key up: Shift clears the Shift flag.

BOOL CDlgBase::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYUP && msg->wParam == VK_SHIFT)
        m_shift = false;
    if (msg->message != WM_KEYDOWN)
        return CDialog::PreTranslateMessage(msg);
    const UINT key = static_cast<UINT>(msg->wParam);
    if (key == VK_SHIFT) {
        m_shift = true;
        return TRUE;
    }
    if (key == kCalcPrefixKey) {
        m_calcPrefix = true;
        return TRUE;
    }
    if (keyDown(key))
        return TRUE;
    m_calcPrefix = false;
    return CDialog::PreTranslateMessage(msg);
}

int CDlgBase::keyDown(UINT key)
{
    switch (key) {
    case VK_F1: return FunctionKeyF1();
    case VK_F1 + 1: return FunctionKeyF2();
    case VK_F1 + 2: return FunctionKeyF3();
    case VK_F1 + 3: return FunctionKeyF4();
    case VK_F1 + 4: return FunctionKeyF5();
    case VK_F1 + 5: return FunctionKeyF6();
    case VK_F1 + 6: return FunctionKeyF7();
    case VK_F1 + 7: return FunctionKeyF8();
    case VK_F9: return FunctionKeyF9();
    case VK_RETURN: return EnterKey();
    case VK_ESCAPE: return EscapeKey();
    case VK_UP: return ArrowUpKey();
    case VK_DOWN: return ArrowDownKey();
    case VK_LEFT: return ArrowLeftKey();
    case VK_RIGHT: return ArrowRightKey();
    case 'F': return m_calcPrefix ? CalcKey() : 0;
    case kCalcShiftKey: return m_shift ? CalcKey() : 0;
    case VK_F24:
        if (GetShowAlphaKeyMode())
            UpdateAlphaKeyIndicator();
        return 0;
    default: return 0;
    }
}

int CDlgBase::CalcKey()
{
    OpenCalculator(m_hWnd);
    m_calcPrefix = false;
    m_shift = false;
    return 0;
}

int CDlgBase::UpdateAlphaKeyIndicator()
{
    m_titlebar.ChangeBitmap(L"R", AlphaKeyBitmapName());
    return 0;
}

// ---- Messages ----

BOOL CDlgBase::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The focus rule: an edit that gets the focus has its whole text selected.
    if (HIWORD(wParam) == EN_SETFOCUS && lParam)
        ::SendMessage(reinterpret_cast<HWND>(lParam), EM_SETSEL, 0, -1);
    return CDialog::OnCommand(wParam, lParam);
}

void CDlgBase::OnActivate(UINT state, HWND other)
{
    CDialog::OnActivate(state, other);
    m_titlebar.Activate(state != WA_INACTIVE);
    if (state != WA_INACTIVE && GetShowAlphaKeyMode())
        UpdateAlphaKeyIndicator();
}

void CDlgBase::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_nested)
        return;
    const HWND target = GetMainWindow() ? GetMainWindow() : GetParentHwnd();
    if (target)
        ::PostMessage(target, WM_DIALOG_CLOSED, 0, 0);
}

bool CDlgBase::ExpectsInput() const
{
    // A time-out of the dialog's own (a tic timer on its window) will still come.
    TicTimerView view;
    if (!m_hWnd || !GetTicTimerView(view))
        return false;
    for (const TTicTimerSlot& slot : view.slots)
        if (slot.window == m_hWnd)
            return true;
    return false;
}

// ---- Title-bar forwarding ----

void CDlgBase::AddButton(const wchar_t* pos, const wchar_t* text, UINT commandId)
{
    m_titlebar.AddButton(pos, text, commandId, nullptr);
}

void CDlgBase::AddMenuButton(const wchar_t* pos, UINT commandId, const wchar_t* bitmapName)
{
    m_titlebar.AddButton(pos, L"", commandId, bitmapName, nullptr);
}

void CDlgBase::AddMenuItem(const wchar_t* text, UINT commandId, int index)
{
    m_titlebar.AddMenuItem(L"A", text, commandId, index);
}

void CDlgBase::AddSeparator(int index) { m_titlebar.AddSeparator(L"A", index); }
void CDlgBase::RemoveMenuItem(int index) { m_titlebar.RemoveMenuItem(L"A", index); }
void CDlgBase::RemoveAllMenuItems() { m_titlebar.RemoveAllMenuItems(L"A"); }

void CDlgBase::CheckTbarMenuItem(UINT commandId, UINT flags)
{
    m_titlebar.CheckTbarMenuItem(L"A", commandId, flags);
}

void CDlgBase::EnableTbarMenuItem(UINT commandId, UINT flags)
{
    m_titlebar.EnableTbarMenuItem(L"A", commandId, flags);
}

void CDlgBase::ChangeButtonBitmap(const wchar_t* bitmapName)
{
    m_titlebar.ChangeButtonBitmap(L"A", bitmapName);
}

void CDlgBase::ChangeButtonText(const wchar_t* pos, const wchar_t* text)
{
    m_titlebar.ChangeButtonText(pos, text);
}

void CDlgBase::FinalizeChanges() { m_titlebar.FinalizeChanges(); }
void CDlgBase::OnDisplayMenu() { m_titlebar.DisplayMenu(L"A"); }

void CDlgBase::SetWindowTextW(const wchar_t* text)
{
    ::SetWindowTextW(m_hWnd, text);
    if (m_title)
        m_titlebar.ChangeTitle(L"B");
}

int CDlgBase::MessageBoxW(const wchar_t* text, const wchar_t* caption, UINT type, ESounds sound)
{
    const CString shownCaption = caption ? CString(caption) : Xlate(L"Warning!");
    Sound(sound);
    return MessagePopup(m_hWnd, text, shownCaption, type, 0, false, false);
}

// ---- Controls ----

bool CDlgBase::SetDlgItemText(int id, const wchar_t* text)
{
    const HWND control = GetDlgItem(id);
    return control && ::SetWindowTextW(control, text);
}

int CDlgBase::GetDlgItemText(int id, CString& text) const
{
    const HWND control = GetDlgItem(id);
    const int length = control ? GetWindowTextLengthW(control) : 0;
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    if (control)
        GetWindowTextW(control, &buffer[0], length + 1);
    text = buffer.c_str();
    return length;
}

int CDlgBase::GetDlgItemText(int id, wchar_t* buffer, int size) const
{
    const HWND control = GetDlgItem(id);
    if (!control) {
        if (buffer && size > 0)
            buffer[0] = L'\0';
        return 0;
    }
    return GetWindowTextW(control, buffer, size);
}

bool CDlgBase::EnableDlgItem(int id, bool enable)
{
    const HWND control = GetDlgItem(id);
    if (control)
        ::EnableWindow(control, enable ? TRUE : FALSE);
    return control != nullptr;
}

bool CDlgBase::IsDlgItemEnabled(int id) const
{
    return ::IsWindowEnabled(GetDlgItem(id)) != FALSE;
}

bool CDlgBase::ShowDlgItem(int id, bool show)
{
    const HWND control = GetDlgItem(id);
    if (control)
        ::ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    return control != nullptr;
}

bool CDlgBase::IsDlgItemVisible(int id) const
{
    return ::IsWindowVisible(GetDlgItem(id)) != FALSE;
}

bool CDlgBase::CheckDlgButton(int id, UINT check)
{
    const HWND control = GetDlgItem(id);
    if (control)
        ::SendMessage(control, BM_SETCHECK, check, 0);
    return control != nullptr;
}

UINT CDlgBase::IsDlgButtonChecked(int id) const
{
    const HWND control = GetDlgItem(id);
    return control ? static_cast<UINT>(::SendMessage(control, BM_GETCHECK, 0, 0)) : BST_UNCHECKED;
}

bool CDlgBase::SetDlgEditReadOnly(int id, bool readOnly)
{
    const HWND control = GetDlgItem(id);
    if (control)
        ::SendMessage(control, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    return control != nullptr;
}

bool CDlgBase::SetDlgEditLimitText(int id, int limit)
{
    const HWND control = GetDlgItem(id);
    if (control)
        ::SendMessage(control, EM_LIMITTEXT, limit > 0 ? static_cast<WPARAM>(limit) : 0, 0);
    return control != nullptr;
}

bool CDlgBase::SetDlgItemFocus(int id)
{
    const HWND control = GetDlgItem(id);
    if (control)
        SetFocus(control);
    return control != nullptr;
}

bool CDlgBase::SetNumberOnly(int id)
{
    const HWND control = GetDlgItem(id);
    if (control)
        SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | static_cast<LONG>(ES_NUMBER));
    return control != nullptr;
}

bool CDlgBase::CancelNumberOnly(int id)
{
    const HWND control = GetDlgItem(id);
    if (control)
        SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) & ~static_cast<LONG>(ES_NUMBER));
    return control != nullptr;
}

bool CDlgBase::ChangeControlsState(CWnd* wnd, const unsigned int* ids, int count, int action)
{
    if (!wnd || !IsWindow(wnd->GetSafeHwnd()) || !ids || count < 1)
        return false;
    for (int i = 0; i < count; ++i) {
        const HWND control = ids[i] ? ::GetDlgItem(wnd->GetSafeHwnd(), static_cast<int>(ids[i])) : nullptr;
        if (!control || action < CONTROLS_ENABLE || action > CONTROLS_SHOW)
            continue;
        ::EnableWindow(control, action == CONTROLS_DISABLE ? FALSE : TRUE);
        if (action == CONTROLS_HIDE)
            ::ShowWindow(control, SW_HIDE);
        else if (action == CONTROLS_SHOW)
            ::ShowWindow(control, SW_SHOW);
    }
    return true;
}

bool CDlgBase::EnableControls(const unsigned int* ids, int count)
{
    return ChangeControlsState(this, ids, count, CONTROLS_ENABLE);
}

bool CDlgBase::DisableControls(const unsigned int* ids, int count)
{
    return ChangeControlsState(this, ids, count, CONTROLS_DISABLE);
}

bool CDlgBase::HideControls(const unsigned int* ids, int count)
{
    return ChangeControlsState(this, ids, count, CONTROLS_HIDE);
}

bool CDlgBase::ShowControls(const unsigned int* ids, int count)
{
    return ChangeControlsState(this, ids, count, CONTROLS_SHOW);
}

// ---- The bold font ----

void CDlgBase::SetBoldFont(CFont* font)
{
    if (font && !font->GetSafeHandle())
        font->CreateFont(15, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
}

CFont* CDlgBase::GetBoldFont()
{
    static CFont* bold = [] {
        CFont* font = new CFont;   // shared by every dialog for the process's life
        SetBoldFont(font);
        return font;
    }();
    return bold;
}

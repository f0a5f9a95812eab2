#include "dialogs/messagePopup.h"

#include "devices/ticTimer.h"
#include "files/logFile.h"
#include "files/translate.h"
#include "platform/controls.h"
#include "platform/screen.h"
#include "platform/sound.h"

const wchar_t* const kPopupTemplatePortrait = L"MESSAGE_POPUP_240X320";
const wchar_t* const kPopupTemplateOther = L"MESSAGE_POPUP";

namespace {

struct TPopupIcon {
    int control;
    LPCWSTR icon;
};
const TPopupIcon kIcons[] = {
    {kPopupIconStop, IDI_HAND},
    {kPopupIconQuestion, IDI_QUESTION},
    {kPopupIconExclamation, IDI_EXCLAMATION},
    {kPopupIconInformation, IDI_ASTERISK},
};

// Registers the template of the screen as it is now and gives its name.
const wchar_t* registerTemplate()
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const wchar_t* name = IsPortraitPopupScreen(width, height) ? kPopupTemplatePortrait : kPopupTemplateOther;
    RegisterDialogTemplate(name, PopupTemplate(width, height));
    return name;
}

// A window of another owner seen as a CWnd, which leaves the window alone when it goes.
class CWndRef : public CWnd {
public:
    explicit CWndRef(HWND window) { m_hWnd = window; }
    ~CWndRef() override { m_hWnd = nullptr; }
};

} // namespace

DialogTemplate PopupTemplate(int screenWidth, int screenHeight)
{
    const TPopupGeometry& g = PopupGeometryFor(screenWidth, screenHeight);
    DialogTemplate t;   // an empty rectangle: the whole screen
    for (int p = 0; p < kPopupPlaces; ++p)
        t.items.push_back({kPopupFirstPlace + p, L"button", L"", g.places[p], WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON});
    t.items.push_back({kPopupText, L"static", L"", g.text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX});
    for (const TPopupIcon& icon : kIcons)
        t.items.push_back({icon.control, L"static", L"", g.icon, SS_ICON});
    return t;
}

int MessagePopup(HWND parent, const wchar_t* text, const wchar_t* caption, unsigned int type,
                 int timeoutMs, bool yesToAll, bool noToAll)
{
    CWndRef owner(parent);
    CMessagePopupDlg popup(parent ? &owner : nullptr, text, caption, type, timeoutMs, yesToAll, noToAll);
    return static_cast<int>(popup.DoModal());
}

CMessagePopupDlg::CMessagePopupDlg(CWnd* parent, const wchar_t* text, const wchar_t* caption,
                                   unsigned int type, int timeoutMs, bool yesToAll, bool noToAll)
    : CDlgBase(registerTemplate(), parent),
      m_text(text ? text : L""),
      m_caption(caption ? caption : L""),
      m_type(type),
      m_timeoutMs(timeoutMs),
      m_buttons(PopupButtonsFor(type, yesToAll, noToAll)),
      m_geometry(&PopupGeometryFor(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
{
    // Hidden whatever the country (with country 81 the menu would have no item anyway).
    HideCloseButton();
    HideMenuButton();
}

BOOL CMessagePopupDlg::OnInitDialog()
{
    CDlgBase::OnInitDialog();
    // The title bar has made the pop-up full screen already, so centring it changes nothing:
    // the template lays out the inside of a full-screen window.
    CenterWindow();
    MessageBeep(PopupBeep(m_type));
    showIcon();
    SetWindowTextW(m_caption);
    SetDlgItemText(kPopupText, m_text);
    setUpButtons();
    startTimeout();
    XlateWnd(*this);
    // The focus on the default button, else on the first shown place.
    const int focus = m_buttons.defaultPlace;
    for (int p = focus >= 0 ? focus : 0; p < kPopupPlaces; ++p)
        if (m_buttons.places[p].shown) {
            SetDlgItemFocus(kPopupFirstPlace + p);
            return FALSE;
        }
    return TRUE;
}

void CMessagePopupDlg::showIcon()
{
    const int shown = PopupIconControl(m_type);
    for (const TPopupIcon& icon : kIcons) {
        if (icon.control == shown)
            ::SendMessage(GetDlgItem(icon.control), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon.icon)), 0);
        ShowDlgItem(icon.control, icon.control == shown);
    }
    if (!shown) {
        const CRect& r = m_geometry->textWithoutIcon;
        ::MoveWindow(GetDlgItem(kPopupText), r.left, r.top, r.Width(), r.Height(), TRUE);
    }
}

void CMessagePopupDlg::setUpButtons()
{
    for (int p = 0; p < kPopupPlaces; ++p) {
        const HWND button = GetDlgItem(kPopupFirstPlace + p);
        const TPopupPlace& place = m_buttons.places[p];
        // A hidden place has no text to translate.
        ::SetWindowTextW(button, place.shown ? static_cast<const wchar_t*>(Xlate(place.text)) : L"");
        ::ShowWindow(button, place.shown ? SW_SHOW : SW_HIDE);
        DWORD style = static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)) & ~(BS_TYPEMASK | WS_TABSTOP);
        style |= p == m_buttons.defaultPlace ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (place.shown)
            style |= WS_TABSTOP;
        SetWindowLongW(button, GWL_STYLE, static_cast<LONG>(style));
    }
}

void CMessagePopupDlg::startTimeout()
{
    if (m_timeoutMs <= 0)
        return;
    m_timerSet = SetTicTimer(m_hWnd, kPopupTimerId, static_cast<unsigned int>(m_timeoutMs)) != 0;
    if (!m_timerSet)
        LOGMESSAGE(2, "MessagePopup: no time-out of %d ms, the tic timer is not running: the pop-up waits for a button",
                   m_timeoutMs);
}

void CMessagePopupDlg::killTimeout()
{
    if (m_timerSet)
        KillTicTimer(m_hWnd, kPopupTimerId);
    m_timerSet = false;
}

BOOL CMessagePopupDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int place = static_cast<int>(LOWORD(wParam)) - kPopupFirstPlace;
    if (place >= 0 && place < kPopupPlaces) {
        if (HIWORD(wParam) == BN_CLICKED && m_buttons.places[place].shown)
            close(m_buttons.places[place].result);
        return TRUE;
    }
    return CDlgBase::OnCommand(wParam, lParam);
}

void CMessagePopupDlg::OnOK()
{
    close(POPUP_OK);
}

void CMessagePopupDlg::OnCancel()
{
    int shown = 0, only = 0;
    for (const TPopupPlace& place : m_buttons.places) {
        if (!place.shown)
            continue;
        if (place.result == POPUP_CANCEL) {
            close(POPUP_CANCEL);
            return;
        }
        ++shown;
        only = place.result;
    }
    // Type 0's lone button; otherwise the answer must be chosen.
    if (shown == 1)
        close(only);
}

void CMessagePopupDlg::close(int result)
{
    killTimeout();
    EndDialog(result);
}

void CMessagePopupDlg::OnDestroy()
{
    killTimeout();
    CDlgBase::OnDestroy();
}

LRESULT CMessagePopupDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TICTIMER && wParam == kPopupTimerId) {
        // The time-out closes through the OK action.
        if (m_timerSet)
            OnOK();
        return 0;
    }
    return CDlgBase::WindowProc(message, wParam, lParam);
}

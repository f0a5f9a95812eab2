#include "dialogs/messagePopup.h"

#include "devices/ticTimer.h"
#include "files/logFile.h"
#include "files/translate.h"
#include "platform/controls.h"
#include "platform/screen.h"
#include "platform/sound.h"

namespace {

const int kIcons[] = {kPopupIconStop, kPopupIconQuestion, kPopupIconExclamation, kPopupIconInformation};

// The inside of a full-screen window below the title bar (25 px): the icon at the top left of
// the text, then a row of three places (place 1 in the middle) and a pair below it.
struct TPopupGeometry {
    CRect icon;
    CRect text;          // beside the icon; widened to the icon's left without one
    CRect places[kPopupPlaces];
};

// 240 x 320 portrait: places of 76 px (the widest text, "Yes to &All", fits in Arial 14).
const TPopupGeometry kPortrait = {
    CRect(6, 34, 38, 66),
    CRect(46, 34, 234, 250),
    {CRect(2, 258, 78, 281), CRect(82, 258, 158, 281), CRect(162, 258, 238, 281),
     CRect(18, 289, 114, 312), CRect(126, 289, 222, 312)},
};
// Every other screen, laid out for the smallest of them, 320 x 240 landscape.
const TPopupGeometry kOther = {
    CRect(8, 34, 40, 66),
    CRect(48, 34, 312, 170),
    {CRect(10, 178, 106, 201), CRect(112, 178, 208, 201), CRect(214, 178, 310, 201),
     CRect(58, 208, 154, 231), CRect(166, 208, 262, 231)},
};

const TPopupGeometry& geometryFor(int width, int height)
{
    return width == 240 && height == 320 ? kPortrait : kOther;
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
    const TPopupGeometry& g = geometryFor(screenWidth, screenHeight);
    DialogTemplate t;
    t.rect = CRect(0, 0, screenWidth, screenHeight);
    for (int p = 0; p < kPopupPlaces; ++p)
        t.items.push_back({kPopupFirstPlace + p, L"button", L"", g.places[p], WS_VISIBLE | WS_TABSTOP});
    t.items.push_back({kPopupText, L"static", L"", g.text, WS_VISIBLE | SS_LEFT});
    for (int icon : kIcons)
        t.items.push_back({icon, L"static", L"", g.icon, SS_ICON});
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
    : CDlgBase(PopupTemplate(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), parent),
      m_text(text ? text : L""),
      m_caption(caption ? caption : L""),
      m_type(type),
      m_timeoutMs(timeoutMs),
      m_buttons(PopupButtonsFor(type, yesToAll, noToAll))
{
    HideCloseButton();
    HideMenuButton();
}

BOOL CMessagePopupDlg::OnInitDialog()
{
    // The menu button stays hidden, also for country 81.
    CDlgBase::OnInitDialog();
    CenterWindow();
    MessageBeep(PopupBeep(m_type));
    showIcon();
    SetWindowTextW(m_caption);
    SetDlgItemText(kPopupText, m_text);
    setUpButtons();
    if (m_timeoutMs > 0) {
        m_timerSet = SetTicTimer(m_hWnd, kPopupTimerId, static_cast<unsigned int>(m_timeoutMs)) != 0;
        if (!m_timerSet)
            LOGMESSAGE(2, "MessagePopup: no time-out of %d ms (the tic timer service is stopped)", m_timeoutMs);
    }
    XlateWnd(*this);
    return TRUE;
}

void CMessagePopupDlg::showIcon()
{
    const int shown = PopupIconControl(m_type);
    const LPCWSTR images[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
    for (size_t i = 0; i < 4; ++i) {
        ::SendMessage(GetDlgItem(kIcons[i]), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, images[i])), 0);
        ShowDlgItem(kIcons[i], kIcons[i] == shown);
    }
    if (shown)
        return;
    // Without an icon the text takes the icon's place too.
    CRect iconRect, textRect;
    ::GetWindowRect(GetDlgItem(kPopupIconStop), &iconRect);
    ::GetWindowRect(GetDlgItem(kPopupText), &textRect);
    CPoint topLeft(iconRect.left, textRect.top);
    ::ScreenToClient(m_hWnd, &topLeft);
    ::MoveWindow(GetDlgItem(kPopupText), topLeft.x, topLeft.y, textRect.right - iconRect.left,
               textRect.Height(), TRUE);
}

void CMessagePopupDlg::setUpButtons()
{
    for (int p = 0; p < kPopupPlaces; ++p) {
        const HWND button = GetDlgItem(kPopupFirstPlace + p);
        const TPopupPlace& place = m_buttons.places[p];
        ::SetWindowTextW(button, Xlate(place.text));
        ::ShowWindow(button, place.shown ? SW_SHOW : SW_HIDE);
        DWORD style = static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)) & ~(BS_TYPEMASK | WS_TABSTOP);
        style |= p == m_buttons.defaultPlace ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (place.shown)
            style |= WS_TABSTOP;
        SetWindowLongW(button, GWL_STYLE, static_cast<LONG>(style));
    }
}

BOOL CMessagePopupDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int place = static_cast<int>(LOWORD(wParam)) - kPopupFirstPlace;
    if (HIWORD(wParam) == BN_CLICKED && place >= 0 && place < kPopupPlaces) {
        if (m_buttons.places[place].shown)
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
    if (shown == 1)
        close(only);
}

void CMessagePopupDlg::close(int result)
{
    if (m_timerSet) {
        KillTicTimer(m_hWnd, kPopupTimerId);
        m_timerSet = false;
    }
    EndDialog(result);
}

void CMessagePopupDlg::OnDestroy()
{
    if (m_timerSet) {
        KillTicTimer(m_hWnd, kPopupTimerId);
        m_timerSet = false;
    }
    CDlgBase::OnDestroy();
}

LRESULT CMessagePopupDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TICTIMER && wParam == kPopupTimerId) {
        OnOK();
        return 0;
    }
    return CDlgBase::WindowProc(message, wParam, lParam);
}

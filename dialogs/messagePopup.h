// The library's own message box: a modal dialog of the dialog framework (dialogs/dlgBase.h)
// with a caption, a text, an icon and up to five buttons laid out by the usual message-box type
// codes (dialogs/popupButtons.h), optionally with "Yes to &All" and "N&o to All", optionally
// closing by itself after a time-out.
//
// The dialog: Close and menu buttons hidden; five button places (controls 50402 to 50406,
// places 0 to 4), the text (50422) and four icons (1031 stop, 1034 question, 1032 exclamation,
// 1033 information). Two templates: one for the 240 x 320 portrait screen, one for every other
// screen (laid out for 320 x 240, the smallest other). The title bar makes the pop-up full
// screen before it is centred, so centring changes nothing: a template lays out the inside of a
// full-screen window. Places 0 to 2 stand in one row (place 1 in the middle, where type 0's
// lone "&Close" stands centred), places 3 and 4 as a pair below; the icon at the top left of the
// text, which widens to the left when there is no icon.
//
// Closing: a button ends the pop-up with its place's result. Enter presses the default button,
// or ends with IDOK (1) when there is none. Escape ends with IDCANCEL (2) when a shown button
// returns 2; on a set where none does (types 0, 2 and 4) Escape presses the set's only button
// when it has one (type 0: 1) and is ignored otherwise (the answer must be chosen), as the
// platform's message box does. The time-out (tic timer 4 on the pop-up, devices/ticTimer.h)
// closes through the OK action and gives 1 for every type. With the tic timer service stopped
// no time-out can be set: that is logged at level 2 and the pop-up waits for a button.
//
// Nobody to answer: when no input is queued (platform/dialog.h) a pop-up without a running
// time-out ends at once with IDCANCEL (2), whatever its buttons; so does MessageBoxW, which has
// no time-out, in a process without a user.
#pragma once

#include "dialogs/dlgBase.h"
#include "dialogs/popupButtons.h"

constexpr int kPopupFirstPlace = 50402;   // place p is control 50402 + p
constexpr int kPopupText = 50422;
constexpr int kPopupIconStop = 1031;
constexpr int kPopupIconQuestion = 1034;
constexpr int kPopupIconExclamation = 1032;
constexpr int kPopupIconInformation = 1033;
constexpr unsigned int kPopupTimerId = 4;
// The template for a screen: the portrait one for 240 x 320, the other for every other size.
DialogTemplate PopupTemplate(int screenWidth, int screenHeight);

// Shows the pop-up modally over `parent` (null: none) and returns the result of the button
// pressed or of the time-out (timeoutMs > 0); -1 when the dialog cannot be made.
int MessagePopup(HWND parent, const wchar_t* text, const wchar_t* caption, unsigned int type,
                 int timeoutMs, bool yesToAll, bool noToAll);

class CMessagePopupDlg : public CDlgBase {
public:
    CMessagePopupDlg(CWnd* parent, const wchar_t* text, const wchar_t* caption, unsigned int type,
                     int timeoutMs, bool yesToAll, bool noToAll);

    const TPopupButtons& Buttons() const { return m_buttons; }
    bool TimerSet() const { return m_timerSet; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void showIcon();
    void setUpButtons();
    void close(int result);

    CString m_text;
    CString m_caption;
    unsigned int m_type;
    int m_timeoutMs;
    TPopupButtons m_buttons;
    bool m_timerSet = false;
};

// The library's own message box: a modal dialog of the dialog framework (dialogs/dlgBase.h)
// with a caption, a text, an icon and up to five buttons laid out by the usual message-box type
// codes (dialogs/popupButtons.h), optionally with "Yes to &All" and "N&o to All", optionally
// closing by itself after a time-out.
//
// The dialog: Close and menu buttons hidden (the menu button also for country 81); five button
// places (controls 50402 to 50406), the text (50422, a static text that shows '&' as it is) and
// four icons (1031 stop, 1034 question, 1032 exclamation, 1033 information), on one of two
// templates (dialogs/popupLayout.h) chosen by the screen when the pop-up is made. Button texts
// are translated as they are set, and every text of the window again at the end of
// initialisation (XlateWnd), the message text included.
//
// Closing: a button ends the pop-up with its place's result, killing the time-out first. Enter
// presses the default button, or ends with IDOK (1) when there is none. Escape (IDCANCEL) ends
// with 2 when a shown button returns 2 (types 1, 3 and 5); on the sets where none does, as the
// platform's message box: type 0 ends with its one button's 1, and types 2 and 4 (and the sets
// without buttons) ignore it, since the user must choose an answer. The time-out (tic timer 4 on
// the pop-up, devices/ticTimer.h) closes through the OK action and so gives 1 for every type,
// also where no button returns 1; it fires after (timeoutMs + base/2) / base scans of the tic
// timer, within one base period of the time-out. With the tic timer service stopped no time-out
// can be set: that is logged at level 2 and the pop-up waits for a button.
//
// Nobody to answer: a modal dialog whose queue runs empty while no window-made hook is set and
// no time-out is running ends with IDCANCEL (platform/dialog.h). So a pop-up in a process
// without a user answers 2 at once (after a time-out it answers 1), whatever its buttons, also
// through CDlgBase::MessageBoxW, which has no time-out. Callers should treat 2 as "not answered".
#pragma once

#include "dialogs/dlgBase.h"
#include "dialogs/popupButtons.h"
#include "dialogs/popupLayout.h"

// The identifier of the pop-up's time-out on the tic timer.
constexpr unsigned int kPopupTimerId = 4;

// The registered names of the two templates (platform/dialog.h), and the template of a screen:
// the portrait one for 240 x 320, the other for every other size. The dialog's rectangle is
// empty (the whole screen); the places are visible tab stops until the pop-up sets them up; the
// icons are hidden.
extern const wchar_t* const kPopupTemplatePortrait;   // "MESSAGE_POPUP_240X320"
extern const wchar_t* const kPopupTemplateOther;      // "MESSAGE_POPUP"
DialogTemplate PopupTemplate(int screenWidth, int screenHeight);

// Shows the pop-up modally over `parent` (null: none) and returns the result of the button
// pressed or of the time-out (timeoutMs > 0; 0 or less: none); -1 when the dialog cannot be
// made. Null texts are empty.
int MessagePopup(HWND parent, const wchar_t* text, const wchar_t* caption, unsigned int type,
                 int timeoutMs, bool yesToAll, bool noToAll);

class CMessagePopupDlg : public CDlgBase {
public:
    CMessagePopupDlg(CWnd* parent, const wchar_t* text, const wchar_t* caption, unsigned int type,
                     int timeoutMs, bool yesToAll, bool noToAll);

    const TPopupButtons& Buttons() const { return m_buttons; }
    unsigned int Type() const { return m_type; }
    // Whether the time-out's tic timer is set now.
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
    void startTimeout();
    void killTimeout();
    void close(int result);

    CString m_text;
    CString m_caption;
    unsigned int m_type;
    int m_timeoutMs;
    TPopupButtons m_buttons;
    const TPopupGeometry* m_geometry;
    bool m_timerSet = false;
};

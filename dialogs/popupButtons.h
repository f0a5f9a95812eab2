// The buttons of the message pop-up (dialogs/messagePopup.h) for a message-box type code: which
// of the five places shows a button, with which text (untranslated, '&' marking the mnemonic),
// which result it returns and which place is the default.
//
// Type code: the low four bits choose the set, type & 0xF0 the icon, type & 0xF00 the default
// button; other bits (topmost and the like) are ignored. Sets (places 0, 1, 2 | places 3, 4):
//   0 OK:                 -, "&Close" 1, -           | -, -
//   1 OK, Cancel:         -, -, -                    | "&Ok" 1, "&Cancel" 2
//   2 Abort, Retry, Ign.: "&Abort" 3, "&Retry" 4, "&Ignore" 5 | -, -
//   3 Yes, No, Cancel:    "&Yes" 6, "&No" 7, "&Cancel" 2 | "Yes to &All" 24 (yesToAll),
//                                                          "N&o to All" 25 (noToAll)
//   4 Yes, No:            with yesToAll "Yes to &All" 24, "&Yes" 6, "&No" 7 | -, -
//                         without:      -, -, -      | "&Yes" 6, "&No" 7   (noToAll ignored)
//   5 Retry, Cancel:      -, -, -                    | "&Retry" 4, "&Cancel" 2
//   6 to 15: no button.
// Defaults: type 0 place 1 for 0x000; types 1 and 5 place 3 or 4 for 0x000 or 0x100; types 2
// and 3 place 0, 1 or 2 for 0x000, 0x100, 0x200; type 4 the "&Yes" place for 0x000, the "&No"
// place for 0x100. Any other default bits give no default button.
#pragma once

constexpr int kPopupPlaces = 5;

// Results of the places (the message-box answers).
constexpr int POPUP_OK = 1;
constexpr int POPUP_CANCEL = 2;
constexpr int POPUP_ABORT = 3;
constexpr int POPUP_RETRY = 4;
constexpr int POPUP_IGNORE = 5;
constexpr int POPUP_YES = 6;
constexpr int POPUP_NO = 7;
constexpr int POPUP_YES_TO_ALL = 24;
constexpr int POPUP_NO_TO_ALL = 25;

struct TPopupPlace {
    bool shown = false;
    const wchar_t* text = L"";   // untranslated
    int result = 0;
};

struct TPopupButtons {
    TPopupPlace places[kPopupPlaces];
    int defaultPlace = -1;   // -1: no default button
};

// The places for the type code and the two extra-button flags.
TPopupButtons PopupButtonsFor(unsigned int type, bool yesToAll, bool noToAll);

// The icon of the type's icon bits: the control 1031 (0x10 stop), 1034 (0x20 question), 1032
// (0x30 exclamation), 1033 (0x40 information); 0 for any other icon bits (no icon).
int PopupIconControl(unsigned int type);
// The beep of the type: the icon bits 0x10 to 0x40, else 0 (no icon: the plain beep).
unsigned int PopupBeep(unsigned int type);

// The buttons, icon and beep of the message pop-up (dialogs/messagePopup.h) for a message-box
// type code: which of the five places shows a button, with which text (untranslated, '&'
// marking the mnemonic), which result it returns, which place is the default button, which
// icon control is shown and which beep sounds. Pure functions of their arguments.
//
// Type code: the low four bits choose the set, type & 0xF0 the icon, type & 0xF00 the default
// button; every other bit (topmost and the like) is ignored. Sets (places 0, 1, 2 | places 3, 4):
//   0 OK:                 -, "&Close" 1, -                         | -, -
//   1 OK, Cancel:         -, -, -                                  | "&Ok" 1, "&Cancel" 2
//   2 Abort, Retry, Ign.: "&Abort" 3, "&Retry" 4, "&Ignore" 5      | -, -
//   3 Yes, No, Cancel:    "&Yes" 6, "&No" 7, "&Cancel" 2           | "Yes to &All" 24 (yesToAll),
//                                                                    "N&o to All" 25 (noToAll)
//   4 Yes, No:            with yesToAll "Yes to &All" 24, "&Yes" 6, "&No" 7 | -, -
//                         without:      -, -, -                    | "&Yes" 6, "&No" 7
//                         (noToAll is ignored)
//   5 Retry, Cancel:      -, -, -                                  | "&Retry" 4, "&Cancel" 2
//   6 to 15: no button.
// Defaults: type 0 place 1 for 0x000; types 1 and 5 place 3 or 4 for 0x000 or 0x100; types 2
// and 3 place 0, 1 or 2 for 0x000, 0x100, 0x200; type 4 the "&Yes" place for 0x000, the "&No"
// place for 0x100. Default bits that name no place give no default button (0x100 on type 0,
// 0x200 on types 0, 1, 4 and 5, 0x300 to 0xF00 on every type).
//
// Icons: 0x10 stop (control 1031), 0x20 question (1034), 0x30 exclamation (1032), 0x40
// information (1033). The beep is the icon bits. Icon bits 0x50 to 0xF0 name no icon: this
// library then shows none and beeps with 0 (the plain message beep), as for no icon bits.
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

// The icon controls of the pop-up's templates.
constexpr int kPopupIconStop = 1031;
constexpr int kPopupIconQuestion = 1034;
constexpr int kPopupIconExclamation = 1032;
constexpr int kPopupIconInformation = 1033;

struct TPopupPlace {
    bool shown = false;
    const wchar_t* text = L"";   // untranslated; "" for a hidden place
    int result = 0;              // 0 for a hidden place
};

struct TPopupButtons {
    TPopupPlace places[kPopupPlaces];
    int defaultPlace = -1;   // -1: no default button; else a shown place
};

// The places for the type code and the two extra-button flags.
TPopupButtons PopupButtonsFor(unsigned int type, bool yesToAll, bool noToAll);

// The icon control for the type's icon bits (1031, 1034, 1032 or 1033); 0: no icon.
int PopupIconControl(unsigned int type);

// The message-beep type for the type's icon bits: 0x10, 0x20, 0x30 or 0x40, else 0.
unsigned int PopupBeep(unsigned int type);

#include "dialogs/popupButtons.h"

namespace {

void show(TPopupButtons& b, int place, const wchar_t* text, int result)
{
    b.places[place].shown = true;
    b.places[place].text = text;
    b.places[place].result = result;
}

// The default place for the default bits 0x000, 0x100, 0x200 (-1: none) of a set.
int defaultFor(unsigned int bits, int first, int second, int third)
{
    switch (bits) {
    case 0x000: return first;
    case 0x100: return second;
    case 0x200: return third;
    default: return -1;
    }
}

} // namespace

TPopupButtons PopupButtonsFor(unsigned int type, bool yesToAll, bool noToAll)
{
    TPopupButtons b;
    const unsigned int bits = type & 0xF00u;
    switch (type & 0xFu) {
    case 0:
        show(b, 1, L"&Close", POPUP_OK);
        b.defaultPlace = defaultFor(bits, 1, -1, -1);
        break;
    case 1:
        show(b, 3, L"&Ok", POPUP_OK);
        show(b, 4, L"&Cancel", POPUP_CANCEL);
        b.defaultPlace = defaultFor(bits, 3, 4, -1);
        break;
    case 2:
        show(b, 0, L"&Abort", POPUP_ABORT);
        show(b, 1, L"&Retry", POPUP_RETRY);
        show(b, 2, L"&Ignore", POPUP_IGNORE);
        b.defaultPlace = defaultFor(bits, 0, 1, 2);
        break;
    case 3:
        show(b, 0, L"&Yes", POPUP_YES);
        show(b, 1, L"&No", POPUP_NO);
        show(b, 2, L"&Cancel", POPUP_CANCEL);
        if (yesToAll)
            show(b, 3, L"Yes to &All", POPUP_YES_TO_ALL);
        if (noToAll)
            show(b, 4, L"N&o to All", POPUP_NO_TO_ALL);
        b.defaultPlace = defaultFor(bits, 0, 1, 2);
        break;
    case 4:
        if (yesToAll) {
            show(b, 0, L"Yes to &All", POPUP_YES_TO_ALL);
            show(b, 1, L"&Yes", POPUP_YES);
            show(b, 2, L"&No", POPUP_NO);
            b.defaultPlace = defaultFor(bits, 1, 2, -1);
        } else {
            show(b, 3, L"&Yes", POPUP_YES);
            show(b, 4, L"&No", POPUP_NO);
            b.defaultPlace = defaultFor(bits, 3, 4, -1);
        }
        break;
    case 5:
        show(b, 3, L"&Retry", POPUP_RETRY);
        show(b, 4, L"&Cancel", POPUP_CANCEL);
        b.defaultPlace = defaultFor(bits, 3, 4, -1);
        break;
    default:
        break;
    }
    return b;
}

int PopupIconControl(unsigned int type)
{
    switch (type & 0xF0u) {
    case 0x10: return kPopupIconStop;
    case 0x20: return kPopupIconQuestion;
    case 0x30: return kPopupIconExclamation;
    case 0x40: return kPopupIconInformation;
    default: return 0;
    }
}

unsigned int PopupBeep(unsigned int type)
{
    return PopupIconControl(type) ? (type & 0xF0u) : 0;
}

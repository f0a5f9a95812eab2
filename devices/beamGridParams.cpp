#include "devices/beamGridParams.h"

namespace BeamGridParams {

CString StartParams::GetTransChannelAsString(ETransmitterChannel channel)
{
    const int c = static_cast<int>(channel);
    if (c < 0 || c > 3)
        return CString(L"any");
    CString text;
    text.Format(L"%d", c + 1);
    return text;
}

CString StartParams::GetTransListAsString(const bool* list)
{
    return CString(list && list[0] ? L"on" : L"off");
}

char StartParams::GetSensorPortAsChar(ECommPort port)
{
    switch (static_cast<int>(port)) {
    case 1: return 'a';
    case 2: return 'b';
    case 3: return 'c';
    default: return 'd';
    }
}

CString StartParams::GetAfAsString(bool on) { return CString(on ? L"on" : L"off"); }
CString StartParams::GetSelfCalibAsString(bool self) { return CString(self ? L"slf" : L"fix"); }
CString StartParams::GetWeightingAsString(bool on) { return CString(on ? L"1.0" : L"0.0"); }

void TransInfo::Reset()
{
    for (int i = 0; i < 4; ++i) {
        data[i].Reset();
        pos[i].Reset();
    }
}

} // namespace BeamGridParams

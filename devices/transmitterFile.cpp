#include "devices/transmitterFile.h"

#include "files/appFolders.h"
#include "files/fileFuncs.h"
#include "files/iniFile.h"
#include "platform/fileSystem.h"

#include <cmath>
#include <cwchar>

namespace BeamGridParams {

namespace {

const wchar_t kVersionSection[] = L"VERSION";
const wchar_t kVersionKey[] = L"version";
const double kWrittenVersion = 0.4;

enum class Version { V01, V02, V03, V04 };

CString channelSection(int index)
{
    CString section;
    section.Format(L"CHANNEL%d", index + 1);
    return section;
}

CString blockKey(int block)
{
    CString key;
    key.Format(L"DataBlock%d", block + 1);
    return key;
}

bool readVersion(const CINIFile& ini, Version& version)
{
    const CString text = ini.GetStringValue(kVersionSection, kVersionKey, CString());
    float v = 0.0f;
    if (text.IsEmpty() || std::swscanf(text, L"%f", &v) != 1)
        return false;
    const float known[] = {0.1f, 0.2f, 0.3f, 0.4f};
    const Version versions[] = {Version::V01, Version::V02, Version::V03, Version::V04};
    for (int i = 0; i < 4; ++i) {
        if (v == known[i]) {
            version = versions[i];
            return true;
        }
    }
    return false;
}

// "%lf%c": a finite height and the letter ('S' slant, any other vertical).
bool readHeight(const CString& text, TransPos& pos)
{
    double h = 0.0;
    wchar_t letter = 0;
    if (text.IsEmpty() || std::swscanf(text, L"%lf%lc", &h, &letter) != 2 || !std::isfinite(h))
        return false;
    pos.height = h;
    pos.vertical = letter != L'S';
    return true;
}

bool readPos01(const CString& text, TransPos& pos)
{
    double v[4] = {};
    wchar_t letter = 0;
    if (text.IsEmpty() ||
        std::swscanf(text, L"{%lf,%lf,%lf,%lf,%lc}", &v[0], &v[1], &v[2], &v[3], &letter) != 5)
        return false;
    for (double x : v)
        if (!std::isfinite(x))
            return false;
    pos.coords[0] = v[0];
    pos.coords[1] = v[1];
    pos.coords[2] = v[2];
    pos.height = v[3];
    pos.vertical = letter != L'S';
    return true;
}

// The set-up of a valid channel; false when it cannot be read (pos is then reset by the caller).
bool readSetup(const CINIFile& ini, const CString& section, Version version, TransPos& pos)
{
    if (version == Version::V01)
        return readPos01(ini.GetStringValue(section, L"Pos", CString()), pos);
    const CString height = ini.GetStringValue(section, L"Height", CString());
    if (version != Version::V02 && height == CString(L"Fixed")) {
        pos.height = kFixedMountHeight;
        pos.vertical = true;
        pos.fixed = true;
    } else if (!readHeight(height, pos)) {
        return false;
    }
    pos.name = ini.GetStringValue(section, L"Name", CString());
    if (version == Version::V04) {
        pos.offset = ini.GetRealValue(section, L"Offset", 0.0);
        if (!std::isfinite(pos.offset))
            return false;
    }
    return true;
}

void readChannel(const CINIFile& ini, int i, Version version, TransInfo& info)
{
    TransData& data = info.data[i];
    TransPos& pos = info.pos[i];
    const CString section = channelSection(i);
    data.channel = i;
    data.SN = ini.GetStringValue(section, L"SN", CString());
    bool complete = !data.SN.IsEmpty();
    for (int b = 0; b < 4; ++b) {
        data.dataBlock[b] = ini.GetStringValue(section, blockKey(b), CString());
        complete = complete && !data.dataBlock[b].IsEmpty();
    }
    if (!complete) {
        data.Reset();
        pos.Reset();
        return;
    }
    data.valid = true;
    if (readSetup(ini, section, version, pos))
        pos.valid = true;
    else
        pos.Reset();
}

CString heightText(const TransPos& pos)
{
    CString text;
    if (pos.fixed)
        text = L"Fixed";
    else if (pos.valid)
        text.Format(L"%f%lc", pos.height, pos.vertical ? L'V' : L'S');
    return text;
}

void writeChannel(CINIFile& ini, int i, const TransInfo& info)
{
    const TransData& data = info.data[i];
    const TransPos& pos = info.pos[i];
    const CString section = channelSection(i);
    ini.SetStringValue(section, L"SN", data.valid ? data.SN : CString());
    for (int b = 0; b < 4; ++b)
        ini.SetStringValue(section, blockKey(b), data.valid ? data.dataBlock[b] : CString());
    if (!data.valid)
        return;
    ini.SetStringValue(section, L"Height", heightText(pos));
    ini.SetStringValue(section, L"Name", pos.name);
    ini.SetRealValue(section, L"Offset", pos.offset);
}

} // namespace

CString GetTransmitterFilePath()
{
    CString path = AppStrPaths::GetSessionSettingsPath();
    path += L"\\BeamGridData.ini";
    return path;
}

bool LoadTransmitterInfo(TransInfo& info)
{
    const CString folder = AppStrPaths::GetSessionSettingsPath();
    FileFuncs::CreateDir(folder);
    const CString path = GetTransmitterFilePath();
    if (!FileFuncs::IsFileExist(path)) {
        CString earlier = folder;
        earlier += L"\\Qadra2Data.ini";
        if (!FileFuncs::IsFileExist(earlier))
            return false;
        MoveFileW(earlier, path);  // a failed rename shows as an unreadable file below
    }
    CINIFile ini;
    if (!ini.LoadIni(path))
        return false;
    info.Reset();
    Version version = Version::V04;
    if (!readVersion(ini, version))
        return false;
    for (int i = 0; i < 4; ++i)
        readChannel(ini, i, version, info);
    return true;
}

bool SaveTransmitterInfo(const TransInfo& info)
{
    const CString folder = AppStrPaths::GetSessionSettingsPath();
    if (!FileFuncs::CreateDir(folder))
        return false;
    CINIFile ini;
    CString version;
    version.Format(L"%.2f", kWrittenVersion);
    ini.SetStringValue(kVersionSection, kVersionKey, version);
    for (int i = 0; i < 4; ++i)
        writeChannel(ini, i, info);
    return ini.SaveIni(GetTransmitterFilePath());
}

} // namespace BeamGridParams

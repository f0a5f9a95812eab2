// INI files: any bytes load; load, save and load again gives what the first load held, as
// the save's documented limits change it (a section name cut after 1021 bytes, a key=value
// text after 1022, a CR at the end of a value dropped by the line-end reading); the in-place
// edits read back as the same change made to the loaded object.
#include "fuzzRoot.h"

#include "files/iniFile.h"
#include "platform/textCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using Contents = std::map<std::string, std::map<std::string, std::string>>;

std::string ansi(const CString& text)
{
    return WideToAnsi(text.str());
}

Contents dump(const CINIFile& ini)
{
    Contents out;
    POSITION file = nullptr;
    ini.SetFilePosOnStart(file);
    while (file) {
        CString section;
        ini.LookThroughFile(section, file);
        auto& keys = out[ansi(section)];
        POSITION pos = nullptr;
        ini.SetSectionPosOnStart(section, pos);
        while (pos) {
            CString key, value;
            ini.LookThroughSection(section, key, value, pos);
            keys[ansi(key)] = ansi(value);
        }
    }
    return out;
}

// What saving and loading again make of the contents.
Contents afterSave(const Contents& loaded)
{
    Contents out;
    for (const auto& section : loaded) {
        std::string name = section.first.substr(0, 1021);
        auto& keys = out[name];
        keys.clear();  // a later section of the same cut name replaces the earlier one
        for (const auto& pair : section.second) {
            std::string line = (pair.first + "=" + pair.second).substr(0, 1022);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::size_t equals = line.find('=');
            if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '/' || line[0] == '[' ||
                equals == std::string::npos)
                continue;
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return out;
}

// CINIFile with the look-up that tells a missing key from any value.
struct Ini : CINIFile {
    using CINIFile::GetValue;
};

CString wide(const std::string& bytes)
{
    return CString(AnsiToWide(bytes).c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile("in.ini", bytes);
    Ini first;
    if (!first.LoadIni(L"\\in.ini"))
        std::abort();
    const Contents loaded = dump(first);
    if (!first.SaveIni(L"\\out.ini"))
        std::abort();
    CINIFile second;
    if (!second.LoadIni(L"\\out.ini") || dump(second) != afterSave(loaded))
        std::abort();

    // The in-place edits: a key of the file (or a new one) set or removed.
    std::string section = "S", key = "k";
    if (!loaded.empty() && size > 0 && data[size - 1] % 3 != 0) {
        section = loaded.rbegin()->first;
        if (!loaded.rbegin()->second.empty())
            key = loaded.rbegin()->second.begin()->first;
    }
    const bool remove = size > 0 && data[0] % 2 == 1;
    std::string edited = bytes;
    if (remove) {
        CString value;
        const bool had = first.GetValue(wide(section), wide(key), value);
        if (IniTextWithoutValue(edited, wide(section), wide(key)) != had)
            std::abort();
        first.RemoveValue(wide(section), wide(key));
    } else {
        edited = IniTextWithValue(bytes, wide(section), wide(key), L"fuzz value");
        first.SetStringValue(wide(section), wide(key), L"fuzz value");
    }
    fuzz::writeFile("edited.ini", edited);
    CINIFile third;
    if (!third.LoadIni(L"\\edited.ini") || dump(third) != dump(first))
        std::abort();
    return 0;
}

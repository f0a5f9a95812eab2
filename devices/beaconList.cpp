#include "devices/beaconList.h"

#include "files/fileAnsi.h"
#include "platform/waitCursor.h"

#include <cmath>
#include <cwchar>
#include <memory>
#include <new>

namespace {

const wchar_t kDegreeSign = L'\u00B0';

// The labels of a listing line, in the order they are tested, with the offset of the value
// from the label's position.
enum class Field { BoldName, Name, Status, Rate, Frequency, Location, Country };

struct Label {
    const wchar_t* text;
    int offset;
    Field field;
};

const Label kLabels[] = {
    {L"<BR><B>", 7, Field::BoldName},
    {L"Name:", 0, Field::Name},  // the value is taken from the line's sixth character
    {L"Status:", 8, Field::Status},
    {L"Transmission Rate:", 18, Field::Rate},
    {L"Transmission Frequency:", 23, Field::Frequency},
    {L"Antenna Location:", 18, Field::Location},
    {L"Country:", 9, Field::Country},
};

CString trimmed(CString text)
{
    text.Trim();
    return text;
}

// The beacon being read and whether it holds a name.
struct Reader {
    TBeacon current;
    bool named = false;
    CObArray& list;

    explicit Reader(CObArray& target) : list(target) { current.country = L"USA"; }

    void store()
    {
        if (!named)
            return;
        std::unique_ptr<TBeacon> copy(new TBeacon);
        copy->SetEqual(current);
        list.Add(copy.get());
        copy.release();  // the list owns it
        current.Reset();
        named = false;
    }
    void setName(const CString& name)
    {
        current.name = trimmed(name);
        named = !current.name.IsEmpty();
    }
    // The bold name runs to the next "</" after the label. Where none follows (also when the
    // line's only "</" stands before the label), the name runs to the end of the line.
    static CString boldName(const CString& line, int start)
    {
        const int end = line.Find(L"</", start);
        return end < 0 ? line.Mid(start) : line.Mid(start, end - start);
    }

    void readLine(const CString& line)
    {
        for (const Label& label : kLabels) {
            const int p = line.Find(label.text);
            if (p < 0)
                continue;
            const CString value = line.Mid(p + label.offset);  // empty past the end
            switch (label.field) {
            case Field::BoldName: store(); setName(boldName(line, p + label.offset)); break;
            case Field::Name: store(); setName(line.Mid(5)); break;
            case Field::Status: current.status = trimmed(value); break;
            case Field::Rate: current.rate = trimmed(value); break;
            case Field::Frequency: current.frequency = trimmed(value); break;
            case Field::Location: current.antennaLocation = trimmed(value); break;
            case Field::Country: store(); current.country = trimmed(value); break;
            }
            return;
        }
    }
};

// The number at the start of `text` read with "%f", 0 when there is none.
double leadingFloat(const CString& text)
{
    float value = 0.0f;
    if (std::swscanf(text, L"%f", &value) != 1)
        return 0.0;
    return value;
}

double angleOf(int degrees, float minutes)
{
    return degrees + static_cast<double>(minutes) / 60.0;
}

} // namespace

void TBeacon::Reset()
{
    name.Empty();
    status.Empty();
    antennaLocation.Empty();
    frequency.Empty();
    rate.Empty();
}

void TBeacon::SetEqual(const TBeacon& other)
{
    country = other.country;
    name = other.name;
    status = other.status;
    antennaLocation = other.antennaLocation;
    frequency = other.frequency;
    rate = other.rate;
}

bool TBeacon::GetPosition(double& latitude, double& longitude) const
{
    const wchar_t* layout = antennaLocation.Find(kDegreeSign) >= 0 ? L"%d\u00B0%f' %lc;%d\u00B0%f' %lc"
                            : antennaLocation.Find(L'\'') < 0      ? L"%d %f %lc;%d %f %lc"
                                                                   : L"%d %f' %lc;%d %f  %lc";
    int latDegrees = 0, lonDegrees = 0;
    float latMinutes = 0.0f, lonMinutes = 0.0f;
    wchar_t latHemisphere = 0, lonHemisphere = 0;  // "%lc": a wide character, whatever the locale
    const int read = std::swscanf(antennaLocation, layout, &latDegrees, &latMinutes, &latHemisphere,
                                  &lonDegrees, &lonMinutes, &lonHemisphere);
    latitude = angleOf(latDegrees, latMinutes);
    longitude = angleOf(lonDegrees, lonMinutes);
    if (latHemisphere == L'S')
        latitude = -latitude;
    if (lonHemisphere == L'W')
        longitude = -longitude;
    // Read in full is not enough: "95 30.0 N" or 75 minutes name no place on the Earth.
    const bool inRange = latDegrees >= 0 && lonDegrees >= 0 && latMinutes >= 0.0f && latMinutes < 60.0f &&
                         lonMinutes >= 0.0f && lonMinutes < 60.0f && std::fabs(latitude) <= 90.0 &&
                         std::fabs(longitude) <= 180.0;
    return read == 6 && inRange;
}

bool TBeacon::GetStatus() const
{
    return status.Find(L"Operational") >= 0;
}

double TBeacon::GetFrequency() const
{
    return leadingFloat(frequency);
}

double TBeacon::GetBaudRate() const
{
    return leadingFloat(rate);
}

bool LoadBeaconsFile(CString path, CObArray& list)
{
    CWaitCursor waitCursor;
    CFileAnsi file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return false;
    try {
        Reader reader(list);
        CString line;
        while (file.ReadNextNonBlankWCLine(line) >= 0)
            reader.readLine(line);
        reader.store();
    } catch (const std::bad_alloc&) {
        return false;  // what was stored stays in the list, which owns it
    }
    return true;
}

void DeleteBeacons(CObArray& list)
{
    for (int i = 0; i < list.GetSize(); ++i)
        delete list[i];
    list.RemoveAll();
}

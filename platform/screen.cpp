#include "platform/screen.h"

#include <cstdlib>

namespace {

// Reads a run of decimal digits as a side of 1 to kMaxScreenSide; advances `p`.
bool readSide(const char*& p, int& side)
{
    long value = 0;
    const char* start = p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > kMaxScreenSide)
            return false;
    }
    if (p == start || value < 1)
        return false;
    side = static_cast<int>(value);
    return true;
}

} // namespace

bool parseScreenSize(const char* text, int& width, int& height)
{
    if (!text)
        return false;
    const char* p = text;
    int w = 0, h = 0;
    if (!readSide(p, w) || (*p != 'x' && *p != 'X'))
        return false;
    ++p;
    if (!readSide(p, h) || *p != '\0')
        return false;
    width = w;
    height = h;
    return true;
}

bool getScreenSize(int& width, int& height)
{
    width = kDefaultScreenWidth;
    height = kDefaultScreenHeight;
    const char* text = std::getenv("FIELDCORE_SCREEN");
    if (!text || !*text)
        return true;
    return parseScreenSize(text, width, height);
}

int GetSystemMetrics(int index)
{
    int width, height;
    getScreenSize(width, height);
    if (index == SM_CXSCREEN)
        return width;
    return index == SM_CYSCREEN ? height : 0;
}

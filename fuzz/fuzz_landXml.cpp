// Road files (LandXML): any bytes read into a road or a message naming the file; every
// alignment that reads is built, staked out and located on; a file that reads is written
// back (without its refused alignments), and the written file reads again with the same
// alignments.
#include "road/landXmlReader.h"
#include "road/landXmlWriter.h"
#include "road/roadBuilder.h"
#include "road/roadLocator.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void exercise(const RoadFile& file)
{
    for (const RoadAlignment& a : file.alignments) {
        if (a.refused)
            continue;
        RoadBuild b;
        RoadError err;
        if (!BuildRoadAlignment(file, a, "", b, err)) {
            if (err.message.empty())
                std::abort();
            continue;
        }
        double start = b.alnt.getStartChainageInM(), end = start;
        b.alnt.getFinalChainageInM(end);
        RoadLocator locator;
        const bool located = locator.build(b.alnt);
        for (int i = 0; i <= 6; ++i) {
            const double s = start - 5.0 + (end - start + 10.0) * i / 6.0;
            RoadLocation p;
            if (RoadPointAt(b.alnt, s, 2.5, p)) {
                RoadLocation back;
                if (located)
                    locator.locate(p.north, p.east, back);
            }
            double h = 0.0;
            b.alnt.getPosHAtChainExtr(s, h);
            b.stations.toPosted(s);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    RoadFile file;
    RoadError err;
    if (!ReadLandXmlBytes(bytes, "fuzz.xml", file, err)) {
        if (err.file != "fuzz.xml" || err.message.empty())
            std::abort();
        return 0;
    }
    exercise(file);
    std::size_t kept = 0;
    for (const RoadAlignment& a : file.alignments)
        kept += a.refused ? 0 : 1;
    const std::string written = WriteLandXml(file, "2026-01-01", "00:00:00");
    RoadFile again;
    if (!ReadLandXmlBytes(written, "back.xml", again, err) || again.alignments.size() != kept)
        std::abort();
    for (const RoadAlignment& a : again.alignments) {
        if (a.refused)
            std::abort();  // what was written is what loaded
    }
    return 0;
}

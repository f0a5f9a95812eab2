// Locates a point on a road through the installed fieldcore package:
//   locate_point ROAD.xml NORTH EAST
// prints the alignment's name, the internal station and the offset (metres, right positive).
#include "road.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: locate_point ROAD.xml NORTH EAST\n");
        return 2;
    }
    RoadFile file;
    RoadError err;
    if (!ReadLandXmlFile(argv[1], file, err) || file.alignments.empty()) {
        std::fprintf(stderr, "locate_point: %s\n", err.text().c_str());
        return 2;
    }
    RoadBuild road;
    if (!BuildRoadAlignment(file, file.alignments.front(), "", road, err)) {
        std::fprintf(stderr, "locate_point: %s\n", err.text().c_str());
        return 2;
    }
    RoadLocator locator;
    RoadLocation at;
    if (!locator.build(road.alnt) ||
        !locator.locate(std::atof(argv[2]), std::atof(argv[3]), at)) {
        std::fprintf(stderr, "locate_point: no answer\n");
        return 1;
    }
    std::printf("%s station %.4f offset %.4f\n", file.alignments.front().name.c_str(), at.station,
                at.offset);
    return 0;
}

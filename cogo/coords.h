// TCoords: the shared 3-D point of the survey computations and the alignment engine.
#pragma once

// Bits of TCoords::mask telling which coordinates hold a value.
enum TCoordsValid {
    COORD_VALID_X = 1,   // first coordinate (north in plane use)
    COORD_VALID_Y = 2,   // second coordinate (east in plane use)
    COORD_VALID_Z = 4,   // third coordinate (height in plane use)
    COORD_VALID_ALL = 7
};

// A coordinate triple followed by its validity mask. In plane use the three coordinates are
// north, east and height in metres, in that order (note: north first, unlike the (x, y) =
// (east, north) of the intersection kit); the covariance computations use them for any
// coordinate triple. Computations that only produce coordinates write x, y, z and leave the
// mask alone. A value-initialised point is (0, 0, 0) with every coordinate valid.
struct TCoords {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    int mask = COORD_VALID_ALL;
};

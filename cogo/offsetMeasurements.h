// Offset measurements of a total station: a hidden point on a two-prism pole, points beside a
// line, the meeting of two lines, the corner where a sight meets a line, the point where a sight
// meets a plane, and angle and distance offsets of one observation.
//
// Units and frames: coordinate triples double[3] = {north, east, height}, metres. Observations
// {HA, ZA, SD}: degrees, degrees, metres. Backsight azimuth bsAz and reading bsHA in degrees
// (orientation = bsAz - bsHA). Results: 1 success; 0 degenerate geometry with `out` untouched,
// unless a function says otherwise.
#pragma once

// The point `dist` beyond p2 on the line from p1 through p2 (3-D). Returns 0 with
// out = {0, 0, 0} when p1 and p2 lie within 1e-5 m of each other.
int HiddenPoint(const double* p1, const double* p2, double dist, double* out);

// Plane: the point `along` beyond p2 in the direction u = p1 -> p2 and `left` across it, along u
// turned a quarter turn in the {north, east} frame: out.north = p2.north + along uN - left uE,
// out.east = p2.east + along uE + left uN. Note: on a north-up map that quarter turn is
// clockwise, so a positive `left` lies to the RIGHT of p1 -> p2 (north -> east), whatever the
// name says; the formula is the contract. The height is not written. Returns 0 when p1 and p2
// coincide in plan (no direction), else 1.
int AlongAndPerp(const double* p1, const double* p2, double left, double along, double* out);

// The point reached from p2 by `along` on the sloping line p1 -> p2, `right` across it
// (positive right) and `up`. Returns 1.
int LineOffset(const double* p1, const double* p2, double along, double right, double up, double* out);
// The same with p1 and p2 observed from `stn` (TaskDirection, dh the instrument height minus the
// target height of both observations).
int LineOffset(const double* stn, double bsAz, double bsHA, double dh, double HA1, double ZA1, double SD1,
               double HA2, double ZA2, double SD2, double along, double right, double up, double* out);

// The plan intersection of line a (a1 -> a2) and line b (b1 -> b2); the height is that of line a
// there (linear in the signed position along a1 -> a2). Returns 0 for parallel lines or a line
// whose two points coincide in plan.
int LineLine(const double* a1, const double* a2, const double* b1, const double* b2, double* out);
// The same from four observations {HA, ZA, SD} (two per line) through TaskDirection; the height is
// the mean of both lines' heights there.
int LineLine(const double* stn, double bsAz, double bsHA, double dh, const double* obsA1, const double* obsA2,
             const double* obsB1, const double* obsB2, double* out);

// The point where the sight with reading HA meets the line through p1 and p2. Returns 0 when the
// station lies on the line, the sight runs parallel to it, or the line lies behind the sight.
// The height follows the line's grade from the nearer of p1 and p2 outwards: beyond an end
// exactly the line; between the points mirrored about the nearer one (p1 (0, 0, 10),
// p2 (0, 10, 11), corner (0, 2): 9.8, where the line is at 10.2). `hi` is not used.
int LineCorner(const double* stn, double bsAz, double bsHA, double hi, const double* p1, const double* p2,
               double HA, double* out);
// The same with the line given by two observations {HA1, ZA1, SD1}, {HA2, ZA2, SD2} (points by
// TaskDirection with dh = hi, the targets' heights at the sighted points), and the sight's HA and
// ZA. The height: when |sin ZA| >= 1e-13, stn.h + HD x cos ZA / sin ZA + up (HD the plan
// distance from the station to the corner; `up` the height offset, for example hi - ht);
// otherwise (pass ZA = 0) the line's height as in the point form. The zenith angle wins when
// both are available.
int LineCorner(const double* stn, double bsAz, double bsHA, double hi, double HA1, double ZA1, double SD1,
               double HA2, double ZA2, double SD2, double HA, double ZA, double up, double* out);

// The point where the sight from {stn.n, stn.e, stn.h + hi} with HA and ZA meets the plane
// through p1, p2, p3. Returns 0 when the station lies in the plane, the sight is parallel to it
// or the plane lies behind the sight.
int PlaneOffset(const double* stn, double bsAz, double bsHA, double hi, const double* p1, const double* p2,
                const double* p3, double HA, double ZA, double* out);
// Block form: block[15] = {bsAz, bsHA, hi, then four observations {HA, ZA, SD}}: the first three
// place the plane's points (TaskDirection, dh = hi: heights of the sighted points), the fourth
// is the sight (its SD is not used).
int PlaneOffset(const double* stn, const double* block, double* out);

// Offset kind of Offsets4TS. Any other value means no offset.
enum ETypeOffset : int {
    OFFSET_HA = 1,          // a: degrees added to HA
    OFFSET_HA_VA = 2,       // a added to HA, b to ZA (degrees), horizontal distance kept; ht taken as 0
    OFFSET_DISTANCES = 3    // a along the sight, b across it (positive clockwise), c up (metres)
};

// Applies the offset of `kind` to `obs`, writes the corrected observation (degrees, metres) to
// `correctedObs` when given, and the point (TaskDirection, dh = hi - ht) to `out`.
void Offsets4TS(const double* stn, double bsAz, double bsHA, double hi, double ht, const double* obs, double* out,
                ETypeOffset kind, double a, double b, double c, double* correctedObs);

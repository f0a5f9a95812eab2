// Geodesics on the ellipsoid: the inverse problem (distance and azimuths between two points)
// and the direct problem (the point at a distance along an azimuth).
//
// Units: latitudes, longitudes and azimuths in decimal degrees (azimuths clockwise from north),
// distances and the semi-major axis a in metres, rf the inverse flattening.
#pragma once

// How invers ended (`kind`).
enum TInversKind {
    INVERS_LAMBDA = 0,       // the iteration on the longitude difference converged
    INVERS_COINCIDENT = 1,   // the points coincide: s = 0, faz = 0, baz = 180
    INVERS_AZIMUTH = 2       // nearly antipodal: the longitude iteration did not converge and the
                             // start azimuth was solved for instead (bisection, bounded)
};

// The inverse problem: the forward azimuth faz at point 1, the back azimuth baz at point 2
// (towards point 1: the forward azimuth there + 180), both in (-180, 540) as computed (invlon
// brings them into [0, 360)), and the distance s.
// Method: the iteration on the longitude difference lambda over reduced latitudes ("Vincenty
// type", at most 100 iterations) until |d lambda| < 2e-11, then sigma, alpha and both azimuths
// evaluated once more at the final lambda. When it does not converge (within about a degree of
// antipodal, or exactly antipodal) the start azimuth is solved for by bisection on the
// longitude it reaches, with the same series, in the canonical arrangement of Karney
// ("Algorithms for geodesics", J. Geodesy, 2013), where that longitude grows with the azimuth.
// lambdaFlag: 1 the longitude iteration converged, 0 not. kind: TInversKind. iterations: the
// iterations run (both methods); sigma: the arc on the auxiliary sphere, radians.
// Accuracy (WGS-84, against GeographicLib): distance and sideways miss s x |d faz| under 1 um
// up to 100 km, 14 um to 2000 km, 60 um to 10,000 km, distance 80 um to 19,500 km; nearly
// antipodal within 1 mm in distance and in |m12| x |d faz| (m12 the reduced length).
void invers(double a, double rf, double lat1, double lon1, double lat2, double lon2, double& faz, double& baz,
            double& s, int& iterations, double& sigma, int& lambdaFlag, int& kind);

// invers with both azimuths brought into [0, 360) (note the order: faz, s, baz).
void invlon(double a, double rf, double lat1, double lon1, double lat2, double lon2, double& faz, double& s,
            double& baz);

namespace CogoFunctions {

// invlon on {latitude, longitude} pairs. Returns 1.
int GeoTwoPointInverse(double a, double rf, const double* p1, const double* p2, double& faz, double& baz, double& s);

// The direct problem: p2 = {latitude, longitude} reached from p1 along the azimuth az over the
// distance s (|s| < 1e-9: p2 = p1). A first estimate with the meridian radius M at p1 and the
// normal radius at the estimate, then at most 19 corrections from invlon's azimuth and distance
// misfits (the azimuth misfit wrapped into (-180, 180]), with M and N2 cos(lat2) of the first
// estimate kept; it stops when the azimuth misfit is below 1e-13 rad and the distance misfit
// below 1e-9 m. The longitude is not wrapped. Returns 1.
// Domain: a fixed-point loop that slows, then diverges, as the meridians converge across the
// line. It meets 0.1 mm where s x tan(larger end latitude) <= 1.5e6 m (1000 km up to 56 deg,
// 500 km to 71 deg, 100 km to 86 deg); beyond, it can miss by metres to kilometres (1000 km at
// 80 deg). Check an answer with invlon where that matters.
int GeoDirectComp(double a, double rf, const double* p1, double az, double s, double* p2);

} // namespace CogoFunctions

// Small geographic differences as local north/east offsets and back, on a sphere of local
// radius: offsets between geographic points, the point at an offset, the meeting of two
// azimuth lines, the point-to-line frame of geographic points, and the reduction of distances
// between the ground and the ellipsoid.
//
// Units and frames: latitudes and longitudes in decimal degrees, heights, offsets and radii in
// metres; geographic triples {latitude, longitude, height}; offsets dN (north), dE (east);
// azimuths clockwise from north in degrees.
//
// Radii: the Gaussian mean radius of curvature a sqrt(1 - e^2) / (1 - e^2 sin^2 lat) of the
// ellipsoid (WGS-84 unless given); the functions taking a radius use, for radius 0, the same
// formula with the constants b = 6356752.314245179 m and e^2 = 0.006694379990141317.
//
// Accuracy: these are plane approximations on one sphere for both directions. The Gaussian
// radius is the ellipsoid's geometric mean, off the meridian radius by up to 0.34 % at the
// equator: 1000 m north placed by GetBL2FromBL1AndDeDn lies 996.647 m along the meridian.
// Within 1 km, GetOffsetLatLon after GetNeOffsetFromLatLon returns the point within 0.6 mm,
// and the point-to-line frame round trip within 1e-7 m at height 0 (the frame scales by the
// radius plus the mean height, the way back ignores height: 2.1 cm at 100 m, 22 cm at 1000 m).
// Domain: offsets up to a few kilometres, latitudes away from the poles.
#pragma once

// The Gaussian mean radius (metres) at lat on the ellipsoid (a, rf), a and rf taken as frgeod
// takes them (|rf| < 0.1: 298.257222101; |a| < 5e6: 6378137).
double GaussianRadius(double a, double rf, double lat);

// The offset of (lat2, lon2) from (lat1, lon1): r = height + R (R = radius, or for radius 0 the
// mean of the Gaussian radii at both latitudes); dN = dlat r, dE = dlon cos(mean lat) r
// (radians). The longitude difference is wrapped into [-180, 180] with remainder(., 360), exact
// and so identical for differences below 180 degrees: points across +-180 go the short way.
void GetNeOffsetFromLatLon(double& dN, double& dE, double lat1, double lon1, double lat2, double lon2, double height,
                           double radius);

// The point at the offset (dN, dE) from (lat0, lon0): r = height + R (R = radius, or for radius
// 0 the Gaussian radius at lat0); lat = lat0 + dN / r; lon = lon0 + dE / (cos(mean lat) r), lon0
// when that cosine times r is below 1e-12. The longitude is not wrapped.
void GetOffsetLatLon(double& lat, double& lon, double lat0, double lon0, double dN, double dE, double height,
                     double radius);

// The point at the offset (dE, dN) (east first) from (lat1, lon1), with the Gaussian radius at
// lat1, then again at the mean latitude of the first estimate (lon2 = lon1 where the cosine of
// the latitude is below 1e-6).
void GetBL2FromBL1AndDeDn(double lat1, double lon1, double dE, double dN, double& lat2, double& lon2);

// The meeting of the line from (lat1, lon1) with azimuth az1 and the line from (lat2, lon2)
// with azimuth az2, in the plane of the offsets from point 1. Returns 0 (outputs untouched) for
// parallel lines, else 1.
int ComputeBLIntersectionPoint(double lat1, double lon1, double az1, double lat2, double lon2, double az2,
                               double& lat, double& lon);

// ---- Geographic point-to-line frame: ptl = {along, right, dH} ----

// Offsets from llh0 (radius 0, height the mean of both heights), then along and right of the
// line with the azimuth `azimuth`.
void WGSCoordsToPtl(const double* llh0, double azimuth, const double* llh, double* ptl);
// The line from llh0 towards llh1 (its azimuth from the offsets at height 0).
void WGSCoordsToPtl(const double* llh0, const double* llh1, const double* llh, double* ptl);
// The reverse, through GetBL2FromBL1AndDeDn; height h0 + dH.
void PtlToWGSCoords(const double* llh0, const double* llh1, const double* ptl, double* llh);

// ---- Offsets as {azimuth, zenith angle, distance} ----

// From llh0 to llh1: the offsets (height 0, radius 0) and dH = h1 - h0 inverted from the origin
// (TaskInverse); the distance slope with `slope`, else horizontal.
void GetOffsetFromWgsCoords(const double* llh0, const double* llh1, bool slope, double* out);
// Its counterpart: the point at offset = {azimuth, zenith angle, distance} from llh0. The angle
// is a zenith angle in both forms (as in OffsetNeuCoords, so that the pair round-trips):
// with `slope` the horizontal part is d sin za and the height difference d cos za; without it
// the distance is horizontal and the height difference d cos za / sin za (0 where |sin za| <=
// 1e-16). Placed with GetBL2FromBL1AndDeDn.
void OffsetWgsCoords(const double* llh0, const double* offset, bool slope, double* llh);

namespace CogoFunctions {

// Ground and ellipsoid distances (metres) from a distance d at height h, latitude lat, on the
// ellipsoid (a, rf) with R the Gaussian radius there: ground = (R + h) / R x d, ellipsoid =
// R / (R + h) x d. The averaged forms use the mean of R(lat1) and R(lat2) and the mean height.
// a and rf as frgeod takes them (|rf| < 0.1 is GRS 80's 298.257222101, |a| < 5e6 is 6378137, so
// an rf of 0 gives no NaN). Return 1; 0 with `out` untouched when R(lat1) < 1e-5 m.
int GetGroundDistance(double d, double h, double a, double rf, double lat, double& out);
int GetGeodesicDistance(double d, double h, double a, double rf, double lat, double& out);
int GetAvgGroundDistance(double d, double h1, double h2, double a, double rf, double lat1, double lat2, double& out);
int GetAvgGeodesicDistance(double d, double h1, double h2, double a, double rf, double lat1, double lat2,
                           double& out);

} // namespace CogoFunctions

// The camera view: a camera standing at a 3D position, looking in a direction (heading and
// pitch), turned about its line of sight by a roll angle, with a rectangular field of view,
// and the mapping of world points to camera angles and screen coordinates.
//
// Frames and units: positions are TCoords (north, east, height in metres; cogo/coords.h).
// Angles are CMathAngle values (radians). The heading is an azimuth (clockwise from grid north)
// and the pitch an elevation (up positive).
//
// Three kinds of angle pair (horizontal h, vertical v):
//   - world angles of a point: its azimuth minus the heading and its elevation minus the
//     pitch, measured in the world's horizontal and vertical planes;
//   - camera angles: the world angles with the roll taken off: the pair of tangents
//     (tan v, tan h) rotated back by the roll (CMathAngle::getRotatedBack), each turned back
//     into an angle that keeps the side (front or back) of the world angle it came from, so
//     that with no roll the camera angles equal the world angles;
//   - screen coordinates: x = tan(h) f + tan(half horizontal opening) f from the left edge,
//     y = tan(half vertical opening) f - tan(v) f from the top edge (f the screen distance).
#pragma once

#include "cogo/coords.h"
#include "numeric/mathAngle.h"

// A direction: horizontal and vertical angle.
struct T3dDir {
    CMathAngle h;
    CMathAngle v;
};

// A camera: position (zero, all coordinates valid, by default), direction (heading h and pitch
// v) and roll about the line of sight (all 0 by default).
struct T3dPosAndDirRotated {
    TCoords pos;
    T3dDir dir;
    CMathAngle roll;

    // The camera angles of p. False unless north and east are valid at both the camera and p
    // and p lies off the camera's plumb line, and height is valid at both, and the world
    // angles can be turned into camera angles.
    bool get_hvAngles(const TCoords& p, CMathAngle& h, CMathAngle& v) const;
    bool get_camera_dir(const TCoords& p, T3dDir& out) const;
    // World angles to camera angles and back; false (nothing written) when the cosine of
    // either given angle is zero within 1e-12 (its tangent does not exist).
    bool worldHaVaToCameraHaVa(const CMathAngle& h, const CMathAngle& v, CMathAngle& camH, CMathAngle& camV) const;
    bool cameraHaVaToWorldHaVa(const CMathAngle& camH, const CMathAngle& camV, CMathAngle& h, CMathAngle& v) const;
    bool worldDirToCameraDir(const T3dDir& world, T3dDir& camera) const;
    bool cameraDirToWorldDir(const T3dDir& camera, T3dDir& world) const;
};

// A camera with a rectangular field of view: half openings (0 by default) either side of the
// line of sight, horizontally and vertically.
struct TRectCone : T3dPosAndDirRotated {
    CMathAngle halfH;
    CMathAngle halfV;

    // |half horizontal opening| >= |a| (radians); likewise vertically.
    bool is_visible_camera_hAngle(const CMathAngle& a) const;
    bool is_visible_camera_vAngle(const CMathAngle& a) const;
    bool is_visible_camera_dir(const T3dDir& camera) const;
    // The world direction turned into camera angles, then the test.
    bool is_visible_world_dir(const T3dDir& world) const;
    // The camera angles of p (written only when true) and the test.
    bool get_visible_camera_dir(const TCoords& p, T3dDir& camera) const;
    // Segment clipping is not provided: false.
    bool get_visible_seg(const TCoords& a, const TCoords& b, T3dDir& dirA, T3dDir& dirB) const;
};

// A field of view with its screen plane at `distance` screen units from the camera.
struct TViewParams : TRectCone {
    double distance;

    explicit TViewParams(double distance_ = 1.0) : distance(distance_) {}

    // tan(half opening) * distance: half the screen's width and height.
    double get_half_x_ext() const;
    double get_half_y_ext() const;
    // 0 <= x <= 2 tan(half horizontal opening) distance; likewise y vertically.
    bool is_visible_screen_x(double x) const;
    bool is_visible_screen_y(double y) const;
    // Screen coordinates of p (see the header); false when its camera angles cannot be had.
    bool get_screen_xy(const TCoords& p, double& x, double& y) const;
    // get_screen_xy and both screen tests; x and y written only when true.
    bool get_visible_screen_xy(const TCoords& p, double& x, double& y) const;
    // Segment clipping is not provided: false.
    bool get_visible_screen_seg(const TCoords& a, const TCoords& b, double& x1, double& y1, double& x2,
                                double& y2) const;
};

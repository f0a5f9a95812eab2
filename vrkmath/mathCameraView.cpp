#include "vrkmath/mathCameraView.h"

#include <cmath>

namespace {

constexpr double kZero = 1e-12;

bool valid(const TCoords& p, int bits)
{
    return (p.mask & bits) == bits;
}

// The angle whose tangent is t on the side (front: cos > 0, back: cos < 0) given by `front`.
void angleFromTangent(double t, bool front, CMathAngle& out)
{
    const double s = front ? 1.0 : -1.0;
    out.setRad(std::atan2(t * s, s));
}

// (tan v, tan h) turned by the roll (forward or back) and back into angles on the sides of the
// given angles. False when either cosine is zero within 1e-12.
bool turnTangents(const CMathAngle& roll, bool back, const CMathAngle& h, const CMathAngle& v, CMathAngle& outH,
                  CMathAngle& outV)
{
    const double ch = h.getCos();
    const double cv = v.getCos();
    if (std::fabs(ch) < kZero || std::fabs(cv) < kZero)
        return false;
    double tv = v.getSin() / cv;
    double th = h.getSin() / ch;
    if (back)
        roll.getRotatedBack(tv, th);
    else
        roll.getRotated(tv, th);
    angleFromTangent(th, ch > 0.0, outH);
    angleFromTangent(tv, cv > 0.0, outV);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// T3dPosAndDirRotated

bool T3dPosAndDirRotated::get_hvAngles(const TCoords& p, CMathAngle& h, CMathAngle& v) const
{
    const int plan = COORD_VALID_X | COORD_VALID_Y;
    if (!valid(pos, plan) || !valid(p, plan))
        return false;
    const double dN = p.x - pos.x;
    const double dE = p.y - pos.y;
    CMathAngle worldH;
    if (!worldH.setTg(dE, dN))
        return false;
    worldH -= dir.h;
    if (!valid(pos, COORD_VALID_ALL) || !valid(p, COORD_VALID_ALL))
        return false;
    CMathAngle worldV;
    if (!worldV.setTg(p.z - pos.z, std::sqrt(dN * dN + dE * dE)))
        return false;
    worldV -= dir.v;
    return worldHaVaToCameraHaVa(worldH, worldV, h, v);
}

bool T3dPosAndDirRotated::get_camera_dir(const TCoords& p, T3dDir& out) const
{
    return get_hvAngles(p, out.h, out.v);
}

bool T3dPosAndDirRotated::worldHaVaToCameraHaVa(const CMathAngle& h, const CMathAngle& v, CMathAngle& camH,
                                                CMathAngle& camV) const
{
    return turnTangents(roll, true, h, v, camH, camV);
}

bool T3dPosAndDirRotated::cameraHaVaToWorldHaVa(const CMathAngle& camH, const CMathAngle& camV, CMathAngle& h,
                                                CMathAngle& v) const
{
    return turnTangents(roll, false, camH, camV, h, v);
}

bool T3dPosAndDirRotated::worldDirToCameraDir(const T3dDir& world, T3dDir& camera) const
{
    return worldHaVaToCameraHaVa(world.h, world.v, camera.h, camera.v);
}

bool T3dPosAndDirRotated::cameraDirToWorldDir(const T3dDir& camera, T3dDir& world) const
{
    return cameraHaVaToWorldHaVa(camera.h, camera.v, world.h, world.v);
}

// ---------------------------------------------------------------------------------------------
// TRectCone

bool TRectCone::is_visible_camera_hAngle(const CMathAngle& a) const
{
    return std::fabs(halfH.getRad()) >= std::fabs(a.getRad());
}

bool TRectCone::is_visible_camera_vAngle(const CMathAngle& a) const
{
    return std::fabs(halfV.getRad()) >= std::fabs(a.getRad());
}

bool TRectCone::is_visible_camera_dir(const T3dDir& camera) const
{
    return is_visible_camera_hAngle(camera.h) && is_visible_camera_vAngle(camera.v);
}

bool TRectCone::is_visible_world_dir(const T3dDir& world) const
{
    T3dDir camera;
    return worldDirToCameraDir(world, camera) && is_visible_camera_dir(camera);
}

bool TRectCone::get_visible_camera_dir(const TCoords& p, T3dDir& camera) const
{
    T3dDir d;
    if (!get_camera_dir(p, d) || !is_visible_camera_dir(d))
        return false;
    camera = d;
    return true;
}

bool TRectCone::get_visible_seg(const TCoords&, const TCoords&, T3dDir&, T3dDir&) const
{
    return false;
}

// ---------------------------------------------------------------------------------------------
// TViewParams

double TViewParams::get_half_x_ext() const
{
    return halfH.getTg() * distance;
}

double TViewParams::get_half_y_ext() const
{
    return halfV.getTg() * distance;
}

bool TViewParams::is_visible_screen_x(double x) const
{
    return 0.0 <= x && x <= 2.0 * halfH.getTg() * distance;
}

bool TViewParams::is_visible_screen_y(double y) const
{
    return 0.0 <= y && y <= 2.0 * halfV.getTg() * distance;
}

bool TViewParams::get_screen_xy(const TCoords& p, double& x, double& y) const
{
    CMathAngle h, v;
    if (!get_hvAngles(p, h, v))
        return false;
    x = h.getTg() * distance + halfH.getTg() * distance;
    y = halfV.getTg() * distance - v.getTg() * distance;
    return true;
}

bool TViewParams::get_visible_screen_xy(const TCoords& p, double& x, double& y) const
{
    double sx, sy;
    if (!get_screen_xy(p, sx, sy) || !is_visible_screen_x(sx) || !is_visible_screen_y(sy))
        return false;
    x = sx;
    y = sy;
    return true;
}

bool TViewParams::get_visible_screen_seg(const TCoords&, const TCoords&, double&, double&, double&,
                                         double&) const
{
    return false;
}

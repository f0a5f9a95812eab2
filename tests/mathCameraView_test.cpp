// The camera view: world and camera angles of points, the roll, visibility and screen
// coordinates.
#include "vrkmath/mathCameraView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double kRad = 0.017453292519943295;

TCoords at(double n, double e, double h, int mask = COORD_VALID_ALL)
{ TCoords p; p.x = n, p.y = e, p.z = h, p.mask = mask; return p; }

} // namespace

TEST(CameraView, AnglesOfPoints)
{
    struct Case { double heading, pitch; TCoords p; bool ok; double h, v; const char* reason; } cases[] = {   // degrees
        {0, 0, at(10, 10, 0), true, 45, 0, "ahead and to the right"},
        {0, 0, at(10, 0, 10), true, 0, 45, "ahead and up"}, {90, 0, at(0, 10, -10), true, 0, -45, "heading east, down"},
        {0, 30, at(10, 0, 0), true, 0, -30, "pitched up: a level point lies below"},
        {0, 0, at(-10, -10, 0), true, -135, 0, "behind stays behind"},
        {0, 0, at(0, 10, 0), false, 0, 0, "square to the line of sight: no tangent"},
        {0, 0, at(0, 0, 10), false, 0, 0, "on the plumb line"},
        {0, 0, at(10, 0, 0, COORD_VALID_X | COORD_VALID_Y), false, 0, 0, "no height"},
    };
    for (const Case& k : cases) {
        T3dPosAndDirRotated cam;
        cam.dir.h.setDeg(k.heading);
        cam.dir.v.setDeg(k.pitch);
        T3dDir d;
        ASSERT_EQ(cam.get_camera_dir(k.p, d), k.ok) << k.reason;
        EXPECT_TRUE(!k.ok || (std::fabs(d.h.getDeg() - k.h) < 1e-12 && std::fabs(d.v.getDeg() - k.v) < 1e-12))
            << k.reason << ": " << d.h.getDeg() << " " << d.v.getDeg();
    }
}

TEST(CameraView, RollTurnsTheTangentsAndBack)
{
    std::mt19937 rng(31);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int i = 0; i < 200; ++i) {
        T3dPosAndDirRotated cam;
        cam.roll.setRad(u(rng) * 3.0);
        T3dDir world, camera, back;
        world.h.setRad(u(rng) * 3.0);   // the back half included
        world.v.setRad(u(rng) * 1.4);
        ASSERT_TRUE(cam.worldDirToCameraDir(world, camera) && cam.cameraDirToWorldDir(camera, back));
        EXPECT_NEAR(std::hypot(back.h.getRad() - world.h.getRad(), back.v.getRad() - world.v.getRad()), 0.0, 1e-9) << i;
        // A rotation keeps the length of the tangent pair.
        const double tw = std::hypot(world.h.getTg(), world.v.getTg());
        EXPECT_NEAR(std::hypot(camera.h.getTg(), camera.v.getTg()), tw, 1e-9 * (1.0 + tw)) << i;
        // Without roll the camera angles are the world angles.
        cam.roll.setRad(0.0);
        ASSERT_TRUE(cam.worldDirToCameraDir(world, camera));
        EXPECT_NEAR(std::hypot(camera.h.getRad() - world.h.getRad(), camera.v.getRad() - world.v.getRad()), 0.0, 1e-12) << i;
    }
    T3dPosAndDirRotated cam;
    CMathAngle right(90.0), zero, h, v;
    EXPECT_FALSE(cam.worldHaVaToCameraHaVa(right, zero, h, v) || cam.cameraHaVaToWorldHaVa(zero, right, h, v));
}

TEST(CameraView, ScreenAndVisibility)
{
    TViewParams view(2.0);
    view.halfH.setDeg(30.0);
    view.halfV.setDeg(20.0);
    const double w = 2.0 * view.get_half_x_ext();
    EXPECT_NEAR(view.get_half_x_ext(), std::tan(30 * kRad) * 2.0, 1e-15);
    EXPECT_TRUE(view.is_visible_screen_x(0.0) && view.is_visible_screen_x(w) &&
                view.is_visible_screen_y(2.0 * view.get_half_y_ext()));
    EXPECT_FALSE(view.is_visible_screen_x(std::nextafter(w, 10.0)) || view.is_visible_screen_x(-1e-300));

    struct Case { TCoords p; bool ok, visible; double x, y; const char* reason; } cases[] = {
        {at(10, 0, 0), true, true, w / 2, view.get_half_y_ext(), "on the line of sight: the centre"},
        {at(10, 10 * std::tan(30 * kRad), 0), true, true, w, view.get_half_y_ext(), "on the right edge"},
        {at(10, 0, 10 * std::tan(10 * kRad)), true, true, w / 2, 2.0 * (std::tan(20 * kRad) - std::tan(10 * kRad)),
         "above the centre: y grows downwards"},
        {at(10, 10, 0), true, false, 2.0 * (1.0 + std::tan(30 * kRad)), view.get_half_y_ext(), "45 degrees right"},
        {at(10, 0, 0, COORD_VALID_X), false, false, 0, 0, "no east"},
    };
    for (const Case& k : cases) {
        double x = -7, y = -7, vx = -7, vy = -7;
        T3dDir d;
        ASSERT_EQ(view.get_screen_xy(k.p, x, y), k.ok) << k.reason;
        EXPECT_TRUE(!k.ok || (std::fabs(x - k.x) < 1e-12 && std::fabs(y - k.y) < 1e-12)) << k.reason << ": " << x << " " << y;
        EXPECT_EQ(view.get_visible_screen_xy(k.p, vx, vy), k.visible) << k.reason;
        EXPECT_EQ(view.get_visible_camera_dir(k.p, d), k.visible) << k.reason;
        EXPECT_TRUE(k.visible || vx == -7.0) << k.reason << ": written when not visible";
    }
    T3dDir d;
    d.h.setDeg(-29.0);
    d.v.setDeg(21.0);
    EXPECT_FALSE(view.is_visible_camera_dir(d)) << "21 degrees up is outside the 20 degree half opening";
    d.v.setDeg(-19.0);
    EXPECT_TRUE(view.is_visible_world_dir(d));
    double x1, y1, x2, y2;
    EXPECT_FALSE(view.get_visible_screen_seg(at(10, 0, 0), at(20, 0, 0), x1, y1, x2, y2) ||
                 view.get_visible_seg(at(10, 0, 0), at(20, 0, 0), d, d));
}

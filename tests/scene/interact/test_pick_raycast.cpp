// 10,000 boxes picked at 100 window points give the answers of a ray cast
// on the CPU over the boxes' bounds: the same boxes under each point, and
// the nearest of them elected.
#include "scene/nodes/Camera.h"
#include "tests/scene/interact/PickScenes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

using namespace lumo::test;

namespace {

const int kBoxes = 10000, kPoints = 100, kSide = 200;
const double kFov = 0.7853980, kNear = 1.0, kFar = 60.0, kEyeZ = 20.0;

struct Bounds {
    double lo[3], hi[3];
};

// Where the ray from the eye through window point (x, y) (OpenGL window
// coordinates) enters the box; false when it misses. 'margin' grows (or,
// negative, shrinks) the box.
bool Enter(const Bounds& b, double x, double y, double margin, double& t)
{
    double k = std::tan(kFov / 2);
    double dir[3] = {(2 * x / kSide - 1) * k, (2 * y / kSide - 1) * k, -1};
    double eye[3] = {0, 0, kEyeZ};
    double t0 = 0, t1 = 1e30;
    for (int a = 0; a < 3; ++a) {
        double lo = b.lo[a] - margin, hi = b.hi[a] + margin;
        if (dir[a] == 0) {
            if (eye[a] < lo || eye[a] > hi)
                return false;
            continue;
        }
        double ta = (lo - eye[a]) / dir[a], tb = (hi - eye[a]) / dir[a];
        t0 = std::max(t0, std::min(ta, tb));
        t1 = std::min(t1, std::max(ta, tb));
    }
    t = t0;
    return t0 <= t1;
}

TEST(PickRayCast, TenThousandBoxesAtAHundredPointsMatchARayCast)
{
    SceneRender render(kSide, kSide);
    auto* camera = new CVPerspectiveCamera;
    camera->position.SetValue(0, 0, float(kEyeZ));
    camera->viewAngle.SetValue(float(kFov));
    camera->nearPlane.SetValue(float(kNear));
    camera->farPlane.SetValue(float(kFar));
    HeldCamera scene(camera);

    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> across(-6.0f, 6.0f), deep(-8.0f, 4.0f), size(0.05f, 0.8f);
    std::vector<Bounds> bounds;
    std::vector<CVShape*> shapes;
    for (int i = 0; i < kBoxes; ++i) {
        float c[3] = {across(random), across(random), deep(random)};
        float s[3] = {size(random), size(random), size(random)};
        CVShape* shape = BoxShape(s[0], s[1], s[2]);
        scene.Add(Placed(shape, c[0], c[1], c[2]));
        shapes.push_back(shape);
        Bounds b;
        for (int a = 0; a < 3; ++a) {
            b.lo[a] = double(c[a]) - double(s[a]) / 2;
            b.hi[a] = double(c[a]) + double(s[a]) / 2;
        }
        bounds.push_back(b);
    }
    render.Render(scene.camera);
    CVPickAction action(render.Area());

    // Points where the answer is clear: no box edge within a fifth of a
    // pixel of the ray (a pixel is 0.08 to 0.12 units across where the
    // boxes are), and no two candidates nearly as near.
    const double margin = 0.025;
    std::uniform_real_distribution<double> window(2.0, kSide - 2.0);
    int checked = 0, withHits = 0, tries = 0;
    while (checked < kPoints && tries++ < 20 * kPoints) {
        double x = window(random), y = window(random);
        std::set<CVNode*> expected;
        CVNode* nearest = nullptr;
        double best = 1e30, second = 1e30;
        bool clear = true;
        for (int i = 0; i < kBoxes && clear; ++i) {
            double tIn = 0, tOut = 0, t = 0;
            bool in = Enter(bounds[size_t(i)], x, y, -margin, tIn);
            bool out = Enter(bounds[size_t(i)], x, y, margin, tOut);
            if (in != out) {
                clear = false;
                break;
            }
            if (!in)
                continue;
            Enter(bounds[size_t(i)], x, y, 0, t);
            expected.insert(shapes[size_t(i)]);
            if (t < best) {
                second = best;
                best = t;
                nearest = shapes[size_t(i)];
            } else {
                second = std::min(second, t);
            }
        }
        if (!clear || second - best < 0.01)
            continue;
        // The window point is given from the top, as the mouse gives it.
        action.SetAperture(x, kSide - y, 0.1, 0.1);
        ASSERT_EQ(action.Apply(scene.camera), 1);
        std::set<CVNode*> picked;
        for (const auto& hit : action.GetPickedShapeList())
            picked.insert(hit->GetShape());
        EXPECT_EQ(picked, expected) << "at " << x << ", " << y;
        EXPECT_EQ(size_t(action.GetNumPickedShapes()), expected.size()) << "one record a box";
        CVPickedShape* closest = action.GetClosestPickedShape();
        EXPECT_EQ(closest ? closest->GetShape() : nullptr, nearest) << "at " << x << ", " << y;
        ++checked;
        withHits += expected.empty() ? 0 : 1;
    }
    EXPECT_EQ(checked, kPoints);
    EXPECT_GT(withHits, kPoints / 2) << "most points look at boxes";
}

} // namespace

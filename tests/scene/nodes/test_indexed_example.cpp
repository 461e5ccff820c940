// The example document of indexed geometry (examples/data/floor.x3d) as it
// renders: the L-shaped face keeps its notch and its pillar open, each face
// has its own colour, the path is dashed and the point cloud is there.
#include "scene/nodes/Group.h"
#include "scene/nodes/Transform.h"
#include "scene/x3d/Parser.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <string>

using namespace lumo::test;

namespace {

const Pixel kBlack{0, 0, 0};

// 200 x 150 pixels, 6 units high: 25 pixels a unit. The document's
// drawing spans x 0 .. 7 and y -0.5 .. 4.5; moved by (-3.5, -2) it is
// centred, so document point (x, y) lands on pixel (100 + 25 (x - 3.5),
// 75 - 25 (y - 2)).
int Px(float x) { return int(100.0f + 25.0f * (x - 3.5f)); }
int Py(float y) { return int(75.0f - 25.0f * (y - 2.0f)); }

TEST(IndexedExample, TheFloorPlanRendersItsFacesLinesAndPoints)
{
    const std::string path = std::string(LUMO_PROJECT_DIR) + "/examples/data/floor.x3d";
    CVGroup* doc = CVParser().ParseXMLFile(std::wstring(path.begin(), path.end()));
    ASSERT_NE(doc, nullptr);
    auto* moved = new CVTransform;
    moved->translation.SetValue(-3.5f, -2.0f, 0.0f);
    moved->children.Add(doc);
    SceneRender r(200, 150);
    HeldCamera scene(OrthoCamera(6.0f));
    scene.Add(moved);
    ASSERT_EQ(r.Render(scene.camera), 1);

    // The sales floor, face 0: its colour on both arms; its notch (the
    // upper right quarter of the L) and the pillar are background.
    const Pixel floorColour{51, 115, 217};
    EXPECT_TRUE(Near(r.At(Px(1), Py(3)), floorColour, 2)) << r.At(Px(1), Py(3))[2];
    EXPECT_TRUE(Near(r.At(Px(3.5f), Py(1)), floorColour, 2));
    const Pixel corner = r.At(Px(0.25f), Py(0.25f));
    EXPECT_TRUE(Near(corner, floorColour, 2)) << corner[0] << " " << corner[1] << " " << corner[2];
    EXPECT_EQ(r.At(Px(2.5f), Py(3.5f)), kBlack);
    EXPECT_EQ(r.At(Px(1), Py(1)), kBlack);
    // The promotion arrow, face 1: its own colour, and its concave side open.
    const Pixel arrowColour{255, 140, 0};
    EXPECT_TRUE(Near(r.At(Px(6.5f), Py(1)), arrowColour, 2));
    EXPECT_EQ(r.At(Px(5.4f), Py(1)), kBlack);
    // The customer path: dashed, in the first polyline's colour.
    int red = 0, gaps = 0;
    for (int x = Px(0.5f); x <= Px(2.75f); ++x) {
        Pixel p = r.At(x, Py(-0.5f));
        if (p[0] > 120 && p[1] < 80)
            ++red;
        else if (Near(p, kBlack, 30))
            ++gaps;
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(gaps, 10);
    // The visitor counts: a point of the cloud, coloured by its point.
    EXPECT_TRUE(Near(r.At(Px(4.5f), Py(3)), (Pixel{255, 255, 0}), 30));
    EXPECT_TRUE(Near(r.At(Px(6.5f), Py(4)), (Pixel{255, 51, 0}), 30));
    EXPECT_EQ(r.At(Px(4.75f), Py(3.25f)), kBlack);
}

} // namespace

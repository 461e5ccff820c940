// The example documents of swept and surface geometry as they render: the
// surface chart (examples/data/surface.x3d) seen from above shows each
// band's colour where the heights lie inside it and its contour lines; the
// ribbon document (examples/data/ribbon.x3d) shows the arched ribbon from
// both sides and the star column with its caps.
#include "scene/actions/RenderToDIBAction.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Transform.h"
#include "scene/x3d/Parser.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

using namespace lumo::test;

namespace {

const Pixel kBlack{0, 0, 0};

CVGroup* ReadExample(const char* name)
{
    const std::string path = std::string(LUMO_PROJECT_DIR) + "/examples/data/" + name;
    return CVParser().ParseXMLFile(std::wstring(path.begin(), path.end()));
}

Pixel ToPixel(const RGBAColorStruct& c)
{
    return {int(std::lround(c.red * 255.0f)), int(std::lround(c.green * 255.0f)), int(std::lround(c.blue * 255.0f))};
}

// Writes the bitmap of the scene as a PNG when LUMO_TEST_PNG_DIR is set
// (for looking at it by eye).
void SaveIfAsked(CVNode* scene, int width, int height, const char* name)
{
    const char* dir = std::getenv("LUMO_TEST_PNG_DIR");
    if (!dir)
        return;
    CVRenderToDIBAction render(nullptr);
    if (!render.SetViewportSize(0, 0, width, height))
        return;
    render.Apply(scene);
    const std::string path = std::string(dir) + "/" + name;
    render.SaveToDIBFile(std::wstring(path.begin(), path.end()));
}

} // namespace

TEST(SurfaceExample, TheChartShowsItsBandsAndContoursFromAbove)
{
    CVGroup* doc = ReadExample("surface.x3d");
    ASSERT_NE(doc, nullptr);
    // Seen from above: document (x, z) at screen (x, -z), 5 units on 200
    // pixels (40 a unit), the chart centred.
    auto* above = new CVTransform;
    above->rotation.SetValue(1, 0, 0, float(M_PI / 2));
    above->translation.SetValue(0, 0, -5);
    above->children.Add(doc);
    SceneRender r(200, 200);
    HeldCamera scene(OrthoCamera(5.0f));
    scene.Add(above);
    ASSERT_EQ(r.Render(scene.camera), 1);
    SaveIfAsked(scene.camera, 400, 400, "surface.png");

    auto* chart = static_cast<CVTransform*>(doc->children[0]);
    auto* grid = static_cast<CVElevationGrid*>(static_cast<CVShape*>(chart->children[0])->geometry.GetValue());
    ASSERT_TRUE(grid && grid->IsKindOf<CVElevationGrid>());
    const CVColorInterpolator* levels = grid->colorLevels.GetValue();
    ASSERT_NE(levels, nullptr);
    const int n = grid->xDimension.GetValue();
    const float spacing = grid->xSpacing.GetValue();
    // Every inner grid point whose height is well inside a band shows that
    // band's colour.
    int checked = 0;
    std::set<int> bandsSeen;
    for (int j = 1; j + 1 < n; ++j)
        for (int i = 1; i + 1 < n; ++i) {
            const float h = grid->height[j * n + i];
            int band = 0;
            bool nearLevel = false;
            for (int k = 0; k < levels->key.GetNum(); ++k) {
                nearLevel = nearLevel || std::fabs(h - levels->key[k]) < 0.25f;
                if (h >= levels->key[k])
                    band = k + 1;
            }
            if (nearLevel || band >= levels->keyValue.GetNum())
                continue;
            const int px = int(std::lround(100.0f + 40.0f * (float(i) * spacing - 2.0f)));
            const int py = int(std::lround(100.0f + 40.0f * (float(j) * spacing - 2.0f)));
            const Pixel want = ToPixel(levels->keyValue[band]);
            EXPECT_TRUE(Near(r.At(px, py), want, 6))
                << "point " << i << "," << j << " height " << h << ": " << r.At(px, py)[0] << " "
                << r.At(px, py)[1] << " " << r.At(px, py)[2];
            bandsSeen.insert(band);
            ++checked;
        }
    EXPECT_GE(checked, 20);
    EXPECT_GE(bandsSeen.size(), 4u);
    // The contour lines: dark on the bands, where no band colour is.
    int dark = 0;
    for (int y = 25; y < 175; ++y)
        for (int x = 25; x < 175; ++x)
            dark += Near(r.At(x, y), {13, 13, 13}, 27) ? 1 : 0;
    EXPECT_GT(dark, 300);
    // Nothing outside the chart's 4 x 4 units.
    const auto b = r.Bounds(kBlack, 4);
    EXPECT_GE(b[0], 19);
    EXPECT_LE(b[2], 181);
}

TEST(RibbonExample, TheRibbonArchesAndTheColumnStandsWithItsCaps)
{
    CVGroup* doc = ReadExample("ribbon.x3d");
    ASSERT_NE(doc, nullptr);
    SceneRender r(200, 200);
    HeldCamera scene(OrthoCamera(8.0f)); // 25 pixels a unit, origin at the centre
    auto* front = new CVTransform;
    front->children.Add(doc);
    scene.Add(front);
    ASSERT_EQ(r.Render(scene.camera), 1);
    SaveIfAsked(scene.camera, 400, 400, "ribbon.png");
    auto px = [](float x) { return int(std::lround(100.0f + 25.0f * x)); };
    auto py = [](float y) { return int(std::lround(100.0f - 25.0f * y)); };
    const Pixel ribbon{51, 140, 230}, column{230, 115, 38};
    // The ribbon at the top of its arch (flat to the view there) and near
    // its ends (turned a quarter: its back shows, not culled).
    EXPECT_TRUE(Near(r.At(px(0), py(2)), ribbon, 3));
    EXPECT_TRUE(Near(r.At(px(-2.3f), py(0.45f)), ribbon, 3));
    EXPECT_TRUE(Near(r.At(px(2.3f), py(0.45f)), ribbon, 3));
    // Under the arch: the column, from its base (y -1.5) to its top (-0.3);
    // above it the background.
    EXPECT_TRUE(Near(r.At(px(0), py(-1.2f)), column, 3));
    EXPECT_TRUE(Near(r.At(px(0), py(-0.5f)), column, 3));
    EXPECT_EQ(r.At(px(0), py(0.5f)), kBlack);
    EXPECT_EQ(r.At(px(-1.5f), py(-1.0f)), kBlack);

    // From above, the column's end cap: a star, filled at its centre and
    // between its arms empty.
    SceneRender top(200, 200);
    HeldCamera topScene(OrthoCamera(8.0f));
    auto* fromAbove = new CVTransform;
    fromAbove->rotation.SetValue(1, 0, 0, float(M_PI / 2));
    fromAbove->translation.SetValue(0, 0, -5);
    auto* column_only = ReadExample("ribbon.x3d");
    ASSERT_NE(column_only, nullptr);
    for (int c = 0; c < column_only->children.GetNum(); ++c)
        if (column_only->children[c]->IsKindOf<CVTransform>())
            fromAbove->children.Add(column_only->children[c]); // the column's transform
    ASSERT_EQ(fromAbove->children.GetNum(), 1);
    topScene.Add(fromAbove);
    column_only->Ref();
    column_only->Unref();
    ASSERT_EQ(top.Render(topScene.camera), 1);
    EXPECT_TRUE(Near(top.At(100, 100), column, 3));
    EXPECT_GT(top.Count(column, 3), 300);
    const auto b = top.Bounds(kBlack, 4);
    EXPECT_GT(b[0], 100 - 25);
    EXPECT_LT(b[2], 100 + 25);
}

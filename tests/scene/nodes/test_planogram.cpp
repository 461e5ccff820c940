// Shelf-plan geometries: the pegboard's hole matrix and the notches with
// their bounds, product blocks (facings, caps, turned and nested units,
// capped counts), line-shape bodies (reading, scaling, a failed load
// remembered until the name changes), sections (skipped indices, layers),
// arrows, labels, the show-level bits, and the example shelf plan as it
// renders.
#include "scene/interact/Controller.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Extrusion.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/SPAnnotation.h"
#include "scene/nodes/SPFixture.h"
#include "scene/nodes/SPProduct.h"
#include "scene/nodes/SPSection.h"
#include "scene/nodes/SPSubfixture.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"
#include "scene/x3d/Parser.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace lumo::test;
namespace pg = lumo::planogram;

namespace {

const Pixel kBlack{0, 0, 0};

CVTransform* Place(CVGeometry* g, float x, float y, float z, CVAppearance* appearance = nullptr)
{
    auto* t = new CVTransform;
    t->translation.SetValue(x, y, z);
    auto* s = new CVShape;
    s->geometry.SetValue(g);
    if (appearance)
        s->appearance.SetValue(appearance);
    t->AddChild(s);
    return t;
}

CVAppearance* Coloured(float r, float g, float b)
{
    auto* a = new CVAppearance;
    auto* m = new CVMaterial;
    m->diffuseColor.SetValue(r, g, b);
    a->material.SetValue(m);
    return a;
}

// Dark runs (holes) along one pixel row, left to right.
int DarkRuns(const SceneRender& r, int y, int threshold)
{
    int runs = 0;
    bool inside = false;
    for (int x = 0; x < r.Width(); ++x) {
        const Pixel p = r.At(x, y);
        const bool dark = p[0] < threshold && p[1] < threshold && p[2] < threshold && p[0] > 10;
        runs += dark && !inside ? 1 : 0;
        inside = dark;
    }
    return runs;
}

std::string TempDir()
{
    char pattern[] = "/tmp/lumo-shp-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
}

} // namespace

// ---- pegboard holes and notches ----------------------------------------

TEST(PlanogramFixture, APegboardOfOnePointTwoMetresHasFortySixHoleColumns)
{
    Kept held(new CVSPFixture);
    auto* f = static_cast<CVSPFixture*>(held.node);
    f->size.SetValue(1.2f, 0.1f, 0.02f);
    f->pegs.SetValue(1);
    const CVSPFixture::HoleGrid g = f->GetPegHoleGrid();
    EXPECT_EQ(g.columns, 46); // trunc((1.2 - 0.0127) / 0.0254)
    EXPECT_EQ(g.rows, 3);
    EXPECT_TRUE(g.problem.empty());
    // A peg bar has one row; an indent puts the first column there.
    f->type.SetValue(L"peg bar");
    f->pegColIndent.SetValue(0.1f);
    const CVSPFixture::HoleGrid bar = f->GetPegHoleGrid();
    EXPECT_EQ(bar.rows, 1);
    EXPECT_EQ(bar.columns, 40); // trunc((1.2 - 0.2) / 0.0254) + 1
    EXPECT_FLOAT_EQ(bar.x0, -0.5f);

    // Drawn: 46 dark holes across the middle row of the board.
    SceneRender r(600, 120);
    HeldCamera scene(OrthoCamera(0.3f));
    auto* board = new CVSPFixture;
    board->size.SetValue(1.2f, 0.1f, 0.02f);
    board->pegs.SetValue(1);
    board->outline.SetValue(0);
    scene.Add(Place(board, 0, 0, 0));
    ASSERT_EQ(r.Render(scene.camera), 1);
    int most = 0;
    for (int y = 50; y < 70; ++y)
        most = std::max(most, DarkRuns(r, y, 90));
    EXPECT_EQ(most, 46);
}

TEST(PlanogramFixture, HolePitchesMustBePositiveAndTheHoleCountIsBounded)
{
    Kept held(new CVSPFixture);
    auto* f = static_cast<CVSPFixture*>(held.node);
    f->size.SetValue(1.2f, 1.0f, 0.02f);
    for (float pitch : {0.0f, -0.0254f, 1e-30f, NAN}) {
        f->pegSpacing.SetValue(pitch, 0.0254f);
        const CVSPFixture::HoleGrid g = f->GetPegHoleGrid();
        EXPECT_EQ(g.columns * g.rows, 0) << pitch;
        EXPECT_FALSE(g.problem.empty()) << pitch;
    }
    // One row of holes a metre apart from an indent of half a metre:
    // exactly the bound, then one past it.
    f->type.SetValue(L"Peg Bar");
    f->pegSpacing.SetValue(1.0f, 1.0f);
    f->pegColIndent.SetValue(0.5f);
    f->size.SetValue(float(CVSPFixture::kMaxPegHoles), 1.0f, 0.02f);
    EXPECT_EQ(f->GetPegHoleGrid().columns, CVSPFixture::kMaxPegHoles);
    f->size.SetValue(float(CVSPFixture::kMaxPegHoles + 1), 1.0f, 0.02f);
    const CVSPFixture::HoleGrid over = f->GetPegHoleGrid();
    EXPECT_EQ(over.columns, 0);
    EXPECT_NE(over.problem.find(L"262144"), std::wstring::npos);
    f->size.SetValue(NAN, 1.0f, 0.02f);
    EXPECT_NE(f->GetPegHoleGrid().problem.find(L"no number"), std::wstring::npos);
}

TEST(PlanogramFixture, NotchColumnsFollowThePositionAndTheCountIsBounded)
{
    Kept held(new CVSPFixture);
    auto* f = static_cast<CVSPFixture*>(held.node);
    f->size.SetValue(1.2f, 1.0f, 0.02f);
    f->notches.SetValue(1);
    EXPECT_EQ(f->GetNotchLayout().count, 0); // interval 0: none, and no complaint
    EXPECT_TRUE(f->GetNotchLayout().problem.empty());
    f->notchInterval.SetValue(0.1f);
    // trunc((1 - 0.01 - 0.0254 - 0) / 0.1 + 0.00001) + 1
    EXPECT_EQ(f->GetNotchLayout().count, 10);
    EXPECT_EQ(f->GetNotchLayout().columnCount, 2);
    f->notchPosition.SetValue(3);
    const CVSPFixture::NotchLayout middle = f->GetNotchLayout();
    ASSERT_EQ(middle.columnCount, 1);
    // The middle column: indent - w/2 + (w - (nw + 2 indent)) / 2
    EXPECT_NEAR(middle.columns[0], 0.00635f - 0.6f + (1.2f - (0.0127f + 0.0127f)) / 2.0f, 1e-6f);
    f->notchPosition.SetValue(1);
    EXPECT_EQ(f->GetNotchLayout().columnCount, 1);
    EXPECT_NEAR(f->GetNotchLayout().columns[0], 0.00635f - 0.6f, 1e-6f);

    for (float interval : {-0.1f, 1e-30f, NAN}) {
        f->notchInterval.SetValue(interval);
        EXPECT_EQ(f->GetNotchLayout().count, 0) << interval;
        EXPECT_FALSE(f->GetNotchLayout().problem.empty()) << interval;
    }
    // Exactly the bound of notches a column, then one past it.
    f->notchHoleSize.SetValue(0.0f, 0.0f);
    f->notchInterval.SetValue(1.0f);
    f->size.SetValue(1.2f, float(CVSPFixture::kMaxNotches - 1) + 0.5f, 0.02f);
    EXPECT_EQ(f->GetNotchLayout().count, CVSPFixture::kMaxNotches);
    f->size.SetValue(1.2f, float(CVSPFixture::kMaxNotches) + 0.5f, 0.02f);
    EXPECT_EQ(f->GetNotchLayout().count, 0);
    EXPECT_FALSE(f->GetNotchLayout().problem.empty());
}

// ---- product blocks ------------------------------------------------------

TEST(PlanogramProduct, ThreeFacingsOfATenthMakeABlockOfThreeTenths)
{
    Kept held(new CVSPProduct);
    auto* p = static_cast<CVSPProduct*>(held.node);
    p->size.SetValue(0.1f, 0.2f, 0.1f);
    p->facings.SetValue(3.0f, 1.0f, 2.0f);
    CVBox3f box;
    p->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_FLOAT_EQ(box.GetSize().x, 0.3f);
    EXPECT_FLOAT_EQ(box.GetSize().y, 0.2f);
    EXPECT_FLOAT_EQ(box.GetSize().z, 0.2f);
    EXPECT_TRUE(p->GetBlock(nullptr).simple);

    // Drawn 0.3 m wide: 90 pixels at 300 a metre.
    SceneRender r(300, 300);
    HeldCamera scene(OrthoCamera(1.0f));
    scene.Add(Place(p, 0, 0, 0));
    r.Area()->SetDropShadowsEnabled(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    const auto b = r.Bounds(kBlack, 8);
    EXPECT_NEAR(b[2] - b[0] + 1, 90, 2);
    EXPECT_NEAR(b[3] - b[1] + 1, 60, 2);
}

TEST(PlanogramProduct, CapsLieOnTopFlushWithTheFront)
{
    pg::BlockInput in;
    in.size = {0.1f, 0.2f, 0.1f};
    in.facings = {2, 1, 3};
    in.capFacings = {2, 1, 2};
    const pg::Block b = pg::MakeBlock(in);
    ASSERT_TRUE(b.hasCaps);
    // On their backs: a cap's height is the unit's depth, its depth the
    // unit's height.
    EXPECT_FLOAT_EQ(b.capCentre.y, (0.1f * 1 + 0.2f) / 2.0f);
    EXPECT_FLOAT_EQ(b.capCentre.z, (0.3f - 0.2f * 2) / 2.0f);
    EXPECT_FLOAT_EQ(b.max.y, 0.2f / 2.0f + 0.1f);
    EXPECT_FLOAT_EQ(b.max.z, 0.15f); // flush with the block's front
    EXPECT_FLOAT_EQ(b.min.z, -0.25f); // two caps deep reach past the back
    // Fewer than one cap on any axis: no caps.
    in.capFacings = {2, 0, 2};
    EXPECT_FALSE(pg::MakeBlock(in).hasCaps);
}

TEST(PlanogramProduct, TurnedGappedAndNestedUnitsGoUnitByUnit)
{
    EXPECT_FLOAT_EQ(pg::ReduceAngle(-90.0f), 270.0f);
    EXPECT_FLOAT_EQ(pg::ReduceAngle(450.7f), 90.0f);
    EXPECT_FLOAT_EQ(pg::ReduceAngle(NAN), 0.0f);

    pg::BlockInput in;
    in.size = {0.1f, 0.2f, 0.3f};
    in.faceRotation = {-90.0f, 0.0f, 0.0f};
    pg::Block b = pg::MakeBlock(in);
    EXPECT_FALSE(b.simple);
    EXPECT_FLOAT_EQ(b.angles.x, 270.0f);
    // A quarter turn about x swaps height and depth.
    EXPECT_NEAR(b.units.extent.y, 0.3f, 1e-6f);
    EXPECT_NEAR(b.units.extent.z, 0.2f, 1e-6f);

    in.faceRotation = {0, 0, 0};
    in.facings = {3, 1, 1};
    in.xfacingGap = 0.05f;
    b = pg::MakeBlock(in);
    EXPECT_FALSE(b.simple);
    EXPECT_FLOAT_EQ(b.units.pitch.x, 0.15f);
    EXPECT_NEAR(b.max.x - b.min.x, 0.4f, 1e-6f);

    in.xfacingGap = 0.0f;
    in.facings = {1, 4, 1};
    in.nestDepth = 0.15f;
    in.nest = pg::ParseNest(L"uP");
    b = pg::MakeBlock(in);
    EXPECT_EQ(b.units.nestAxis, 1);
    EXPECT_TRUE(b.units.descending);
    EXPECT_NEAR(b.units.pitch.y, 0.05f, 1e-6f);
    EXPECT_NEAR(b.max.y - b.min.y, 0.2f + 3 * 0.05f, 1e-6f);
    EXPECT_EQ(pg::ParseNest(L"sideways"), pg::Nest::None);

    // Nesting deeper than a unit stacks the units on one another at most;
    // a negative depth nests nothing; a negative gap at most closes the row.
    in.nestDepth = 5.0f;
    EXPECT_FLOAT_EQ(pg::MakeBlock(in).units.pitch.y, 0.0f);
    in.nestDepth = -0.5f;
    EXPECT_FLOAT_EQ(pg::MakeBlock(in).units.pitch.y, 0.2f);
    in.nest = pg::Nest::None;
    in.nestDepth = 0.0f;
    in.facings = {3, 1, 1};
    in.xfacingGap = -0.5f;
    b = pg::MakeBlock(in);
    EXPECT_FLOAT_EQ(b.units.pitch.x, 0.0f);
    EXPECT_NEAR(b.max.x - b.min.x, 0.1f, 1e-6f);
}

TEST(PlanogramProduct, FacingCountsAreCappedAtTheirBounds)
{
    pg::BlockInput in;
    in.hasShape = true; // would go unit by unit
    in.facings = {float(pg::kMaxFacings), 1, 1};
    pg::Block b = pg::MakeBlock(in);
    EXPECT_EQ(b.n.x, pg::kMaxFacings);
    EXPECT_FALSE(b.capped);
    in.facings = {float(pg::kMaxFacings) + 1.0f, 1, 1};
    b = pg::MakeBlock(in);
    EXPECT_EQ(b.n.x, pg::kMaxFacings);
    EXPECT_TRUE(b.capped);
    // 256 x 256 units are drawn one by one; one row more is one box.
    in.facings = {256, 256, 1};
    b = pg::MakeBlock(in);
    EXPECT_FALSE(b.simple);
    EXPECT_FALSE(b.capped);
    in.facings = {256, 257, 1};
    b = pg::MakeBlock(in);
    EXPECT_TRUE(b.simple);
    EXPECT_TRUE(b.capped);
    in.facings = {1e9f, NAN, -5.0f};
    b = pg::MakeBlock(in);
    EXPECT_EQ(b.n.x, pg::kMaxFacings);
    EXPECT_EQ(b.n.y, 1);
    EXPECT_EQ(b.n.z, 1);
    EXPECT_TRUE(b.capped);
    // No number is one unit, and nothing was cut.
    in.facings = {NAN, 2, 1};
    b = pg::MakeBlock(in);
    EXPECT_EQ(b.n.x, 1);
    EXPECT_FALSE(b.capped);
}

// ---- show levels, labels, arrows ----------------------------------------

TEST(PlanogramRendering, AShowLevelBitHidesItsKind)
{
    SceneRender r(300, 100);
    HeldCamera scene(OrthoCamera(1.0f));
    auto* fixture = new CVSPFixture;
    auto* subfixture = new CVSPSubfixture;
    auto* product = new CVSPProduct;
    for (CVSPGeometry* g : {static_cast<CVSPGeometry*>(fixture), static_cast<CVSPGeometry*>(subfixture),
                            static_cast<CVSPGeometry*>(product)})
        g->size.SetValue(0.5f, 0.5f, 0.5f);
    scene.Add(Place(fixture, -1, 0, 0)).Add(Place(subfixture, 0, 0, 0)).Add(Place(product, 1, 0, 0));
    r.Area()->SetDropShadowsEnabled(0);
    auto drawn = [&](int x) { return !Near(r.At(x, 50), kBlack, 10); };
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_TRUE(drawn(50));
    EXPECT_TRUE(drawn(150));
    EXPECT_TRUE(drawn(250));
    const Pixel blue = r.At(250, 50);
    EXPECT_GT(blue[2], 2 * std::max(blue[0], blue[1])); // the area's product colour

    r.Area()->SetShowLevelFlag(~4u);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_TRUE(drawn(50));
    EXPECT_TRUE(drawn(150));
    EXPECT_FALSE(drawn(250));
    r.Area()->SetShowLevelFlag(~3u);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_FALSE(drawn(50));
    EXPECT_FALSE(drawn(150));
    EXPECT_TRUE(drawn(250));
    // A product marked as an annotation shows whatever the bits say.
    product->SetAnnotationFlag(1);
    r.Area()->SetShowLevelFlag(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_TRUE(drawn(250));
}

TEST(PlanogramRendering, TheCrossSectionViewShowsOnlyWhatTheControllerLists)
{
    SceneRender r(200, 100);
    HeldCamera scene(OrthoCamera(1.0f));
    auto* listed = new CVSPProduct;
    auto* other = new CVSPProduct;
    listed->id.SetValue(L"P1");
    other->id.SetValue(L"P2");
    listed->size.SetValue(0.5f, 0.5f, 0.5f);
    other->size.SetValue(0.5f, 0.5f, 0.5f);
    CVTransform* listedAt = Place(listed, -0.5f, 0, 0);
    scene.Add(listedAt).Add(Place(other, 0.5f, 0, 0));
    CVController controller;
    controller.SetRenderArea(r.Area());
    ASSERT_TRUE(controller.AddCrossSectionNode(listedAt, listed, nullptr, {listedAt}));
    auto drawn = [&](int x) { return !Near(r.At(x, 50), kBlack, 10); };
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_TRUE(drawn(50));
    EXPECT_TRUE(drawn(150)); // the view is off: everything shows
    r.Area()->SetCrossSectionViewEnabled(1);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_TRUE(drawn(50));
    EXPECT_FALSE(drawn(150));
    controller.SetRenderArea(nullptr);
}

TEST(PlanogramRendering, ALabelTurnsLightOnADarkBodyAndFollowsTheLabelSwitch)
{
    SceneRender r(200, 200);
    HeldCamera scene(OrthoCamera(1.0f));
    auto* p = new CVSPProduct;
    p->size.SetValue(0.8f, 0.4f, 0.1f);
    p->label.Add(std::wstring(L"MMMM"));
    scene.Add(Place(p, 0, 0, 0, Coloured(0.4f, 0.0f, 0.0f)));
    r.Area()->SetDropShadowsEnabled(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    const int light = r.Count({255, 255, 255}, 60);
    EXPECT_GT(light, 20);
    r.Area()->SetProductLabelsEnabled(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Count({255, 255, 255}, 60), 0);
    EXPECT_TRUE(CVSPGeometry::InvertColor({0.4f, 0.0f, 0.0f}));
    EXPECT_FALSE(CVSPGeometry::InvertColor({0.9f, 0.9f, 0.2f}));
}

TEST(PlanogramRendering, AnArrowOfNoLengthDrawsNothingAndAnArrowHasItsHead)
{
    SceneRender r(200, 200);
    HeldCamera scene(OrthoCamera(2.0f));
    auto* arrow = new CVSPAnnotation;
    arrow->type.SetValue(L"ARROW");
    arrow->start.SetValue(0.3f, 0.3f, 0.0f);
    arrow->end.SetValue(0.3f, 0.3f, 0.0f);
    arrow->startArrow.SetValue(1);
    arrow->lineColor.SetValue(1.0f, 1.0f, 0.0f);
    scene.Add(Place(arrow, 0, 0, 0));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Bounds(kBlack, 8)[0], -1);

    // Left to right across the middle: the line, and near its end a head
    // much taller than the 2-pixel line.
    arrow->start.SetValue(-0.8f, 0.0f, 0.0f);
    arrow->end.SetValue(0.8f, 0.0f, 0.0f);
    arrow->startArrow.SetValue(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    auto column = [&](int x) {
        int n = 0;
        for (int y = 0; y < 200; ++y)
            n += Near(r.At(x, y), {255, 255, 0}, 60) ? 1 : 0;
        return n;
    };
    EXPECT_GE(column(100), 1);
    EXPECT_LE(column(100), 4);
    EXPECT_GE(column(160), 6); // the head's base, a sixth of the arrow from its end
    EXPECT_LE(column(25), 4); // no head at the start
    // Annotations switched off: nothing.
    r.Area()->SetAnnotationsEnabled(0);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(r.Bounds(kBlack, 8)[0], -1);
}

// ---- line shapes ---------------------------------------------------------

TEST(PlanogramLineShape, LinesAreReadWholeCommentsSkippedAndNumbersFoundAmongText)
{
    CVSPLineShape shape;
    std::istringstream rem("REM a comment\nrem 1 2 3 4\n");
    ASSERT_TRUE(shape.Read(rem));
    EXPECT_EQ(shape.GetSegments().size(), 0u);
    EXPECT_EQ(shape.CreateGeometry(1, 1, 1, 1), nullptr);

    // The numbers of the second line start past the 79th character.
    const std::string longLine = std::string(90, ' ') + "x=1.5,y=-2 to (3 ; 4)";
    std::istringstream text("0 0 10 0\n" + longLine + "\n1 2 3\n\r\n");
    ASSERT_TRUE(shape.Read(text));
    ASSERT_EQ(shape.GetSegments().size(), 2u); // "1 2 3" has too few numbers
    const CVSegment& s = shape.GetSegments()[1];
    EXPECT_FLOAT_EQ(s.GetStart().x, 1.5f);
    EXPECT_FLOAT_EQ(s.GetStart().y, 2.0f); // y is negated
    EXPECT_FLOAT_EQ(s.GetEnd().x, 3.0f);
    EXPECT_FLOAT_EQ(s.GetEnd().y, -4.0f);
    EXPECT_FLOAT_EQ(shape.GetMin().y, -4.0f);
    EXPECT_FLOAT_EQ(shape.GetMax().x, 10.0f);
}

TEST(PlanogramLineShape, TheDrawingIsScaledToTheObjectAndCentred)
{
    CVSPLineShape shape;
    std::istringstream text("0 0 4 0\n4 0 4 2\n4 2 0 2\n0 2 0 0\n");
    ASSERT_TRUE(shape.Read(text));
    for (int solid : {0, 1}) {
        CVGeometry* g = shape.CreateGeometry(solid, 0.5f, 0.3f, 0.2f);
        ASSERT_NE(g, nullptr);
        Kept held(g);
        EXPECT_TRUE(solid ? g->IsKindOf<CVExtrusion>() : g->IsKindOf<CVIndexedLineSet>());
        g->SetSelectableFlag(1);
        CVBox3f box;
        g->ComputeBoundingBox(nullptr, nullptr, &box);
        ASSERT_FALSE(box.IsEmpty());
        EXPECT_NEAR(box.GetSize().x, 0.5f, 1e-5f) << solid;
        EXPECT_NEAR(box.GetSize().y, 0.3f, 1e-5f) << solid;
        EXPECT_NEAR(box.GetCenter().x, 0.0f, 1e-5f) << solid;
        EXPECT_NEAR(box.GetCenter().y, 0.0f, 1e-5f) << solid;
        if (solid)
            EXPECT_NEAR(box.GetSize().z, 0.2f, 1e-5f);
        else
            EXPECT_NEAR(box.GetCenter().z, 0.1f, 1e-5f);
    }
}

TEST(PlanogramLineShape, SegmentsAllOnOnePointMakeNoBody)
{
    CVSPLineShape shape;
    std::istringstream text("1 1 1 1\n1 1 1 1\n1 1 1 1\n");
    ASSERT_TRUE(shape.Read(text));
    EXPECT_EQ(shape.GetSegments().size(), 3u);
    EXPECT_EQ(shape.CreateGeometry(1, 0.5f, 0.5f, 0.5f), nullptr);
    // A flat line still is one (scaled along its length only).
    std::istringstream line("0 0 2 0\n2 0 4 0\n");
    ASSERT_TRUE(shape.Read(line));
    CVGeometry* g = shape.CreateGeometry(0, 0.5f, 0.5f, 0.5f);
    ASSERT_NE(g, nullptr);
    Kept held(g);
}

TEST(PlanogramLineShape, AFailedLoadIsRememberedUntilTheShapeChanges)
{
    const std::string dir = TempDir();
    ASSERT_FALSE(dir.empty());
    SceneRender r(100, 100);
    r.Area()->SetTextureImageSearchPath(std::wstring(dir.begin(), dir.end()));
    HeldCamera scene(OrthoCamera(2.0f));
    auto* f = new CVSPFixture;
    f->shape.SetValue(L"late.SHP");
    scene.Add(Place(f, 0, 0, 0));
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_FALSE(f->IsGeometryCached());
    const std::vector<std::wstring> messages = r.Area()->GetErrorReport().GetMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"late.SHP"), std::wstring::npos);
    // The file appears: the node does not search for it again...
    const std::string square = "0 0 1 0\n1 0 1 1\n1 1 0 1\n0 1 0 0\n";
    WriteText(dir + "/late.SHP", square);
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_FALSE(f->IsGeometryCached());
    // ...until its shape names another file, which is read and kept.
    WriteText(dir + "/other.shp", square);
    f->shape.SetValue(L"other.shp");
    ASSERT_EQ(r.Render(scene.camera), 1);
    ASSERT_TRUE(f->IsGeometryCached());
    CVGeometry* kept = f->GetCachedGeometry();
    ASSERT_EQ(r.Render(scene.camera), 1);
    EXPECT_EQ(f->GetCachedGeometry(), kept);
    EXPECT_EQ(r.Area()->GetErrorReport().GetMessages().size(), 1u); // said once
    unlink((dir + "/late.SHP").c_str());
    unlink((dir + "/other.shp").c_str());
    rmdir(dir.c_str());
}

// ---- sections ------------------------------------------------------------

TEST(PlanogramSection, IndicesOutsideThePointsAreSkippedAndLayersClamp)
{
    Kept held(new CVSPSection);
    auto* s = static_cast<CVSPSection*>(held.node);
    auto* coord = new CVCoordinate;
    for (const Point3fStruct& p : {Point3fStruct{0, 0, 0}, Point3fStruct{1, 0, 0}, Point3fStruct{1, 0, 1}})
        coord->point.Add(p);
    s->coord.SetValue(coord);
    for (int i : {0, 1, 7, 2, -5, 3, -1, 2, 1, 0, -1})
        s->coordIndex.Add(i);
    const auto& outlines = s->GetGeometry(0);
    EXPECT_EQ(outlines.size(), 2u);
    EXPECT_EQ(s->GetSkippedIndexCount(), 3);
    CVBox3f box;
    s->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_FLOAT_EQ(box.GetSize().x, 1.0f);

    s->layer.SetValue(-3);
    EXPECT_EQ(s->GetLayer(), 0);
    s->layer.SetValue(9);
    EXPECT_EQ(s->GetLayer(), 7);
    s->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_NEAR(box.GetCenter().y, 0.7f, 1e-6f); // lifted a tenth a layer
    // Extruded: the outline stands extrusionDepth high.
    s->extrusionDepth.SetValue(0.25f);
    const auto& raised = s->GetGeometry(1);
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_TRUE(raised[0]->IsKindOf<CVExtrusion>());
    raised[0]->ComputeBoundingBox(nullptr, nullptr, &box);
    EXPECT_NEAR(box.GetSize().y, 0.25f, 1e-6f);
}

// ---- the example shelf plan ---------------------------------------------

TEST(PlanogramExample, TheShelfPlanShowsItsProductsPegboardAndNote)
{
    const std::string path = std::string(LUMO_PROJECT_DIR) + "/examples/data/shelf.x3d";
    CVGroup* doc = CVParser().ParseXMLFile(std::wstring(path.begin(), path.end()));
    ASSERT_NE(doc, nullptr);
    auto* view = new CVTransform;
    view->translation.SetValue(0.0f, -1.05f, 0.0f);
    view->children.Add(doc);
    SceneRender r(450, 350);
    HeldCamera scene(OrthoCamera(2.6f));
    scene.Add(view);
    ASSERT_EQ(r.Render(scene.camera), 1);
    // The plan fills the middle of the view.
    const auto b = r.Bounds(kBlack, 8);
    EXPECT_GT(b[2] - b[0], 250);
    EXPECT_GT(b[3] - b[1], 200);
    // Red, yellow, green and the area's blue products, the red arrow and
    // the dark peg holes are all there.
    EXPECT_GT(r.Count({200, 40, 30}, 60), 100);
    EXPECT_GT(r.Count({220, 180, 40}, 60), 100);
    EXPECT_GT(r.Count({40, 130, 60}, 50), 100);
    EXPECT_GT(r.Count({0, 0, 230}, 60), 100);
    int holes = 0;
    for (int y = b[1]; y <= b[3]; ++y)
        holes += DarkRuns(r, y, 70);
    EXPECT_GT(holes, 300);
}

// The selection line box (sized by the controller's values through a stand-in
// controller) and the window-filling grid.
#include "scene/core/NodeType.h"
#include "scene/model/MFields.h"
#include "scene/nodes/Grid.h"
#include "scene/nodes/Camera.h"
#include "scene/nodes/LineBox.h"
#include "scene/nodes/Shape.h"
#include "scene/render/ControllerValues.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/SceneRender.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using lumo::test::OrthoCamera;
using lumo::test::Pixel;
using lumo::test::SceneRender;

// A colour node as the grid reads one: a "color" list.
class CVTestColor : public CVNode {
    LUMO_DECLARE_NODE(CVTestColor)

public:
    CVMFColor color;
};

LUMO_IMPLEMENT_NODE(CVTestColor, CVNode)

void CVTestColor::AddToTypeNameSpace() { CVNodeTypeBuilder<CVTestColor>(L"TestColor").Field(L"color", &CVTestColor::color); }

namespace {

const Pixel kBlack{0, 0, 0};

// Stands in for the controller: only the view values the line box reads.
class FakeController : public CVControllerValues {
public:
    FakeController(float scale, float drag) : mScale(scale), mDrag(drag) {}
    float GetScale() const override { return mScale; }
    float GetDragTranslationScale() const override { return mDrag; }

private:
    float mScale, mDrag;
};

struct Scene {
    CVCamera* camera;
    explicit Scene(float viewHeight) : camera(OrthoCamera(viewHeight)) { camera->Ref(); }
    ~Scene() { camera->Unref(); }
    void Add(CVGeometry* g)
    {
        auto* shape = new CVShape;
        shape->geometry.SetValue(g);
        camera->children.Add(shape);
    }
};

TEST(LineBox, WidthAndGrowthFollowTheScaleAndNeverDivideByZero)
{
    float w = 0, g = 0;
    CVLineBox::LineWidthAndGrowth(1.0f, 0.005f, w, g);
    EXPECT_FLOAT_EQ(w, 3.0f);
    EXPECT_FLOAT_EQ(g, 0.005f * 1.5f + 1.0f);
    CVLineBox::LineWidthAndGrowth(3.0f, 0.005f, w, g); // k = 2: at the cap
    EXPECT_FLOAT_EQ(w, 6.0f);
    CVLineBox::LineWidthAndGrowth(2.0f, 0.005f, w, g); // k = 1.5
    EXPECT_FLOAT_EQ(w, 4.5f);
    EXPECT_FLOAT_EQ(g, 0.005f / 2.0f * 2.25f + 1.0f);
    // The least scale the controller sets, and what lies below it.
    float w1 = 0, g1 = 0;
    CVLineBox::LineWidthAndGrowth(0.01f, 0.005f, w1, g1);
    for (float scale : {0.0f, -2.0f, 0.009f, NAN}) {
        CVLineBox::LineWidthAndGrowth(scale, 0.005f, w, g);
        EXPECT_EQ(w, w1) << scale;
        EXPECT_EQ(g, g1) << scale;
    }
    CVLineBox::LineWidthAndGrowth(1.0f, NAN, w, g);
    EXPECT_EQ(g, 1.0f);
    EXPECT_TRUE(CVLineBox().IsForceSorted());
}

TEST(LineBox, DrawnAfterTheSceneInTheSelectionColourUnderItsOwnMatrix)
{
    SceneRender r;
    r.Area()->SetSelectionColor({0, 1, 0});
    Scene scene(4.0f); // 25 pixels a unit
    auto* box = new CVLineBox;
    box->size.SetValue(2, 2, 2);
    scene.Add(box);
    r.Render(scene.camera);
    // Hollow, green, 50 pixels across: drawn under the camera's matrix.
    EXPECT_EQ(r.At(50, 50), kBlack);
    auto b = r.Bounds(kBlack);
    EXPECT_NEAR(b[2] - b[0] + 1, 52, 3);
    EXPECT_NEAR((b[0] + b[2]) / 2.0, 50, 1);
    EXPECT_GT(r.Count({0, 255, 0}, 8), 100);

    // A controller with a zero scale: still drawn, nothing infinite.
    FakeController zero(0.0f, 0.005f);
    r.Area()->SetControllerValues(&zero);
    r.Render(scene.camera);
    b = r.Bounds(kBlack);
    EXPECT_NEAR(b[2] - b[0] + 1, 52, 3);
    // A zoomed-in controller enlarges the box a little and widens its lines.
    FakeController zoomed(1.0f, 0.2f);
    r.Area()->SetControllerValues(&zoomed);
    r.Render(scene.camera);
    b = r.Bounds(kBlack);
    EXPECT_NEAR(b[2] - b[0] + 1, 50 * 1.3 + 3, 3);
    r.Area()->SetControllerValues(nullptr);

    // A stored matrix places it: one unit to the right of the eye, 10 deep.
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, -10, 1};
    box->SetModelViewMatrix(m);
    r.Render(scene.camera);
    auto moved = r.Bounds(kBlack);
    EXPECT_NEAR((moved[0] + moved[2]) / 2.0 - (b[0] + b[2]) / 2.0, 25, 1);
}

class GridTest : public ::testing::Test {
protected:
    // Renders a grid over a 100 x 100 window showing -1.2..1.2 both ways.
    void Draw(float xSpacing, float ySpacing, float width = 1.0f, int stipple = 0)
    {
        Scene scene(2.4f);
        auto* grid = new CVGrid;
        grid->xSpacing.SetValue(xSpacing);
        grid->ySpacing.SetValue(ySpacing);
        grid->lineWidth.SetValue(width);
        grid->stipple.SetValue(stipple);
        grid->color.SetValue(mColour);
        scene.Add(grid);
        mRender.Render(scene.camera);
    }
    // Coloured pixels along the row y and the column x.
    int Row(int y) const
    {
        int n = 0;
        for (int x = 0; x < 100; ++x)
            n += mRender.At(x, y) != kBlack;
        return n;
    }
    int Column(int x) const
    {
        int n = 0;
        for (int y = 0; y < 100; ++y)
            n += mRender.At(x, y) != kBlack;
        return n;
    }
    void SetUp() override
    {
        CVNodeType::PushNameSpace();
        CVTestColor::AddToTypeNameSpace();
        mColour = new CVTestColor;
        mColour->Ref();
        mColour->color.Add(0, 0, 1, 1);
    }
    void TearDown() override
    {
        mColour->Unref();
        CVNodeType::PopNameSpace();
    }

    SceneRender mRender;
    CVTestColor* mColour = nullptr;
};

TEST_F(GridTest, LinesAtEveryMultipleOfTheSpacingInTheColourNodesColour)
{
    Draw(0.5f, 1.0f);
    // Vertical lines at x = -1, -0.5, 0, 0.5, 1; horizontal at y = -1, 0, 1.
    EXPECT_EQ(Row(10), 5);
    EXPECT_EQ(Column(10), 3);
    EXPECT_EQ(mRender.At(29, 20), (Pixel{0, 0, 255})); // x = -0.5
    EXPECT_EQ(mRender.At(40, 20), kBlack);              // between lines
}

TEST_F(GridTest, CoversThePerspectiveViewToo)
{
    auto* camera = new CVPerspectiveCamera;
    camera->Ref();
    camera->farPlane.SetValue(20.0f);
    auto* grid = new CVGrid;
    grid->xSpacing.SetValue(0.01f); // on the near plane (1 unit away), the window is 0.83 units wide
    grid->ySpacing.SetValue(0.0f);
    grid->lineWidth.SetValue(1.0f);
    auto* shape = new CVShape;
    shape->geometry.SetValue(grid);
    camera->children.Add(shape);
    mRender.Render(camera);
    // Every line spans the window from top to bottom, about 80 of them.
    int lines = 0;
    for (int x = 0; x < 100; ++x)
        lines += Column(x) == 100;
    EXPECT_GT(lines, 60);
    camera->Unref();
}

TEST_F(GridTest, ZeroSpacingOrWidthDrawsNothingThatWay)
{
    Draw(0.0f, 0.5f);
    EXPECT_EQ(Row(10), 0);    // no vertical lines (no endless loop either)
    EXPECT_EQ(Column(10), 5); // the horizontal ones still
    Draw(-1.0f, NAN);
    EXPECT_EQ(mRender.Bounds(kBlack)[0], -1);
    Draw(0.5f, 0.5f, 0.0f);
    EXPECT_EQ(mRender.Bounds(kBlack)[0], -1);
}

TEST_F(GridTest, SpacingsNeedingTooManyLinesDrawNone)
{
    long long first = 0, last = 0;
    const int max = CVGrid::kMaxLines;
    EXPECT_TRUE(CVGrid::LineRange(0.0, double(max - 1), 1.0, first, last));
    EXPECT_EQ(last - first + 1, max);
    EXPECT_FALSE(CVGrid::LineRange(0.0, double(max), 1.0, first, last));
    EXPECT_FALSE(CVGrid::LineRange(0.0, 1.0, 0.0, first, last));
    EXPECT_FALSE(CVGrid::LineRange(0.0, 1.0, INFINITY, first, last));
    Draw(1e-6f, 1.0f);
    EXPECT_EQ(Row(10), 0);
    EXPECT_EQ(Column(10), 3);
}

TEST_F(GridTest, StippledLinesAreDashedAndTheGridIsNeverPicked)
{
    Draw(0.5f, 0.0f);
    int solid = Column(29); // x = -0.5
    Draw(0.5f, 0.0f, 1.0f, 3);
    int dashed = Column(29);
    EXPECT_EQ(solid, 100);
    EXPECT_NEAR(dashed, 50, 4);

    ASSERT_TRUE(mRender.Area()->MakeCurrent());
    CVGrid grid;
    grid.Ref();
    grid.xSpacing.SetValue(0.5f);
    grid.lineWidth.SetValue(1.0f);
    GLuint buffer[64];
    glSelectBuffer(64, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(1);
    CVState state;
    state.m_bPickMode = 1;
    grid.Render(&state, mRender.Area(), nullptr);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0);
}

} // namespace

// What a pick holds and how deep it can look: results keep their nodes alive
// after the scene is released and let them go with the next pick; scenes far
// deeper than OpenGL's name stack are picked with their whole paths; a pick
// through a camera puts the camera's children back.
#include "scene/nodes/Group.h"
#include "scene/render/GLRenderArea.h"
#include "tests/scene/interact/PickScenes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lumo::test;

namespace {

// A shape that counts its destruction.
class CountedShape : public CVShape {
public:
    explicit CountedShape(int* deaths) : mDeaths(deaths) {}
    ~CountedShape() override { ++*mDeaths; }

private:
    int* mDeaths;
};

CVCamera* SceneOfOne(CVShape* shape)
{
    auto* box = new CVBox;
    box->size.SetValue(1, 1, 1);
    shape->geometry.SetValue(box);
    CVCamera* camera = OrthoCamera(4.0f);
    camera->children.Add(Placed(shape, 0, 0));
    return camera;
}

TEST(PickResults, StayValidAfterTheSceneIsReleased)
{
    Picker p;
    int deaths = 0;
    auto* shape = new CountedShape(&deaths);
    CVCamera* scene = SceneOfOne(shape);
    scene->Ref();
    p.At(scene, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    scene->Unref(); // the host lets go of its scene
    EXPECT_EQ(deaths, 0);
    CVPickedShape* hit = p.action.GetClosestPickedShape();
    ASSERT_EQ(hit->GetShape(), shape);
    EXPECT_EQ(hit->GetPath().front(), scene);
    auto* detail = static_cast<CVBoxDetail*>(hit->GetDetail());
    ASSERT_NE(detail, nullptr);
    EXPECT_FLOAT_EQ(detail->GetGeometry()->size.GetValue().x, 1.0f);
    EXPECT_EQ(static_cast<CVShape*>(hit->GetShape())->geometry.GetValue(), detail->GetGeometry());

    // The next pick lets the old scene go, and touches none of it.
    HeldCamera other(OrthoCamera(4.0f));
    other.Add(BoxShape(1, 1, 1));
    p.At(other.camera, 0, 0);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 1);
}

TEST(PickResults, ARecordKeptByTheCallerOutlivesTheNextPick)
{
    Picker p;
    int deaths = 0;
    auto* shape = new CountedShape(&deaths);
    CVCamera* scene = SceneOfOne(shape);
    scene->Ref();
    p.At(scene, 0, 0);
    std::shared_ptr<CVPickedShape> kept = p.action.GetPickedShapeList().at(0);
    scene->Unref();
    p.action.Apply(nullptr);
    p.action.Reset();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(kept->GetShape(), shape);
    EXPECT_NE(kept->GetDetail(), nullptr);
    kept.reset();
    EXPECT_EQ(deaths, 1);

    // Destroying the action lets its records go too.
    int more = 0;
    auto* second = new CountedShape(&more);
    CVCamera* again = SceneOfOne(second);
    again->Ref();
    {
        CVPickAction action(p.render.Area());
        action.SetAperture(WindowX(0), WindowY(0), 1, 1);
        action.Apply(again);
        ASSERT_EQ(action.GetNumPickedShapes(), 1);
        again->Unref();
        EXPECT_EQ(more, 0);
    }
    EXPECT_EQ(more, 1);
}

// A chain of groups 'depth' deep with a box at the bottom.
CVCamera* DeepScene(int depth, CVShape*& shape)
{
    CVCamera* camera = OrthoCamera(4.0f);
    CVGroup* inner = nullptr;
    CVGroup* outer = nullptr;
    for (int i = 0; i < depth; ++i) {
        auto* g = new CVGroup;
        if (inner)
            inner->children.Add(g);
        else
            outer = g;
        inner = g;
    }
    shape = BoxShape(1, 1, 1);
    inner->children.Add(shape);
    camera->children.Add(outer);
    return camera;
}

TEST(PickDepth, AScene10000GroupsDeepIsPickedWithItsWholePath)
{
    // OpenGL's name stack holds 64 names; the reader takes scenes 10,000 deep.
    Picker p;
    CVShape* shape = nullptr;
    HeldCamera scene(DeepScene(10000, shape));
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    const CVNodePath& path = p.action.GetClosestPickedShape()->GetPath();
    ASSERT_EQ(path.size(), 10002u);
    EXPECT_EQ(path.front(), scene.camera);
    EXPECT_EQ(path.back(), shape);
    EXPECT_EQ(path[1], scene.camera->children[0]);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "no name stack overflowed";
    // Minimised, the path is the shape alone.
    p.action.SetMinimizeNameStackDepth(nullptr);
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{shape}));
    // Beside the box, nothing.
    p.At(scene.camera, 1.5, 1.5);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
}

TEST(PickCamera, ARootIsPickedThroughACameraWhoseChildrenComeBack)
{
    Picker p;
    HeldCamera camera(OrthoCamera(4.0f));
    CVShape* own = BoxShape(1, 1, 1);
    camera.Add(Placed(own, 1.5f, 0));
    auto* root = new CVGroup;
    CVShape* picked = BoxShape(1, 1, 1);
    root->children.Add(picked);
    root->Ref();

    p.render.Render(camera.camera);
    std::vector<double> frame(p.render.Area()->GetProjectionMatrix(), p.render.Area()->GetProjectionMatrix() + 16);
    p.action.SetAperture(WindowX(0), WindowY(0), 1, 1);
    ASSERT_EQ(p.action.Apply(root, camera.camera), 1);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{camera.camera, root, picked}));
    ASSERT_EQ(camera.camera->children.GetNum(), 1);
    EXPECT_EQ(camera.camera->children[0]->GetRef(), 1) << "back, and held once";
    EXPECT_EQ(root->GetRef(), 2) << "the caller's and the result's";
    // The area keeps the frame's projection, not the pick matrix.
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(p.render.Area()->GetProjectionMatrix()[i], frame[size_t(i)]) << i;
    // The camera's own shape is not part of the pick.
    p.action.SetAperture(WindowX(1.5), WindowY(0), 1, 1);
    p.action.Apply(root, camera.camera);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    // Without a camera, the root alone.
    p.action.SetAperture(WindowX(0), WindowY(0), 1, 1);
    EXPECT_EQ(p.action.Apply(root, static_cast<CVCamera*>(nullptr)), 1);
    // A root that cannot be the camera's child picks nothing and leaves
    // the camera as it was.
    EXPECT_EQ(p.action.Apply(camera.camera, camera.camera), 0);
    EXPECT_EQ(camera.camera->children.GetNum(), 1);
    EXPECT_EQ(p.action.Apply(picked->geometry.GetValue(), camera.camera), 0);
    EXPECT_EQ(p.action.Apply(nullptr, camera.camera), 0);
    p.action.Reset();
    EXPECT_EQ(root->GetRef(), 1);
    root->Unref();

    // A root nobody holds is left as it was found.
    auto* loose = new CVGroup;
    loose->children.Add(BoxShape(1, 1, 1));
    p.action.SetAperture(WindowX(1.5), WindowY(1.5), 1, 1); // nothing there
    EXPECT_EQ(p.action.Apply(loose, camera.camera), 1);
    EXPECT_EQ(loose->GetRef(), 0);
    loose->Ref();
    loose->Unref();
}

TEST(PickText, OnlyAShapeOfBitmapTextIsBitmapText)
{
    CVText* text = reinterpret_cast<CVText*>(1);
    CVBitmapFontStyle* style = reinterpret_cast<CVBitmapFontStyle*>(1);
    EXPECT_FALSE(CVPickAction::IsBitmapText(nullptr, text, style));
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(style, nullptr);
    CVShape* box = BoxShape(1, 1, 1);
    Kept keep(box);
    EXPECT_FALSE(CVPickAction::IsBitmapText(box, text, style));
    auto* empty = new CVShape;
    Kept keepEmpty(empty);
    EXPECT_FALSE(CVPickAction::IsBitmapText(empty, text, style));
    EXPECT_FALSE(CVPickAction::IsBitmapText(box->geometry.GetValue(), text, style));
}

} // namespace

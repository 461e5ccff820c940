// Dragging shelf-plan objects: a product on a shelf slides along the
// shelf, stays on it, and undo puts it back; objects that stand on no
// subfixture move freely.
#include "platform/win/InputCodes.h"
#include "scene/interact/Controller.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/SPFixture.h"
#include "scene/nodes/SPProduct.h"
#include "scene/nodes/SPSubfixture.h"
#include "scene/nodes/Shape.h"

#include <gtest/gtest.h>

namespace {

CVTransform* Holding(CVGeometry* g)
{
    auto* t = new CVTransform;
    auto* s = new CVShape;
    s->geometry.SetValue(g);
    t->AddChild(s);
    return t;
}

// top -> shelf transform (a 1.2 m shelf) -> group -> product transform
// (three facings of a 0.1 m product, 0.3 m across, at x = 0.2).
struct ShelfScene {
    ShelfScene()
    {
        top->Ref();
        shelf->size.SetValue(1.2f, 0.03f, 0.45f);
        shelf->type.SetValue(L"Shelf");
        product->size.SetValue(0.1f, 0.2f, 0.1f);
        product->facings.SetValue(3.0f, 1.0f, 1.0f);
        shelfTransform = Holding(shelf);
        productTransform = Holding(product);
        productTransform->translation.SetValue(0.2f, 0.115f, 0.0f);
        top->AddChild(shelfTransform);
        shelfTransform->AddChild(group);
        group->AddChild(productTransform);
    }
    ~ShelfScene() { top->Unref(); }
    CVNodePath Path() const { return {top, shelfTransform, group, productTransform}; }

    CVTransform* top = new CVTransform;
    CVSPSubfixture* shelf = new CVSPSubfixture;
    CVSPProduct* product = new CVSPProduct;
    CVTransform* shelfTransform = nullptr;
    CVGroup* group = new CVGroup;
    CVTransform* productTransform = nullptr;
};

// Keys held during a drag.
class KeyHost : public CVControllerHost {
public:
    void Invalidate() override {}
    bool SetTimer(unsigned, unsigned) override { return true; }
    void KillTimer(unsigned) override {}
    bool IsKeyDown(int vk) const override { return key == vk; }
    int key = 0;
};

struct ShelfDrag : ::testing::Test {
    ShelfDrag()
    {
        c.SetHost(&host);
        c.SetViewportSize(400, 300);
        c.SetTopLevelTransformNode(scene.top);
    }
    // Drags the selection by (dx, dy) pixels in one step.
    void DragBy(int dx, int dy)
    {
        c.OnEnableDrag(0, {100, 100}, 1, 1, 1);
        c.OnMouseMove(MK_LBUTTON, {100, 100});
        c.OnMouseMove(MK_LBUTTON, {100 + dx, 100 + dy});
        c.OnLButtonUp(0, {100 + dx, 100 + dy});
    }
    KeyHost host;
    ShelfScene scene;
    CVController c;
};

} // namespace

TEST_F(ShelfDrag, AProductSlidesAlongItsShelfAndUndoPutsItBack)
{
    c.AddSelectNode({100, 100}, scene.productTransform, scene.Path());
    ASSERT_EQ(c.GetNumSelections(), 1);
    DragBy(-40, -30); // 0.2 m left and 0.15 m up at 0.005 m a pixel
    Point3fStruct t = scene.productTransform->translation.GetValue();
    EXPECT_NEAR(t.x, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(t.y, 0.115f); // stays on the shelf
    EXPECT_FLOAT_EQ(t.z, 0.0f);
    ASSERT_EQ(c.UndoDragDrop(), 1);
    t = scene.productTransform->translation.GetValue();
    EXPECT_FLOAT_EQ(t.x, 0.2f);
    EXPECT_FLOAT_EQ(t.y, 0.115f);
}

TEST_F(ShelfDrag, TheProductStopsAtTheShelfEnd)
{
    c.AddSelectNode({100, 100}, scene.productTransform, scene.Path());
    DragBy(400, 0); // 2 m right: the 0.3 m block stops 0.45 m from the middle
    EXPECT_FLOAT_EQ(scene.productTransform->translation.GetValue().x, 0.45f);
    DragBy(-1000, 0);
    EXPECT_FLOAT_EQ(scene.productTransform->translation.GetValue().x, -0.45f);
}

TEST_F(ShelfDrag, ObjectsOnNoSubfixtureMoveFreely)
{
    // The same product under a fixture instead of a subfixture.
    auto* board = new CVSPFixture;
    CVTransform* boardTransform = Holding(board);
    auto* loose = Holding(new CVSPProduct);
    scene.top->AddChild(boardTransform);
    boardTransform->AddChild(loose);
    c.AddSelectNode({100, 100}, loose, {scene.top, boardTransform, loose});
    DragBy(20, -20);
    const Point3fStruct t = loose->translation.GetValue();
    EXPECT_FLOAT_EQ(t.x, 0.1f);
    EXPECT_FLOAT_EQ(t.y, 0.1f);
}

TEST_F(ShelfDrag, RotationKeysTurnAProductsUnitsAndSScalesItsSize)
{
    c.AddSelectNode({100, 100}, scene.productTransform, scene.Path());
    host.key = 'C'; // about y, by the horizontal move
    DragBy(20, 0);  // 20 x 0.005 rad
    EXPECT_NEAR(scene.product->faceRotation.GetValue().y, 20 * 0.005f / 0.017453292f, 1e-3f);
    EXPECT_FLOAT_EQ(scene.product->faceRotation.GetValue().x, 0.0f);
    // The transform itself is not turned: the units are.
    EXPECT_EQ(scene.productTransform->rotation.GetValue().angle, 0.0f);
    host.key = 'S';
    DragBy(0, -100); // f = 1 + 0.005 x 100
    EXPECT_NEAR(scene.product->size.GetValue().x, 0.15f, 1e-6f);
    EXPECT_NEAR(scene.product->size.GetValue().y, 0.3f, 1e-6f);
    host.key = 0;
    ASSERT_EQ(c.UndoDragDrop(), 1);
    EXPECT_NEAR(scene.product->size.GetValue().x, 0.1f, 1e-6f);
    ASSERT_EQ(c.UndoDragDrop(), 1);
    EXPECT_NEAR(scene.product->faceRotation.GetValue().y, 0.0f, 1e-6f);
}

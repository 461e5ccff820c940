// Runs with EGL pointed at a vendor library that does not exist (see the
// CTest registration): nothing can create a context, and nothing may crash.
#include "platform/wgl/Wgl.h"
#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/actions/GetTransformAction.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Transform.h"
#include "tests/support/Offscreen.h"

#include <gtest/gtest.h>

using lumo::test::BoxLeaf;
using lumo::test::Offscreen;

TEST(WithoutDriver, AreasReportFailureAndActionsDoNothing)
{
    EXPECT_FALSE(lumo::gl::DisplayAvailable());
    Offscreen off;
    CVGLRenderArea* area = off.area();
    EXPECT_EQ(area->IsSuccess(), 0);
    EXPECT_EQ(area->MakeCurrent(), 0);
    area->SetViewport(0, 0, 10, 10);
    area->SetStipplePattern(4);
    area->SetTextureFunction(2);
    area->ReportOGLErrors();
    EXPECT_EQ(area->SwapBuffers(), 0);

    auto* root = new CVGroup;
    root->Ref();
    auto* t = new CVTransform;
    t->children.Add(new BoxLeaf({0, 0, 0}, {1, 1, 1}));
    root->children.Add(t);
    CVGetBoundingBoxAction box(area);
    EXPECT_EQ(box.Apply(root), 0);
    EXPECT_TRUE(box.GetBoundingBox().IsEmpty());
    CVGetTransformAction transform(area);
    EXPECT_EQ(transform.Apply(root), 0);
    area->AddToTransparentNodeList(t, nullptr, CVGLRenderArea::KIND_BLENDED);
    EXPECT_EQ(area->GetTransparentNodeListSize(), 1);
    Offscreen other;
    EXPECT_EQ(other.area()->SetRenderCache(area), 0);
    root->Unref();
}

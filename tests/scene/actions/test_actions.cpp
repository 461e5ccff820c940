#include "scene/actions/GetBoundingBoxAction.h"
#include "scene/actions/GetTransformAction.h"
#include "scene/actions/SearchAction.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/Transform.h"
#include "tests/support/Offscreen.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using lumo::test::BoxLeaf;
using lumo::test::Offscreen;

namespace {

const float kPi = 3.14159265f;

void ExpectVec(const CVVector& v, float x, float y, float z, float eps = 1e-4f)
{
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

// Holds a tree root with one reference and releases it at scope end.
template <class T>
struct Owned {
    T* node;
    explicit Owned(T* n) : node(n) { node->Ref(); }
    ~Owned() { node->Unref(); }
    T* operator->() const { return node; }
};

class BoundingBoxTest : public ::testing::Test {
protected:
    Offscreen off;
    CVGetBoundingBoxAction action{off.area()};
};

TEST_F(BoundingBoxTest, TranslatedRotatedAboutCentreAndScaledAlongAnOrientation)
{
    Owned<CVGroup> root(new CVGroup);
    auto* moved = new CVTransform;
    moved->translation.SetValue(10, 0, 0);
    moved->children.Add(new BoxLeaf({0, 0, 0}, {2, 2, 2}));
    auto* turned = new CVTransform;
    turned->center.SetValue(1, 0, 0);
    turned->rotation.SetValue(0, 0, 1, kPi / 2);
    turned->children.Add(new BoxLeaf({0, 0, 0}, {2, 2, 2}));
    auto* stretched = new CVTransform;
    stretched->scale.SetValue(2, 1, 1);
    stretched->scaleOrientation.SetValue(0, 0, 1, kPi / 4);
    stretched->children.Add(new BoxLeaf({0, 0, 0}, {2, 2, 2}));
    root->children.Add(moved);
    root->children.Add(turned);
    root->children.Add(stretched);

    CVGetBoundingBoxAction one(off.area());
    ASSERT_EQ(one.Apply(moved), 1);
    ExpectVec(one.GetBoundingBox().GetCenter(), 10, 0, 0);
    ASSERT_EQ(one.Apply(turned), 1);
    ExpectVec(one.GetBoundingBox().GetCenter(), 1, -1, 0);
    ExpectVec(one.GetBoundingBox().GetSize(), 2, 2, 2);
    ASSERT_EQ(one.Apply(stretched), 1);
    ExpectVec(one.GetBoundingBox().GetSize(), 4, 4, 2);

    ASSERT_EQ(action.Apply(root.node), 1);
    CVVector lo, hi;
    action.GetBoundingBox().ComputeMinMax(lo, hi);
    ExpectVec(lo, -2, -2, -1);
    ExpectVec(hi, 11, 2, 1);
    // Each group stores its children's box in its own coordinates.
    ExpectVec(CVVector(moved->bboxCenter.GetValue()), 0, 0, 0);
    ExpectVec(CVVector(moved->bboxSize.GetValue()), 2, 2, 2);
    ExpectVec(CVVector(root->bboxSize.GetValue()), 13, 4, 2);
}

TEST_F(BoundingBoxTest, NestedTransformsCompose)
{
    Owned<CVTransform> outer(new CVTransform);
    outer->scale.SetValue(2, 2, 2);
    auto* inner = new CVTransform;
    inner->translation.SetValue(1, 0, 0);
    inner->children.Add(new BoxLeaf({0, 0, 0}, {1, 1, 1}));
    outer->children.Add(inner);
    ASSERT_EQ(action.Apply(outer.node), 1);
    ExpectVec(action.GetBoundingBox().GetCenter(), 2, 0, 0);
    ExpectVec(action.GetBoundingBox().GetSize(), 2, 2, 2);
}

TEST_F(BoundingBoxTest, SingleLeafIsItsOwnBoxAndPathsGiveTheLastNode)
{
    BoxLeaf leaf({5, 5, 5}, {1, 2, 3});
    leaf.Ref();
    ASSERT_EQ(action.Apply(&leaf), 1);
    ExpectVec(action.GetBoundingBox().GetCenter(), 5, 5, 5);

    Owned<CVGroup> root(new CVGroup);
    auto* t = new CVTransform;
    t->translation.SetValue(0, 3, 0);
    auto* a = new BoxLeaf({0, 0, 0}, {1, 1, 1});
    auto* b = new BoxLeaf({100, 0, 0}, {1, 1, 1});
    t->children.Add(a);
    t->children.Add(b);
    root->children.Add(t);
    CVNodePath path{root.node, t, a};
    ASSERT_EQ(action.Apply(path), 1);
    ExpectVec(action.GetBoundingBox().GetCenter(), 0, 3, 0); // b is not on the path
    EXPECT_FLOAT_EQ(root->bboxSize.GetValue().x, -1.0f);    // paths store nothing
    EXPECT_EQ(action.GetNodeBoundingBoxes(), 1);
    leaf.UnrefNoDelete();
}

TEST_F(BoundingBoxTest, FastApplyUsesTheStoredBox)
{
    Owned<CVTransform> t(new CVTransform);
    t->translation.SetValue(1, 0, 0);
    t->bboxCenter.SetValue(0, 0, 0);
    t->bboxSize.SetValue(4, 4, 4); // no children: only the stored box can give this
    ASSERT_EQ(action.FastApply(t.node), 1);
    ExpectVec(action.GetBoundingBox().GetSize(), 4, 4, 4);
    ExpectVec(action.GetBoundingBox().GetCenter(), 1, 0, 0);
}

TEST_F(BoundingBoxTest, MatrixFormLoadsTheMatrixFirst)
{
    Owned<CVGroup> root(new CVGroup);
    root->children.Add(new BoxLeaf({0, 0, 0}, {1, 1, 1}));
    const double matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 0, 0, 1};
    ASSERT_EQ(action.Apply(root.node, matrix), 1);
    // The matrix is in force, but boxes stay in the root's coordinates.
    ExpectVec(action.GetBoundingBox().GetCenter(), 0, 0, 0);
    EXPECT_EQ(action.Apply(nullptr), 0);
}

TEST(TransformAction, ProjectsAndUnprojectsThroughThePathTransforms)
{
    Offscreen off(100, 100);
    CVGLRenderArea::SetInflateWorld(0);
    off.area()->SetViewport(0, 0, 100, 100);
    Owned<CVGroup> root(new CVGroup);
    auto* t = new CVTransform;
    t->translation.SetValue(0.5f, 0, 0);
    root->children.Add(t);
    CVGetTransformAction action(off.area());
    ASSERT_EQ(action.Apply(CVNodePath{root.node, t}), 1);
    EXPECT_DOUBLE_EQ(action.GetModelViewMatrix()[12], 0.5);
    float x, y, z;
    action.TransformCoord(0, 0, 0, x, y, z);
    EXPECT_NEAR(x, 75.0f, 1e-4); // NDC 0.5 in a 100-pixel viewport
    EXPECT_NEAR(y, 50.0f, 1e-4);
    action.SetTransformType(CVGetTransformAction::WINDOW_TO_OBJECT);
    float ox, oy, oz;
    action.TransformCoord(x, y, z, ox, oy, oz);
    EXPECT_NEAR(ox, 0.0f, 1e-4);
    EXPECT_NEAR(oy, 0.0f, 1e-4);
    action.SetTransformType(CVGetTransformAction::OBJECT_TO_WINDOW);
    Point3fStruct size;
    action.TransformSize(Point3fStruct{0.2f, 0, 0}, size);
    EXPECT_NEAR(size.x, 10.0f, 1e-4);
    action.SetTransformType(static_cast<CVGetTransformAction::TransformType>(2));
    EXPECT_EQ(action.TransformCoord(1, 2, 3, x, y, z), 1);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(z, 0.0f);
    CVGLRenderArea::SetInflateWorld(1);
}

class SearchTest : public ::testing::Test {
protected:
    SearchTest() : root(new CVGroup)
    {
        inner = new CVGroup;
        hidden = new CVGroup;
        hidden->selectable.SetValue(0);
        leafA = new BoxLeaf({0, 0, 0}, {1, 1, 1});
        leafB = new BoxLeaf({0, 0, 0}, {1, 1, 1});
        hiddenLeaf = new BoxLeaf({0, 0, 0}, {1, 1, 1});
        leafA->SetName(L"Target");
        leafB->SetName(L"Target2");
        hiddenLeaf->SetName(L"Hidden");
        inner->SetName(L"Inner");
        inner->children.Add(leafA);
        inner->children.Add(leafB);
        hidden->children.Add(hiddenLeaf);
        root->children.Add(inner);
        root->children.Add(hidden);
    }
    Owned<CVGroup> root;
    CVGroup *inner, *hidden;
    BoxLeaf *leafA, *leafB, *hiddenLeaf;
    CVSearchAction search;
};

TEST_F(SearchTest, LeafPathIsTheEnclosingGroupsAndTheLeaf)
{
    search.SetName(L"Target");
    ASSERT_EQ(search.Apply(root.node), 1);
    ASSERT_EQ(search.GetNumPaths(), 1);
    EXPECT_EQ(*(*search.GetPathList())[0], (CVNodePath{root.node, inner, leafA}));
}

TEST_F(SearchTest, GroupPathEndsWithTheGroupOnce)
{
    search.SetNode(inner);
    ASSERT_EQ(search.Apply(root.node), 1);
    ASSERT_EQ(search.GetNumPaths(), 1);
    EXPECT_EQ(*(*search.GetPathList())[0], (CVNodePath{root.node, inner}));
}

TEST_F(SearchTest, UnselectableGroupsAreSkipped)
{
    search.SetName(L"Hidden");
    search.Apply(root.node);
    EXPECT_EQ(search.GetNumPaths(), 0);
}

TEST_F(SearchTest, InterestFirstStopsAtTheFirstMatchInPreOrder)
{
    search.SetType(LUMO_RUNTIME_CLASS(CVChild));
    search.Apply(root.node);
    EXPECT_EQ(search.GetNumPaths(), 4); // root, inner, two leaves; not the hidden group
    search.SetInterest(CVSearchAction::FIRST);
    search.Apply(root.node);
    ASSERT_EQ(search.GetNumPaths(), 1);
    EXPECT_EQ(*(*search.GetPathList())[0], (CVNodePath{root.node}));
}

TEST_F(SearchTest, CriteriaAccumulateAndAnyOneMatches)
{
    search.SetName(L"Target2");
    search.SetNode(leafA);
    search.Apply(root.node);
    EXPECT_EQ(search.GetNumPaths(), 2);
    EXPECT_EQ(search.Apply(nullptr), 0);
    EXPECT_EQ(search.GetNumPaths(), 0);
    search.SetName(L"Target2");
    BoxLeaf lone({0, 0, 0}, {1, 1, 1});
    search.SetNode(&lone);
    search.Apply(&lone); // a non-group root gets a one-node path
    ASSERT_EQ(search.GetNumPaths(), 1);
    EXPECT_EQ(*(*search.GetPathList())[0], (CVNodePath{&lone}));
}

TEST(DeepTrees, TenThousandNestedGroupsWalkAndFree)
{
    Offscreen off;
    int deaths = 0;
    auto* root = new CVGroup;
    root->Ref();
    CVGroup* g = root;
    for (int i = 0; i < 10000; ++i) {
        auto* next = new CVGroup;
        g->children.Add(next);
        g = next;
    }
    auto* leaf = new BoxLeaf({1, 2, 3}, {1, 1, 1}, &deaths);
    leaf->SetName(L"DeepLeaf");
    g->children.Add(leaf);

    CVGetBoundingBoxAction box(off.area());
    ASSERT_EQ(box.Apply(root), 1);
    EXPECT_FLOAT_EQ(box.GetBoundingBox().GetCenter().z, 3.0f);
    CVSearchAction search;
    search.SetName(L"DeepLeaf");
    search.Apply(root);
    ASSERT_EQ(search.GetNumPaths(), 1);
    EXPECT_EQ((*search.GetPathList())[0]->size(), 10002u);
    root->Unref();
    EXPECT_EQ(deaths, 1);
}

TEST(ReferenceCounts, ReleasingTheRootFreesTheTreeAndSharedNodesOnce)
{
    int deaths = 0;
    auto* root = new CVGroup;
    root->Ref();
    auto* shared = new BoxLeaf({0, 0, 0}, {1, 1, 1}, &deaths);
    auto* a = new CVTransform;
    auto* b = new CVGroup;
    a->children.Add(shared);
    b->children.Add(shared);
    root->children.Add(a);
    root->children.Add(b);
    EXPECT_EQ(shared->GetRef(), 2);
    EXPECT_EQ(a->GetRef(), 1);
    root->Unref();
    EXPECT_EQ(deaths, 1);
}

TEST(ReferenceCounts, ActionsHoldTheirRenderArea)
{
    Offscreen off;
    CVGLRenderArea* area = off.area();
    int before = area->GetRef();
    {
        CVGetBoundingBoxAction action(area);
        EXPECT_EQ(area->GetRef(), before + 1);
        CVGetBoundingBoxAction other(area);
        other.SetRenderArea(nullptr);
        EXPECT_EQ(area->GetRef(), before + 1);
    }
    EXPECT_EQ(area->GetRef(), before);
}

} // namespace

// The selection companions: the feedback wire box (a switch around a line
// box) and the node that holds selection callbacks.
#include "scene/nodes/FeedbackBox.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Selection.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLRenderArea.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

using namespace lumo::test;

namespace {

TEST(FeedbackBox, IsASwitchOffAroundALineBox)
{
    auto* box = new CVFeedbackBox;
    Kept keep(box);
    EXPECT_EQ(box->whichChoice.GetValue(), -1);
    ASSERT_EQ(box->choice.GetNum(), 1);
    ASSERT_TRUE(box->choice[0]->IsKindOf<CVGroup>());
    auto* group = static_cast<CVGroup*>(box->choice[0]);
    ASSERT_EQ(group->children.GetNum(), 1);
    ASSERT_TRUE(group->children[0]->IsKindOf<CVShape>());
    auto* shape = static_cast<CVShape*>(group->children[0]);
    EXPECT_EQ(shape->appearance.GetValue(), nullptr);
    CVLineBox* line = box->GetLineBox();
    EXPECT_EQ(shape->geometry.GetValue(), line);
    EXPECT_EQ(CVVector(line->size.GetValue()), CVVector(1, 1, 1));
    EXPECT_EQ(CVVector(line->center.GetValue()), CVVector(0, 0, 0));
    EXPECT_TRUE(line->IsAntialiased());
    EXPECT_EQ(box->GetUserData(), nullptr);

    box->SetOnOff(1);
    EXPECT_EQ(box->whichChoice.GetValue(), 0);
    box->SetOnOff(2);
    EXPECT_EQ(box->whichChoice.GetValue(), -1);
    box->SetOnOff(1);
    box->SetOnOff(0);
    EXPECT_EQ(box->whichChoice.GetValue(), -1);

    box->SetCenter({1, 2, 3});
    box->SetSize({4, 5, 6});
    EXPECT_EQ(CVVector(line->center.GetValue()), CVVector(1, 2, 3));
    EXPECT_EQ(CVVector(line->size.GetValue()), CVVector(4, 5, 6));
    double m[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 1, 1, 1};
    box->SetModelViewMatrix(m);
    double back[16];
    line->GetModelViewMatrix(back);
    EXPECT_EQ(back[0], 2);
    EXPECT_EQ(back[12], 1);
    int data = 0;
    box->SetUserData(&data);
    EXPECT_EQ(box->GetUserData(), &data);

    // The box stays while the node lives, whatever is done to the choices.
    box->choice.RemoveAll();
    EXPECT_EQ(box->GetLineBox(), line);
    box->SetSize({1, 1, 1});
}

TEST(FeedbackBox, DrawsOnlyWhenOn)
{
    SceneRender r;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* box = new CVFeedbackBox;
    box->SetSize({2, 2, 2});
    scene.Add(box);
    r.Area()->SetSelectionColor({1, 0, 0});
    r.Render(scene.camera);
    EXPECT_EQ(r.Count({255, 0, 0}), 0);
    box->SetOnOff(1);
    r.Render(scene.camera);
    // A wire square of side 50 pixels around the middle.
    EXPECT_GT(r.Count({255, 0, 0}, 60), 150);
    auto bounds = r.Bounds({0, 0, 0}, 60);
    EXPECT_NEAR(bounds[0], 25, 3);
    EXPECT_NEAR(bounds[2], 75, 3);
    EXPECT_TRUE(Near(r.At(50, 50), {0, 0, 0}, 8)) << "only the edges";
}

struct Calls {
    std::vector<int> order;
    size_t paths = 0;
};

void First(void* data, const std::vector<CVNodePath>& paths)
{
    static_cast<Calls*>(data)->order.push_back(1);
    static_cast<Calls*>(data)->paths = paths.size();
}

void Second(void* data, const std::vector<CVNodePath>&) { static_cast<Calls*>(data)->order.push_back(2); }

TEST(Selection, CallbacksAreKeptInOrderAndRemovedByPair)
{
    CVSelection selection;
    Calls a, b;
    selection.AddSelectionCallback(First, &a);
    selection.AddSelectionCallback(Second, &a);
    selection.AddSelectionCallback(First, &a);
    selection.AddSelectionCallback(First, &b);
    selection.AddSelectionCallback(nullptr, &a);
    EXPECT_EQ(selection.GetNumSelectionCallbacks(), 4);
    CVNodePath path{&selection};
    selection.InvokeSelectionCallbacks({path, path});
    EXPECT_EQ(a.order, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(a.paths, 2u);
    EXPECT_EQ(b.order, (std::vector<int>{1}));

    // Both entries of a pair registered twice go; the rest keep their order.
    selection.RemoveSelectionCallback(First, &a);
    EXPECT_EQ(selection.GetNumSelectionCallbacks(), 2);
    a.order.clear();
    b.order.clear();
    selection.InvokeSelectionCallbacks({});
    EXPECT_EQ(a.order, (std::vector<int>{2}));
    EXPECT_EQ(b.order, (std::vector<int>{1}));
    selection.RemoveSelectionCallback(Second, &b); // no such pair
    EXPECT_EQ(selection.GetNumSelectionCallbacks(), 2);
}

CVSelection* gSelection = nullptr;

void RemovesItself(void* data, const std::vector<CVNodePath>&)
{
    ++*static_cast<int*>(data);
    gSelection->RemoveSelectionCallback(RemovesItself, data);
}

TEST(Selection, ACallbackMayRemoveItselfWhileCalled)
{
    CVSelection selection;
    gSelection = &selection;
    int calls = 0, others = 0;
    selection.AddSelectionCallback(RemovesItself, &calls);
    selection.AddSelectionCallback(RemovesItself, &others);
    selection.InvokeSelectionCallbacks({});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(others, 1);
    EXPECT_EQ(selection.GetNumSelectionCallbacks(), 0);
    gSelection = nullptr;
}

std::vector<char> gOrder;

void CallB(void*, const std::vector<CVNodePath>&);

void CallA(void*, const std::vector<CVNodePath>&)
{
    gOrder.push_back('A');
    gSelection->RemoveSelectionCallback(CallB, nullptr);
}

void CallB(void*, const std::vector<CVNodePath>&) { gOrder.push_back('B'); }
void CallC(void*, const std::vector<CVNodePath>&) { gOrder.push_back('C'); }

TEST(Selection, ACallbackRemovingAnotherLeavesTheCallsAsTheListWasWhenInvoked)
{
    CVSelection selection;
    gSelection = &selection;
    gOrder.clear();
    selection.AddSelectionCallback(CallA, nullptr);
    selection.AddSelectionCallback(CallB, nullptr);
    selection.AddSelectionCallback(CallC, nullptr);
    selection.InvokeSelectionCallbacks({});
    EXPECT_EQ(gOrder, (std::vector<char>{'A', 'B', 'C'}));
    gOrder.clear();
    selection.InvokeSelectionCallbacks({});
    EXPECT_EQ(gOrder, (std::vector<char>{'A', 'C'})) << "gone from the next call on";
    gSelection = nullptr;
}

} // namespace

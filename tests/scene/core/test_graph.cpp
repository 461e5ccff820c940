// Node-valued fields know their container: they refuse cycles, and graph
// walks see every held node without recursion.
#include "scene/core/Child.h"
#include "scene/core/Graph.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A node with one list and one single node field, both linked to it.
class Knot : public CVChild {
public:
    explicit Knot(int* deaths = nullptr) : mDeaths(deaths) {}
    ~Knot() override
    {
        if (mDeaths)
            ++*mDeaths;
    }
    CVMFNode<CVChild> kids{this};
    CVSFNode<CVNode> extra{this};

private:
    int* mDeaths;
};

TEST(NodeCycles, ANodeCannotHoldItselfOrAnAncestor)
{
    auto* a = new Knot;
    a->Ref();
    auto* b = new Knot;
    auto* c = new Knot;
    ASSERT_TRUE(a->kids.Add(b));
    ASSERT_TRUE(b->kids.Add(c));
    EXPECT_FALSE(a->kids.Add(a));        // itself
    EXPECT_FALSE(c->kids.Add(a));        // its grandparent
    EXPECT_FALSE(c->extra.SetValue(b));  // its parent, through the single field
    EXPECT_FALSE(c->kids.SetAt(0, a));   // and through the other setters
    EXPECT_FALSE(c->kids.InsertAt(0, b));
    EXPECT_FALSE(c->kids.AddNode(a));
    EXPECT_FALSE(c->extra.SetNode(a));
    EXPECT_EQ(c->kids.GetNum(), 0);
    EXPECT_EQ(c->extra.GetValue(), nullptr);
    EXPECT_EQ(a->GetRef(), 1); // nothing refused took a reference

    // Sharing without a cycle stays allowed: c held twice.
    EXPECT_TRUE(a->kids.Add(c));
    EXPECT_TRUE(a->extra.SetValue(c));
    EXPECT_EQ(c->GetRef(), 3);
    a->Unref();
}

TEST(NodeCycles, FieldsWithoutAContainerDoNotCheck)
{
    auto* a = new Knot;
    CVMFNode<CVChild> loose;
    EXPECT_TRUE(loose.Add(a));
    EXPECT_TRUE(a->kids.Add(new Knot));
}

TEST(GraphWalks, ReachesFollowsEveryHolder)
{
    auto* a = new Knot;
    a->Ref();
    auto* b = new Knot;
    auto* c = new Knot;
    a->extra.SetValue(b);
    b->kids.Add(c);
    EXPECT_TRUE(lumo::graph::Reaches(a, c));
    EXPECT_TRUE(lumo::graph::Reaches(c, c));
    EXPECT_FALSE(lumo::graph::Reaches(c, a));
    EXPECT_FALSE(lumo::graph::Reaches(nullptr, a));
    a->Unref();
}

TEST(GraphWalks, MeasureCountsExpandedInstancesOfSharedNodes)
{
    // Level k holds level k-1 twice: 2^(n+1) - 1 instances, n + 1 distinct.
    const int levels = 40;
    Knot* level = new Knot;
    for (int i = 0; i < levels; ++i) {
        auto* up = new Knot;
        up->kids.Add(level);
        up->kids.Add(level);
        level = up;
    }
    level->Ref();
    lumo::graph::Extent e = lumo::graph::Measure(level);
    EXPECT_EQ(e.depth, std::size_t(levels + 1));
    EXPECT_EQ(e.nodes, std::size_t(levels + 1));
    EXPECT_EQ(e.instances, (std::uint64_t(1) << (levels + 1)) - 1);
    level->Unref();
}

TEST(GraphWalks, MeasureSaturatesInsteadOfOverflowing)
{
    Knot* level = new Knot;
    for (int i = 0; i < 70; ++i) {
        auto* up = new Knot;
        up->kids.Add(level);
        up->kids.Add(level);
        level = up;
    }
    level->Ref();
    EXPECT_EQ(lumo::graph::Measure(level).instances, UINT64_MAX);
    level->Unref();
}

TEST(GraphWalks, CountHoldersCountsEveryPlace)
{
    auto* root = new Knot;
    root->Ref();
    auto* shared = new Knot;
    auto* one = new Knot;
    root->kids.Add(shared);
    root->kids.Add(one);
    one->kids.Add(shared);
    one->extra.SetValue(shared);
    auto holders = lumo::graph::CountHolders(root);
    EXPECT_EQ(holders[shared], 3);
    EXPECT_EQ(holders[one], 1);
    EXPECT_EQ(holders.count(root), 0u);
    root->Unref();
}

TEST(GraphWalks, DeepChainsWalkAndFreeWithoutRecursion)
{
    // Far deeper than any stack allows for recursive walks or frees.
    const int depth = 300000;
    int deaths = 0;
    auto* top = new Knot(&deaths);
    top->Ref();
    Knot* bottom = top;
    for (int i = 1; i < depth; ++i) {
        auto* next = new Knot(&deaths);
        bottom->kids.Add(next);
        bottom = next;
    }
    EXPECT_EQ(lumo::graph::Measure(top).depth, std::size_t(depth));
    EXPECT_FALSE(lumo::graph::Reaches(bottom, top));
    top->Unref();
    EXPECT_EQ(deaths, depth);
}

TEST(GraphWalks, EveryRegisteredNodeFieldKnowsItsContainer)
{
    // A node class that forgets `{this}` on a node field would let cycles
    // and sharing past the checks; every built-in type is checked here.
    int checked = 0;
    for (const auto& entry : CVNodeType::TopNameSpace()) {
        CVNode* node = entry.second->NewInstance();
        if (!node)
            continue;
        node->Ref();
        for (const CVFieldType& record : entry.second->GetFields()) {
            if (record.type != SFNODE && record.type != MFNODE)
                continue;
            CVField* field = CVNodeType::FieldOf(node, record);
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(field->GetContainer(), node)
                << std::string(entry.first.begin(), entry.first.end()) << "."
                << std::string(record.name.begin(), record.name.end());
            ++checked;
        }
        node->Unref();
    }
    EXPECT_GT(checked, 5);
}

} // namespace

#include "scene/core/Action.h"
#include "scene/core/Child.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

class Probe : public CVChild {
public:
    explicit Probe(int* deaths = nullptr) : mDeaths(deaths) {}
    ~Probe() override
    {
        if (mDeaths)
            ++*mDeaths;
    }

private:
    int* mDeaths;
};

class RecordingAction : public CVAction {
public:
    int Apply(CVNode* root) override
    {
        if (!root)
            return 0;
        Reset();
        root->Traverse(this, nullptr, 0);
        return 1;
    }
    void PreActOn(CVNode*) override { log += "pre "; }
    void PostActOn(CVNode*) override { log += "post"; }
    std::string log;
};

TEST(RefCount, LastUnrefDeletesAndUnrefNoDeleteNever)
{
    int deaths = 0;
    auto* node = new Probe(&deaths);
    EXPECT_EQ(node->GetRef(), 0);
    node->Ref();
    node->Ref();
    node->Unref();
    EXPECT_EQ(deaths, 0);
    node->UnrefNoDelete();
    EXPECT_EQ(node->GetRef(), 0);
    EXPECT_EQ(deaths, 0);
    node->Ref();
    node->Unref();
    EXPECT_EQ(deaths, 1);
}

TEST(NodeNames, SecondNodeTakesTheNameAndFirstKeepsItsOwn)
{
    Probe first, second;
    EXPECT_EQ(first.GetName(), nullptr);
    first.SetName(L"Bar");
    EXPECT_EQ(CVNode::NameToNode(L"Bar"), &first);
    second.SetName(L"Bar");
    EXPECT_EQ(CVNode::NameToNode(L"Bar"), &second);
    ASSERT_NE(first.GetName(), nullptr);
    EXPECT_EQ(*first.GetName(), L"Bar");
    EXPECT_EQ(CVNode::NameToNode(L"bar"), nullptr); // names are case-sensitive
    second.SetName(L"Baz"); // renaming frees the old name
    EXPECT_EQ(CVNode::NameToNode(L"Bar"), nullptr);
    EXPECT_EQ(CVNode::NameToNode(L"Baz"), &second);
}

TEST(NodeNames, DestroyingADisplacedNodeLeavesTheNewOwnerNamed)
{
    Probe owner;
    {
        Probe displaced;
        displaced.SetName(L"Shared");
        owner.SetName(L"Shared");
    }
    EXPECT_EQ(CVNode::NameToNode(L"Shared"), &owner);
    {
        Probe temporary;
        temporary.SetName(L"Gone");
    }
    EXPECT_EQ(CVNode::NameToNode(L"Gone"), nullptr);
}

TEST(NodeNames, SpacesHideLowerNamesAndForgetDestroyedNodes)
{
    Probe outer;
    outer.SetName(L"Outer");
    CVNode::PushNameSpace();
    EXPECT_EQ(CVNode::NameToNode(L"Outer"), nullptr); // top space only
    auto* inner = new Probe;
    inner->Ref();
    inner->SetName(L"Inner");
    EXPECT_EQ(CVNode::NameToNode(L"Inner"), inner);
    CVNode::PopNameSpace();
    EXPECT_EQ(CVNode::NameToNode(L"Outer"), &outer);
    EXPECT_EQ(CVNode::NameToNode(L"Inner"), nullptr);

    // A node named below and destroyed while a space is pushed must not
    // linger in the lower space.
    auto* doomed = new Probe;
    doomed->Ref();
    doomed->SetName(L"Doomed");
    CVNode::PushNameSpace();
    doomed->Unref();
    CVNode::PopNameSpace();
    EXPECT_EQ(CVNode::NameToNode(L"Doomed"), nullptr);
    inner->Unref();
}

TEST(NodeNames, OperationsWithoutASpaceThrow)
{
    CVNode::UnInit();
    EXPECT_EQ(CVNode::NameSpaceDepth(), -1);
    EXPECT_THROW(CVNode::NameToNode(L"x"), std::out_of_range);
    EXPECT_THROW(CVNode::PopNameSpace(), std::out_of_range);
    Probe p;
    EXPECT_THROW(p.SetName(L"x"), std::out_of_range);
    CVNode::Init();
    p.SetName(L"x");
    EXPECT_EQ(CVNode::NameToNode(L"x"), &p);
}

TEST(NodeProtocol, BaseNodeCallsPreThenPostAndHasInertDefaults)
{
    Probe p;
    RecordingAction action;
    EXPECT_EQ(action.Apply(nullptr), 0);
    EXPECT_EQ(action.Apply(&p), 1);
    EXPECT_EQ(action.log, "pre post");
    std::wstring message;
    EXPECT_EQ(p.IsValid(message), 1);
    EXPECT_EQ(p.GetPickDetail(3), nullptr);
    EXPECT_EQ(p.GetField(L"anything"), nullptr);
    EXPECT_TRUE(p.IsKindOf<CVChild>());
    EXPECT_TRUE(p.IsKindOf<CVNode>());
    EXPECT_STREQ(p.GetRuntimeClass()->m_lpszClassName, "CVChild");
}

} // namespace

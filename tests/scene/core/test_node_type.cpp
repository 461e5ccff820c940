#include "scene/core/Child.h"
#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/core/Prototype.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/nodes/BuiltinTypes.h"

#include <gtest/gtest.h>

#include <stdexcept>

// A test node registered the way library nodes register themselves.
class CVGadget : public CVChild {
    LUMO_DECLARE_NODE(CVGadget)

public:
    CVGadget() { size.SetValue(1.0f, 2.0f, 3.0f); }
    CVSFVec3f bboxCenter;
    CVSFVec3f size;
    CVMFNode<CVChild> children{this};
};

LUMO_IMPLEMENT_NODE(CVGadget, CVChild)

void CVGadget::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVGadget>(L"Gadget")
        .Field(L"bboxCenter", &CVGadget::bboxCenter)
        .Field(L"size", &CVGadget::size)
        .Field(L"children", &CVGadget::children);
}

// A subclass inherits its base's fields through its own registration.
class CVSubGadget : public CVGadget {
    LUMO_DECLARE_NODE(CVSubGadget)

public:
    CVSFFloat weight;
};

LUMO_IMPLEMENT_NODE(CVSubGadget, CVGadget)

void CVSubGadget::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSubGadget>(L"SubGadget")
        .Field(L"bboxCenter", &CVSubGadget::bboxCenter)
        .Field(L"weight", &CVSubGadget::weight);
}

namespace {

class NodeTypeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CVNodeType::PushNameSpace();
        CVGadget::AddToTypeNameSpace();
        CVSubGadget::AddToTypeNameSpace();
    }
    void TearDown() override { CVNodeType::PopNameSpace(); }
};

TEST_F(NodeTypeTest, RegistrationRecordsTypeCodesAndPositions)
{
    const CVNodeType* type = CVNodeType::Find(L"Gadget");
    ASSERT_EQ(type, CVGadget::nodeType);
    EXPECT_EQ(type->GetName(), L"Gadget");
    ASSERT_EQ(type->GetFields().size(), 3u);
    EXPECT_EQ(type->GetFields()[2].type, MFNODE);
    EXPECT_EQ(type->HasField(L"size"), SFVEC3F);

    CVGadget a, b;
    b.size.SetValue(7.0f, 8.0f, 9.0f);
    // The recorded position finds the field of whichever instance is asked.
    auto* field = static_cast<CVSFVec3f*>(b.GetField(L"size"));
    ASSERT_EQ(field, &b.size);
    EXPECT_FLOAT_EQ(field->GetValue().x, 7.0f);
    EXPECT_EQ(a.GetField(L"size"), &a.size);

    CVSubGadget sub;
    EXPECT_EQ(sub.GetField(L"weight"), &sub.weight);
    EXPECT_EQ(sub.GetField(L"bboxCenter"), &sub.bboxCenter);
    EXPECT_EQ(sub.GetField(L"size"), nullptr); // not declared by the subclass
}

TEST_F(NodeTypeTest, FieldLookupIgnoresCaseButHasQueriesDoNot)
{
    CVGadget g;
    EXPECT_EQ(g.GetField(L"BBOXCENTER"), &g.bboxCenter);
    EXPECT_EQ(g.GetField(L"Children"), &g.children);
    EXPECT_EQ(g.GetField(L"childrenx"), nullptr);
    EXPECT_EQ(g.GetField(L"bbox"), nullptr);
    EXPECT_EQ(CVGadget::nodeType->HasField(L"BBOXCENTER"), 0);
    EXPECT_EQ(CVGadget::nodeType->HasField(L"bboxCenter"), SFVEC3F);
    EXPECT_EQ(CVNodeType::Find(L"gadget"), nullptr);
    EXPECT_EQ(CVGadget::nodeType->GetDefaultValue(&g, L"size"), nullptr);
}

TEST_F(NodeTypeTest, ExposedFieldsAddEvents)
{
    CVNodeType* type = CVGadget::nodeType;
    CVGadget g;
    EXPECT_EQ(type->HasExposedField(L"size"), 0); // plain field
    CVSFFloat x;
    type->AddExposedField(L"x", SFFLOAT, &g, &x);
    EXPECT_EQ(type->HasExposedField(L"x"), SFFLOAT);
    EXPECT_EQ(type->HasEventIn(L"set_x"), SFFLOAT);
    EXPECT_EQ(type->HasEventOut(L"x_changed"), SFFLOAT);
    type->AddEventIn(L"set_size", SFVEC3F, &g, &g.size);
    EXPECT_EQ(type->HasExposedField(L"size"), 0); // still no event out
    type->AddEventOut(L"size_changed", SFFLOAT, &g, &g.size);
    EXPECT_EQ(type->HasExposedField(L"size"), 0); // codes disagree
}

TEST_F(NodeTypeTest, NewInstanceCreatesOnlyBuiltInClasses)
{
    EXPECT_EQ(CVGadget::nodeType->NewInstance(), nullptr);
    EXPECT_EQ(CVNodeType(L"Heart").NewInstance(), nullptr);
    EXPECT_EQ(CVNodeType(L"NoSuchNode").NewInstance(), nullptr);
}

TEST_F(NodeTypeTest, EarlierSpacesWinAndPoppingDeletesTypes)
{
    // A later space cannot redefine a name of an earlier one.
    CVNodeType::PushNameSpace();
    auto* shadow = new CVNodeType(L"Gadget");
    CVNodeType::AddToNameSpace(shadow);
    EXPECT_EQ(CVNodeType::Find(L"Gadget"), CVGadget::nodeType);
    auto* fresh = new CVNodeType(L"OnlyHere");
    CVNodeType::AddToNameSpace(fresh);
    EXPECT_EQ(CVNodeType::Find(L"OnlyHere"), fresh);
    EXPECT_EQ(CVNodeType::TopNameSpace().size(), 2u);
    CVNodeType::PopNameSpace();
    EXPECT_EQ(CVNodeType::Find(L"OnlyHere"), nullptr);

    // Re-registering in the same space overwrites the entry; the class's
    // pointer follows the newest type.
    CVNodeType* first = CVGadget::nodeType;
    CVGadget::AddToTypeNameSpace();
    EXPECT_NE(CVGadget::nodeType, first);
    EXPECT_EQ(CVNodeType::Find(L"Gadget"), CVGadget::nodeType);
}

TEST(NodeTypeSpaces, AClassForgetsItsTypeWhenItsSpaceIsPopped)
{
    CVNodeType::PushNameSpace();
    CVGadget::AddToTypeNameSpace();
    CVGadget g;
    EXPECT_NE(g.GetField(L"size"), nullptr);
    CVNodeType::PopNameSpace();
    EXPECT_EQ(CVGadget::nodeType, nullptr);
    EXPECT_EQ(g.GetField(L"size"), nullptr);
}

TEST(NodeTypeSpaces, BuiltInSpaceIsOpenAfterLoadAndHoldsTheBuiltInNodes)
{
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), 0);
    for (const auto& entry : CVNodeType::TopNameSpace()) {
        CVNode* node = entry.second->NewInstance();
        ASSERT_NE(node, nullptr) << "registered but not creatable: " << std::string(entry.first.begin(), entry.first.end());
        node->Ref();
        node->Unref();
    }
}

TEST(NodeTypeSpaces, OperationsWithoutASpaceThrow)
{
    // Take the whole registry down and bring it back as start-up does.
    CVNodeType::UnInit();
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), -1);
    EXPECT_THROW(CVNodeType::Find(L"Group"), std::out_of_range);
    EXPECT_THROW(CVNodeType::PopNameSpace(), std::out_of_range);
    EXPECT_THROW(CVNodeType::TopNameSpace(), std::out_of_range);
    auto* orphan = new CVNodeType(L"Orphan");
    EXPECT_THROW(CVNodeType::AddToNameSpace(orphan), std::out_of_range);
    delete orphan;
    lumo::InitBuiltinNodeTypes();
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), 0);
    EXPECT_NE(CVNodeType::Find(L"Group"), nullptr);
}

TEST(Prototype, IsInertButOwnsItsNodeType)
{
    CVPrototype proto(L"Custom");
    ASSERT_NE(proto.GetNodeType(), nullptr);
    EXPECT_EQ(proto.GetNodeType()->GetName(), L"Custom");
    std::wstring name = L"f";
    proto.AddField(name, SFFLOAT);
    EXPECT_EQ(proto.GetField(name), nullptr);
    EXPECT_EQ(proto.NameToField(name), nullptr);
    EXPECT_EQ(proto.HasField(L"f"), 0);
}

} // namespace

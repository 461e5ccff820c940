#include "scene/core/NodeType.h"
#include "scene/nodes/Anchor.h"
#include "scene/nodes/Billboard.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/NavigationInfo.h"
#include "scene/nodes/ObliqueTransform.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/WorldInfo.h"
#include "scene/render/GLAction.h"
#include "tests/support/Offscreen.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using lumo::test::Offscreen;

namespace {

const float kPi = 3.14159265f;

// Records the callbacks of a walk by node name.
class Recorder : public CVAction {
public:
    explicit Recorder(bool allChoices = false) : mAllChoices(allChoices) {}
    int Apply(CVNode* root) override
    {
        Reset();
        root->Traverse(this, nullptr, 0);
        return 1;
    }
    void PreActOn(CVNode* node) override { log.push_back("+" + Name(node)); }
    void PostActOn(CVNode* node) override { log.push_back("-" + Name(node)); }
    bool TraversesAllChoices() const override { return mAllChoices; }
    std::vector<std::string> log;

private:
    static std::string Name(CVNode* n)
    {
        const std::wstring* w = n->GetName();
        return w ? std::string(w->begin(), w->end()) : "?";
    }
    bool mAllChoices;
};

CVChild* Named(CVChild* node, const wchar_t* name)
{
    node->SetName(name);
    return node;
}

std::vector<float> ModelView()
{
    std::vector<float> m(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

TEST(GroupingTypes, RegisteredInTheBuiltInSpaceWithTheirFields)
{
    for (const wchar_t* name : {L"Group", L"Transform", L"Switch", L"Billboard", L"Anchor", L"WorldInfo",
                                L"NavigationInfo"}) {
        const CVNodeType* type = CVNodeType::Find(name);
        ASSERT_NE(type, nullptr);
        CVNode* node = type->NewInstance();
        ASSERT_NE(node, nullptr);
        node->Ref();
        node->Unref();
    }
    EXPECT_EQ(CVNodeType::Find(L"Group")->HasField(L"selectable"), SFBOOL);
    EXPECT_EQ(CVNodeType::Find(L"Transform")->HasField(L"selectable"), 0);
    EXPECT_EQ(CVNodeType::Find(L"Transform")->GetFields()[0].name, L"center");
    EXPECT_EQ(CVNodeType::Find(L"Switch")->HasField(L"choice"), MFNODE);
    EXPECT_EQ(CVNodeType::Find(L"NavigationInfo")->HasField(L"avatarSize"), MFFLOAT);
    EXPECT_TRUE(CVNodeType::Find(L"Transform")->NewInstance()->IsKindOf<CVGroup>());

    CVGroup g;
    EXPECT_EQ(g.GetField(L"BBOXCENTER"), &g.bboxCenter);
    EXPECT_FLOAT_EQ(g.bboxSize.GetValue().y, -1.0f);
    EXPECT_EQ(g.selectable.GetValue(), 1);
    CVTransform t;
    EXPECT_EQ(t.rotation.GetValue(), CVRotation(1, 0, 0, 0));
    EXPECT_EQ(t.scaleOrientation.GetValue(), CVRotation(0, 1, 0, 0));
    CVNavigationInfo nav;
    ASSERT_EQ(nav.avatarSize.GetNum(), 3);
    EXPECT_FLOAT_EQ(nav.avatarSize[1], 1.6f);
    EXPECT_EQ(nav.headlight.GetValue(), 1);
    CVAnchor anchor;
    EXPECT_EQ(anchor.GetField(L"url"), &anchor.url);
    CVWorldInfo info;
    EXPECT_EQ(info.GetField(L"title"), &info.title);
}

TEST(SwitchWalk, ChoosesOneChildOrNone)
{
    auto* sw = new CVSwitch;
    sw->Ref();
    sw->SetName(L"S");
    sw->choice.Add(Named(new CVGroup, L"A"));
    sw->choice.Add(Named(new CVGroup, L"B"));
    sw->choice.Add(Named(new CVGroup, L"C"));
    Recorder rec;
    rec.Apply(sw);
    EXPECT_TRUE(rec.log.empty());
    sw->whichChoice.SetValue(1);
    rec.Apply(sw);
    rec.log.clear();
    rec.Apply(sw);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+S", "+B", "-B", "-S"}));
    sw->whichChoice.SetValue(5);
    rec.log.clear();
    rec.Apply(sw);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+S", "-S"}));
    Recorder writer(true);
    writer.Apply(sw);
    EXPECT_EQ(writer.log, (std::vector<std::string>{"+S", "+A", "-A", "+B", "-B", "+C", "-C", "-S"}));
    sw->Unref();
}

TEST(GroupWalk, ChildrenInOrderAndPathWalksVisitOnlyThePath)
{
    auto* root = new CVGroup;
    root->Ref();
    root->SetName(L"R");
    auto* a = Named(new CVGroup, L"A");
    auto* b = Named(new CVGroup, L"B");
    root->children.Add(a);
    root->children.Add(b);
    Recorder rec;
    rec.Apply(root);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+R", "+A", "-A", "+B", "-B", "-R"}));
    rec.log.clear();
    CVNodePath path{root, b};
    root->Traverse(&rec, &path, 0);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+R", "+B", "-B", "-R"}));
    rec.log.clear();
    CVNodePath self{root};
    root->Traverse(&rec, &self, 0);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+R", "-R"}));
    root->Unref();
}

class GLNodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(off.area()->MakeCurrent());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    Offscreen off;
};

TEST_F(GLNodeTest, DefaultTransformLeavesTheMatrixUntouched)
{
    glTranslatef(1, 2, 3);
    auto before = ModelView();
    CVTransform t;
    t.Render(nullptr, nullptr);
    EXPECT_EQ(ModelView(), before);
    t.scaleOrientation.SetValue(0, 0, 1, 0.3f); // rotate, scale by one, rotate back
    t.Render(nullptr, nullptr);
    auto after = ModelView();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(after[size_t(i)], before[size_t(i)], 1e-6);
}

TEST_F(GLNodeTest, TransformMatrixIsInOpenGLOrder)
{
    CVTransform t;
    t.translation.SetValue(4, 5, 6);
    t.rotation.SetValue(0, 0, 1, kPi / 2);
    CVMatrix gl = t.GetMatrix();
    EXPECT_FLOAT_EQ(gl[12], 4.0f);
    EXPECT_FLOAT_EQ(gl[14], 6.0f);
    CVVector p;
    t.GetRowMatrix().MultVecMatrix(CVVector(1, 0, 0), p);
    EXPECT_NEAR(p.x, 4.0f, 1e-5);
    EXPECT_NEAR(p.y, 6.0f, 1e-5);
    EXPECT_EQ(ModelView()[12], 0.0f); // GetMatrix restores the stack
}

TEST_F(GLNodeTest, BillboardTurnsItsZAxisTowardsTheViewerAboutItsAxis)
{
    glTranslatef(-10, 0, 0); // the eye sits at +x of the billboard
    CVBillboard b;
    b.Render(nullptr, nullptr);
    auto m = ModelView();
    // The local z axis now points along eye-space +x, towards the eye.
    EXPECT_NEAR(m[8], 1.0f, 1e-5);
    EXPECT_NEAR(m[10], 0.0f, 1e-5);
    EXPECT_NEAR(m[5], 1.0f, 1e-5); // the y axis is the axis of rotation
}

TEST_F(GLNodeTest, BillboardAlongTheViewAxisDoesNothing)
{
    glRotatef(30, 0, 1, 0);
    auto before = ModelView();
    CVBillboard b;
    b.axisOfRotation.SetValue(0, 0, 1);
    b.Render(nullptr, nullptr);
    EXPECT_EQ(ModelView(), before);
}

TEST_F(GLNodeTest, ZeroAxisBillboardFacesTheScreen)
{
    glTranslatef(0, 0, -5);
    glRotatef(30, 0, 1, 0);
    glRotatef(20, 1, 0, 0);
    CVBillboard b;
    b.axisOfRotation.SetValue(0, 0, 0);
    b.Render(nullptr, nullptr);
    auto m = ModelView();
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            EXPECT_NEAR(m[size_t(col * 4 + row)], col == row ? 1.0f : 0.0f, 1e-4) << col << "," << row;
}

TEST_F(GLNodeTest, ObliqueTransformShearsDepthIntoXAndY)
{
    CVObliqueTransform o;
    o.obliqueAngle1.SetValue(kPi / 4 + kPi / 2); // tan(pi) ... shear -1 per unit depth
    o.obliqueAngle2.SetValue(kPi / 2);           // no vertical shear
    o.referenceDepth.SetValue(1.0f);
    double dx, dy;
    o.GetObliqueTranslation(3.0, dx, dy);
    EXPECT_NEAR(dx, 2.0 * std::tan(kPi / 4 + kPi / 2 + kPi / 2), 1e-4);
    EXPECT_NEAR(dy, 0.0, 1e-5);
    o.Render(nullptr, nullptr);
    auto m = ModelView();
    EXPECT_NEAR(m[8], float(std::tan(kPi / 4 + kPi)), 1e-5);
    EXPECT_NEAR(m[12], -1.0f * float(std::tan(kPi / 4 + kPi)), 1e-5);
}

TEST(ObliqueAngles, ConditioningKeepsTheShearFinite)
{
    double dx, dy;
    CVObliqueTransform::GetObliqueTranslation(2.0, kPi / 2 + 2 * kPi, kPi / 2, 0.0, dx, dy);
    EXPECT_NEAR(dx, dy, 1e-5); // a whole turn more behaves the same
    CVObliqueTransform::GetObliqueTranslation(1.0, 0.0, -0.001, 0.0, dx, dy);
    EXPECT_TRUE(std::isfinite(dx));
    EXPECT_NEAR(dx, -1.0 / std::tan(0.017453292519943295), 1e-6);
    EXPECT_NEAR(dy, dx, 1e-9); // small negative angles become one degree too
    EXPECT_DOUBLE_EQ(CVObliqueTransform::ConditionAngle(3.14159), 3.159045946109736);
    CVObliqueTransform o;
    EXPECT_FLOAT_EQ(o.obliqueAngle1.GetValue(), 1.3659098f);
}

} // namespace

namespace {

TEST(GroupEditing, ChildrenEditsRefuseNullsBadIndicesAndCycles)
{
    auto* root = new CVGroup;
    root->Ref();
    auto* a = new CVGroup;
    auto* b = new CVTransform;
    EXPECT_FALSE(root->AddChild(nullptr));
    EXPECT_TRUE(root->AddChild(a));
    EXPECT_TRUE(root->InsertChild(b, 0));
    EXPECT_FALSE(root->InsertChild(b, 3)); // past the end (2 is the end)
    EXPECT_FALSE(root->InsertChild(b, -1));
    EXPECT_TRUE(root->InsertChild(b, 2));  // at the end: appends
    EXPECT_EQ(root->children.GetNum(), 3);
    EXPECT_FALSE(a->AddChild(root));       // the root above it
    EXPECT_FALSE(a->InsertChild(a, 0));    // itself
    EXPECT_TRUE(a->AddChild(new CVGroup));
    EXPECT_FALSE(static_cast<CVGroup*>(a->children[0])->ReplaceChild(0, a)); // nothing at index 0
    EXPECT_FALSE(a->ReplaceChild(0, root));
    EXPECT_TRUE(a->ReplaceChild(0, b));
    EXPECT_FALSE(b->AddChild(a)); // a now holds b
    EXPECT_FALSE(root->RemoveChild(3));
    EXPECT_TRUE(root->RemoveChild(0));
    EXPECT_EQ(root->children.GetNum(), 2);
    root->Unref();
}

} // namespace

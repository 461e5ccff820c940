// Documents with self-running nodes: the reader places every element and
// attribute of the animation nodes, the writer writes them back with the
// pose they have reached, and a round trip (the sample document's too)
// gives back every value. Markers and selection boxes are no document
// elements.
#include "scene/core/NodeType.h"
#include "scene/nodes/Animation.h"
#include "scene/nodes/Blinker.h"
#include "scene/nodes/Interpolators.h"
#include "scene/nodes/KeyFrameAnimation.h"
#include "scene/nodes/LineBox.h"
#include "scene/nodes/Markers.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Viewpoint.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/WriteXMLAction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Held {
    CVGroup* root;
    explicit Held(CVGroup* r) : root(r) { root->Ref(); }
    ~Held() { root->Unref(); }
};

CVGroup* Read(const std::string& xml, std::vector<std::wstring>* messages = nullptr)
{
    CVParser parser;
    CVGroup* root = parser.ParseXMLBits(xml.data(), unsigned(xml.size()));
    if (messages)
        *messages = parser.GetMessages();
    return root;
}

std::string Write(CVNode* root) { return CVWriteXMLAction().WriteString(root); }

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// Compares two scenes node by node: the same classes, every registered
// field's text, and the held nodes in order.
void ExpectSameScene(CVNode* a, CVNode* b, const std::string& where)
{
    ASSERT_NE(a, nullptr) << where;
    ASSERT_NE(b, nullptr) << where;
    ASSERT_EQ(std::string(a->GetRuntimeClass()->m_lpszClassName), b->GetRuntimeClass()->m_lpszClassName) << where;
    std::string name = std::string(a->GetRuntimeClass()->m_lpszClassName).substr(2);
    const CVNodeType* type = CVNodeType::Find(std::wstring(name.begin(), name.end()).c_str());
    if (!type)
        return;
    for (const CVFieldType& record : type->GetFields()) {
        CVField* fa = CVNodeType::FieldOf(a, record);
        CVField* fb = CVNodeType::FieldOf(b, record);
        std::string at = where + "/" + name + "." + Narrow(record.name);
        if (record.type == SFNODE) {
            CVNode* na = static_cast<CVSFNodeBase*>(fa)->GetNode();
            CVNode* nb = static_cast<CVSFNodeBase*>(fb)->GetNode();
            ASSERT_EQ(na == nullptr, nb == nullptr) << at;
            if (na)
                ExpectSameScene(na, nb, at);
        } else if (record.type == MFNODE) {
            auto* la = static_cast<CVMFNodeBase*>(fa);
            auto* lb = static_cast<CVMFNodeBase*>(fb);
            ASSERT_EQ(la->GetNum(), lb->GetNum()) << at;
            for (int i = 0; i < la->GetNum(); ++i)
                ExpectSameScene(la->GetNodeAt(i), lb->GetNodeAt(i), at + "[" + std::to_string(i) + "]");
        } else {
            std::wstring ta, tb;
            if (lumo::x3d::FieldText(*fa, ta) && lumo::x3d::FieldText(*fb, tb)) {
                EXPECT_EQ(Narrow(ta), Narrow(tb)) << at;
            }
        }
    }
}

const char* kDocument = R"(<X3D><Scene>
  <Viewpoint><KeyFrame key="0 1" translationKeyValue="0 0 10 0 0 5"/></Viewpoint>
  <Animation DEF="Spin" type="Pendulum" on="TRUE" speed="0.75" angle1="0.5" angle2="-0.25"
             translation1="1 2 3" translation2="-1 -2 -3" rotation="0 1 0 0.3" translation="4 5 6"
             scale="2 2 2" center="0.5 0 0" bboxSize="1 1 1">
    <Shape><Box size="1 1 1"/></Shape>
  </Animation>
  <KeyFrameAnimation whichKeyFrame="1" translation="0 1 0">
    <KeyFrames>
      <KeyFrame DEF="First" key="0 0.5 1" rotationKeyValue="0 0 1 0 0 0 1 1 0 0 1 2"
                translationKeyValue="0 0 0 1 1 1 2 2 2" scaleKeyValue="1 1 1 2 2 2 3 3 3" loop="TRUE" speed="2"/>
    </KeyFrames>
    <KeyFrame key="0 1" speed="0.5"/>
    <Transform/>
  </KeyFrameAnimation>
  <Blinker on="TRUE" speed="3" whichChoice="1">
    <Group/><Group/>
  </Blinker>
  <ColorInterpolator key="0 1" keyValue="1 0 0 0 0 1"/>
  <CoordinateInterpolator key="0 0.5 1" keyValue="0 0 0 1 1 1 2 2 2"/>
</Scene></X3D>)";

TEST(AnimationDocuments, TheReaderPlacesEveryElementAndAttribute)
{
    std::vector<std::wstring> messages;
    Held root(Read(kDocument, &messages));
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : Narrow(messages[0]));
    ASSERT_EQ(root.root->children.GetNum(), 6);

    auto* viewpoint = static_cast<CVViewpoint*>(root.root->children[0]);
    ASSERT_TRUE(viewpoint->IsKindOf<CVViewpoint>());
    ASSERT_NE(viewpoint->keyFrame.GetValue(), nullptr);
    EXPECT_TRUE(viewpoint->keyFrame.GetValue()->IsKindOf<CVKeyFrame>());

    auto* spin = static_cast<CVAnimation*>(root.root->children[1]);
    ASSERT_TRUE(spin->IsKindOf<CVAnimation>());
    EXPECT_EQ(spin->type.GetValue(), L"Pendulum");
    EXPECT_EQ(spin->on.GetValue(), 1);
    EXPECT_EQ(spin->speed.GetValue(), 0.75f);
    EXPECT_EQ(spin->angle1.GetValue(), 0.5f);
    EXPECT_EQ(spin->angle2.GetValue(), -0.25f);
    EXPECT_EQ(spin->translation1.GetValue().z, 3.0f);
    EXPECT_EQ(spin->translation2.GetValue().y, -2.0f);
    EXPECT_EQ(spin->rotation.GetValue().angle, 0.3f);
    EXPECT_EQ(spin->translation.GetValue().x, 4.0f);
    EXPECT_EQ(spin->scale.GetValue().y, 2.0f);
    EXPECT_EQ(spin->center.GetValue().x, 0.5f);
    EXPECT_EQ(spin->bboxSize.GetValue().z, 1.0f);
    EXPECT_EQ(spin->children.GetNum(), 1);

    auto* keyed = static_cast<CVKeyFrameAnimation*>(root.root->children[2]);
    ASSERT_TRUE(keyed->IsKindOf<CVKeyFrameAnimation>());
    EXPECT_EQ(keyed->whichKeyFrame.GetValue(), 1);
    // Key frames go to keyFrames, inside the wrapper or not; the rest are children.
    ASSERT_EQ(keyed->keyFrames.GetNum(), 2);
    EXPECT_EQ(keyed->children.GetNum(), 1);
    CVKeyFrame* first = keyed->keyFrames[0];
    EXPECT_EQ(first->key.GetNum(), 3);
    EXPECT_EQ(first->rotationKeyValue.GetNum(), 3);
    EXPECT_EQ(first->rotationKeyValue[2].angle, 2.0f);
    EXPECT_EQ(first->translationKeyValue[1].y, 1.0f);
    EXPECT_EQ(first->scaleKeyValue[2].z, 3.0f);
    EXPECT_EQ(first->loop.GetValue(), 1);
    EXPECT_EQ(first->speed.GetValue(), 2.0f);
    EXPECT_EQ(keyed->keyFrames[1]->speed.GetValue(), 0.5f);

    auto* blinker = static_cast<CVBlinker*>(root.root->children[3]);
    ASSERT_TRUE(blinker->IsKindOf<CVBlinker>());
    EXPECT_EQ(blinker->choice.GetNum(), 2);
    EXPECT_EQ(blinker->whichChoice.GetValue(), 1);
    EXPECT_EQ(blinker->speed.GetValue(), 3.0f);
    EXPECT_EQ(blinker->on.GetValue(), 1);

    auto* colours = static_cast<CVColorInterpolator*>(root.root->children[4]);
    ASSERT_TRUE(colours->IsKindOf<CVColorInterpolator>());
    EXPECT_EQ(colours->keyValue.GetNum(), 2);
    EXPECT_EQ(colours->keyValue[1].blue, 1.0f);
    auto* coords = static_cast<CVCoordinateInterpolator*>(root.root->children[5]);
    ASSERT_TRUE(coords->IsKindOf<CVCoordinateInterpolator>());
    EXPECT_EQ(coords->key.GetNum(), 3);
    EXPECT_EQ(coords->keyValue[2].x, 2.0f);
}

TEST(AnimationDocuments, TheWriterUsesTheirElementsAndAttributes)
{
    Held root(Read(kDocument));
    std::string xml = Write(root.root);
    for (const char* piece : {"<Animation ", "type=\"Pendulum\"", "speed=\"0.75\"", "angle2=\"-0.25\"",
                              "translation1=\"1 2 3\"", "on=\"TRUE\"", "<KeyFrameAnimation ", "whichKeyFrame=\"1\"",
                              "<KeyFrames>", "<KeyFrame ", "loop=\"TRUE\"", "<Blinker ", "speed=\"3\"",
                              "<ColorInterpolator ", "<CoordinateInterpolator "})
        EXPECT_NE(xml.find(piece), std::string::npos) << piece << "\n" << xml;
    // Settings at their defaults are left out.
    Held plain(new CVGroup);
    plain.root->children.Add(new CVAnimation);
    plain.root->children.Add(new CVKeyFrameAnimation);
    plain.root->children.Add(new CVBlinker);
    std::string bare = Write(plain.root);
    EXPECT_NE(bare.find("<Animation/>"), std::string::npos) << bare;
    EXPECT_NE(bare.find("<KeyFrameAnimation/>"), std::string::npos) << bare;
    EXPECT_NE(bare.find("<Blinker/>"), std::string::npos) << bare;
}

TEST(AnimationDocuments, ARoundTripGivesBackEveryValue)
{
    Held root(Read(kDocument));
    Held back(Read(Write(root.root)));
    ExpectSameScene(root.root, back.root, "");
}

TEST(AnimationDocuments, TheSampleDocumentReadsBackTheSame)
{
    std::vector<std::wstring> messages;
    CVParser parser;
    Held root(parser.Parse(LUMO_PROJECT_DIR L"/examples/data/animation.x3d", &messages));
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : Narrow(messages[0]));
    EXPECT_GE(root.root->children.GetNum(), 7);
    Held back(Read(Write(root.root)));
    ExpectSameScene(root.root, back.root, "");
}

TEST(AnimationDocuments, TheCurrentPoseIsWrittenAndSharedKeyFramesStayShared)
{
    Held root(new CVGroup);
    auto* spin = new CVAnimation;
    spin->on.SetValue(1);
    spin->speed.SetValue(0.5f);
    spin->rotation.SetValue(0, 0, 1, 2.5f); // where the rotor has turned to
    spin->translation.SetValue(0.125f, 0, 0);
    root.root->children.Add(spin);
    auto* frame = new CVKeyFrame;
    frame->key.Add(0.0f);
    frame->key.Add(1.0f);
    for (int i = 0; i < 2; ++i) {
        auto* k = new CVKeyFrameAnimation;
        k->keyFrames.Add(frame);
        root.root->children.Add(k);
    }
    Held back(Read(Write(root.root)));
    ASSERT_EQ(back.root->children.GetNum(), 3);
    auto* spin2 = static_cast<CVAnimation*>(back.root->children[0]);
    EXPECT_EQ(spin2->rotation.GetValue().angle, 2.5f);
    EXPECT_EQ(spin2->translation.GetValue().x, 0.125f);
    auto* k1 = static_cast<CVKeyFrameAnimation*>(back.root->children[1]);
    auto* k2 = static_cast<CVKeyFrameAnimation*>(back.root->children[2]);
    ASSERT_EQ(k1->keyFrames.GetNum(), 1);
    ASSERT_EQ(k2->keyFrames.GetNum(), 1);
    EXPECT_EQ(k1->keyFrames[0], k2->keyFrames[0]);
}

TEST(AnimationDocuments, MarkersAndSelectionBoxesAreNoDocumentElements)
{
    Held root(new CVGroup);
    for (CVGeometry* g : std::initializer_list<CVGeometry*>{new CVHeart, new CVDiamond, new CVLineBox, new CVXShape}) {
        auto* shape = new CVShape;
        shape->geometry.SetValue(g);
        root.root->children.Add(shape);
    }
    std::string xml = Write(root.root);
    EXPECT_EQ(xml.find("<Box"), std::string::npos) << xml; // a diamond or line box is not a plain box
    EXPECT_EQ(xml.find("<Heart"), std::string::npos) << xml;
    std::vector<std::wstring> messages;
    Held read(Read("<X3D><Scene><Shape><Heart size='1 1 1'/></Shape></Scene></X3D>", &messages));
    ASSERT_EQ(read.root->children.GetNum(), 1);
    EXPECT_EQ(static_cast<CVShape*>(read.root->children[0])->geometry.GetValue(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"Heart"), std::wstring::npos);
}

} // namespace

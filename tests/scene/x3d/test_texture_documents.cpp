// Image textures and texture transforms in documents: where the reader puts
// them, what the writer writes, and that a round trip gives them back.
#include "scene/core/NodeType.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/TextureTransform.h"
#include "scene/nodes/Transform.h"
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

CVGroup* Read(const std::string& xml) { return CVParser().ParseXMLBits(xml.data(), unsigned(xml.size())); }

std::string Doc(const std::string& scene) { return "<X3D><Scene>" + scene + "</Scene></X3D>"; }

CVAppearance* AppearanceOf(CVNode* node)
{
    auto* shape = dynamic_cast<CVShape*>(node);
    return shape ? shape->appearance.GetValue() : nullptr;
}

void ExpectSameTexture(CVAppearance* a, CVAppearance* b)
{
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    auto* ta = dynamic_cast<CVImageTexture*>(a->texture.GetValue());
    auto* tb = dynamic_cast<CVImageTexture*>(b->texture.GetValue());
    ASSERT_EQ(ta == nullptr, tb == nullptr);
    if (ta) {
        ASSERT_EQ(ta->url.GetNum(), tb->url.GetNum());
        for (int i = 0; i < ta->url.GetNum(); ++i)
            EXPECT_EQ(ta->url[i], tb->url[i]);
        EXPECT_EQ(ta->repeatS.GetValue(), tb->repeatS.GetValue());
        EXPECT_EQ(ta->repeatT.GetValue(), tb->repeatT.GetValue());
    }
    CVTextureTransform* xa = a->textureTransform.GetValue();
    CVTextureTransform* xb = b->textureTransform.GetValue();
    ASSERT_EQ(xa == nullptr, xb == nullptr);
    if (xa) {
        EXPECT_EQ(xa->center.GetValue().x, xb->center.GetValue().x);
        EXPECT_EQ(xa->center.GetValue().y, xb->center.GetValue().y);
        EXPECT_EQ(xa->rotation.GetValue(), xb->rotation.GetValue());
        EXPECT_EQ(xa->scale.GetValue().x, xb->scale.GetValue().x);
        EXPECT_EQ(xa->scale.GetValue().y, xb->scale.GetValue().y);
        EXPECT_EQ(xa->translation.GetValue().x, xb->translation.GetValue().x);
        EXPECT_EQ(xa->translation.GetValue().y, xb->translation.GetValue().y);
    }
}

// Every shape's appearance under a node, in document order.
void Appearances(CVNode* node, std::vector<CVAppearance*>& out)
{
    if (auto* shape = dynamic_cast<CVShape*>(node)) {
        out.push_back(shape->appearance.GetValue());
        return;
    }
    if (auto* group = dynamic_cast<CVGroup*>(node))
        for (int i = 0; i < group->children.GetNum(); ++i)
            Appearances(group->children[i], out);
}

TEST(TextureDocuments, TheReaderPlacesEveryElementAndAttribute)
{
    // The transform first: placement goes by class and name, not by order.
    Held root(Read(Doc(R"(<Shape><Appearance>
        <TextureTransform center="0.5 0.25" rotation="0.75" scale="2 3" translation="0.125 -1"/>
        <ImageTexture url='"a.png" "dir/b c.jpg"' repeatS="FALSE" repeatT="false"/>
        </Appearance><Box/></Shape>)")));
    CVAppearance* a = AppearanceOf(root.root->children[0]);
    ASSERT_NE(a, nullptr);
    auto* t = dynamic_cast<CVImageTexture*>(a->texture.GetValue());
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->url.GetNum(), 2);
    EXPECT_EQ(t->url[0], L"a.png");
    EXPECT_EQ(t->url[1], L"dir/b c.jpg");
    EXPECT_EQ(t->repeatS.GetValue(), 0);
    EXPECT_EQ(t->repeatT.GetValue(), 0);
    CVTextureTransform* x = a->textureTransform.GetValue();
    ASSERT_NE(x, nullptr);
    EXPECT_FLOAT_EQ(x->center.GetValue().x, 0.5f);
    EXPECT_FLOAT_EQ(x->center.GetValue().y, 0.25f);
    EXPECT_FLOAT_EQ(x->rotation.GetValue(), 0.75f);
    EXPECT_FLOAT_EQ(x->scale.GetValue().x, 2.0f);
    EXPECT_FLOAT_EQ(x->scale.GetValue().y, 3.0f);
    EXPECT_FLOAT_EQ(x->translation.GetValue().x, 0.125f);
    EXPECT_FLOAT_EQ(x->translation.GetValue().y, -1.0f);
}

TEST(TextureDocuments, DefaultsAreNotWrittenAndSetValuesAre)
{
    Held root(new CVGroup);
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    auto* texture = new CVImageTexture;
    appearance->texture.SetValue(texture);
    appearance->textureTransform.SetValue(new CVTextureTransform);
    shape->appearance.SetValue(appearance);
    root.root->children.Add(shape);
    std::string xml = CVWriteXMLAction().WriteString(root.root);
    EXPECT_NE(xml.find("<ImageTexture/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<TextureTransform/>"), std::string::npos) << xml;
    texture->url.Add(L"quote\"d.png");
    texture->repeatT.SetValue(0);
    appearance->textureTransform->rotation.SetValue(0.1f);
    xml = CVWriteXMLAction().WriteString(root.root);
    EXPECT_NE(xml.find("repeatT=\"FALSE\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("repeatS"), std::string::npos) << xml;
    EXPECT_NE(xml.find("rotation=\"0.1\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("scale="), std::string::npos) << xml;
    // The texture comes after the material, the transform after the texture.
    EXPECT_LT(xml.find("<ImageTexture"), xml.find("<TextureTransform")) << xml;
    Held back(Read(xml));
    ExpectSameTexture(appearance, AppearanceOf(back.root->children[0]));
}

TEST(TextureDocuments, TheExampleDocumentReadsBackTheSame)
{
    std::string path = std::string(LUMO_PROJECT_DIR) + "/examples/data/textured.x3d";
    Held original(CVParser().ParseXMLFile(std::wstring(path.begin(), path.end())));
    std::vector<CVAppearance*> before;
    Appearances(original.root, before);
    ASSERT_EQ(before.size(), 3u);
    // What the document says.
    auto* crate = dynamic_cast<CVImageTexture*>(before[0]->texture.GetValue());
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(crate->url[0], L"crate.png");
    EXPECT_EQ(before[1]->texture.GetValue(), crate); // shared by USE
    auto* label = dynamic_cast<CVImageTexture*>(before[2]->texture.GetValue());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->repeatS.GetValue(), 0);
    ASSERT_NE(before[0]->textureTransform.GetValue(), nullptr);
    EXPECT_FLOAT_EQ(before[0]->textureTransform->scale.GetValue().x, 3.0f);

    Held back(Read(CVWriteXMLAction().WriteString(original.root)));
    std::vector<CVAppearance*> after;
    Appearances(back.root, after);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        ExpectSameTexture(before[i], after[i]);
    EXPECT_EQ(after[1]->texture.GetValue(), after[0]->texture.GetValue()); // still one node
}

} // namespace

#include "scene/core/NodeType.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Sphere.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/Viewpoint.h"
#include "scene/nodes/WorldInfo.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/WriteXMLAction.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Held {
    CVGroup* root;
    explicit Held(CVGroup* r) : root(r) { root->Ref(); }
    ~Held() { root->Unref(); }
};

CVGroup* Read(const std::string& xml) { return CVParser().ParseXMLBits(xml.data(), unsigned(xml.size())); }

std::string Write(CVNode* root, CVMFNode<CVChild>* viewpoints = nullptr, int writeRoot = 0)
{
    return CVWriteXMLAction().WriteString(root, viewpoints, writeRoot);
}

// Field values compared as their text, numbers within a small tolerance.
bool SameText(const std::wstring& a, const std::wstring& b)
{
    std::wistringstream sa(a), sb(b);
    std::wstring ta, tb;
    while (true) {
        bool ea = !(sa >> ta), eb = !(sb >> tb);
        if (ea || eb)
            return ea && eb;
        wchar_t *enda, *endb;
        double va = std::wcstod(ta.c_str(), &enda), vb = std::wcstod(tb.c_str(), &endb);
        if (*enda == 0 && *endb == 0 && enda != ta.c_str()) {
            if (std::fabs(va - vb) > 1e-4 * std::max(1.0, std::fabs(va)))
                return false;
        } else if (ta != tb) {
            return false;
        }
    }
}

// Same classes, same field values, same structure; names are not compared.
void ExpectSameScene(CVNode* a, CVNode* b, const std::string& where)
{
    ASSERT_NE(a, nullptr) << where;
    ASSERT_NE(b, nullptr) << where;
    ASSERT_STREQ(a->GetRuntimeClass()->m_lpszClassName, b->GetRuntimeClass()->m_lpszClassName) << where;
    std::string cls = a->GetRuntimeClass()->m_lpszClassName;
    const CVNodeType* type = CVNodeType::Find(std::wstring(cls.begin() + 2, cls.end()).c_str());
    ASSERT_NE(type, nullptr) << where;
    for (const CVFieldType& record : type->GetFields()) {
        std::string field = where + "/" + std::string(record.name.begin(), record.name.end());
        CVField* fa = CVNodeType::FieldOf(a, record);
        CVField* fb = CVNodeType::FieldOf(b, record);
        if (record.type == SFNODE) {
            CVNode* na = static_cast<CVSFNodeBase*>(fa)->GetNode();
            CVNode* nb = static_cast<CVSFNodeBase*>(fb)->GetNode();
            ASSERT_EQ(na == nullptr, nb == nullptr) << field;
            if (na)
                ExpectSameScene(na, nb, field);
        } else if (record.type == MFNODE) {
            auto* la = static_cast<CVMFNodeBase*>(fa);
            auto* lb = static_cast<CVMFNodeBase*>(fb);
            ASSERT_EQ(la->GetNum(), lb->GetNum()) << field;
            for (int i = 0; i < la->GetNum(); ++i)
                ExpectSameScene(la->GetNodeAt(i), lb->GetNodeAt(i), field + "[" + std::to_string(i) + "]");
        } else {
            std::wstring ta, tb;
            if (lumo::x3d::FieldText(*fa, ta) && lumo::x3d::FieldText(*fb, tb)) {
                EXPECT_TRUE(SameText(ta, tb)) << field << ": " << std::string(ta.begin(), ta.end()) << " vs "
                                              << std::string(tb.begin(), tb.end());
            }
        }
    }
}

void ExpectRoundTrip(CVGroup* original, const std::string& label)
{
    std::string written = Write(original);
    Held back(Read(written));
    ExpectSameScene(original, back.root, label);
    // Names do not survive a read; from then on writing is stable.
    std::string again = Write(back.root);
    Held third(Read(again));
    EXPECT_EQ(Write(third.root), again) << label << ": writing is not stable";
}

TEST(Writer, DefaultShapeInAGroup)
{
    Held root(new CVGroup);
    auto* shape = new CVShape;
    auto* appearance = new CVAppearance;
    appearance->material.SetValue(new CVMaterial);
    shape->appearance.SetValue(appearance);
    shape->geometry.SetValue(new CVBox);
    root.root->children.Add(shape);
    std::string xml = Write(root.root);
    EXPECT_NE(xml.find("<X3D>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Scene>"), std::string::npos);
    EXPECT_NE(xml.find("<Box size=\"2.000000 2.000000 2.000000\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Material/>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("<Group"), std::string::npos); // the root itself is not written
    EXPECT_LT(xml.find("<Box"), xml.find("<Appearance"));
    std::string withRoot = Write(root.root, nullptr, 1);
    EXPECT_NE(withRoot.find("<Group>"), std::string::npos) << withRoot;
}

TEST(Writer, TransformsWriteOnlyWhatDiffersFromTheDefaults)
{
    Held root(new CVGroup);
    auto* t = new CVTransform;
    t->translation.SetValue(1, 2.5f, 0);
    root.root->children.Add(t);
    std::string xml = Write(root.root);
    EXPECT_NE(xml.find("<Transform translation=\"1.000000 2.500000 0.000000\"/>"), std::string::npos) << xml;
}

TEST(Writer, NamesBecomeMetadataAndAreNotReadBack)
{
    Held root(new CVGroup);
    auto* g = new CVGroup;
    g->SetName(L"Sales \"2026\"");
    root.root->children.Add(g);
    std::string xml = Write(root.root);
    EXPECT_NE(xml.find("<MetadataString value=\"Sales &quot;2026&quot;\"/>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("DEF"), std::string::npos);
    Held back(Read(xml));
    ASSERT_EQ(back.root->children.GetNum(), 1);
    EXPECT_EQ(back.root->children[0]->GetName(), nullptr);
}

TEST(Writer, SwitchesWriteEveryChoice)
{
    Held root(new CVGroup);
    auto* sw = new CVSwitch;
    sw->whichChoice.SetValue(1);
    for (int i = 0; i < 3; ++i)
        sw->choice.Add(new CVGroup);
    root.root->children.Add(sw);
    std::string xml = Write(root.root);
    EXPECT_NE(xml.find("<Switch whichChoice=\"1\">"), std::string::npos) << xml;
    Held back(Read(xml));
    auto* read = static_cast<CVSwitch*>(back.root->children[0]);
    EXPECT_EQ(read->choice.GetNum(), 3);
    EXPECT_EQ(read->whichChoice.GetValue(), 1);
}

TEST(Writer, SwitchesThatShowNothingAreWrittenToo)
{
    // whichChoice -1 hides every choice from drawing, not from the document.
    // (Found by fuzzing.)
    Held root(new CVGroup);
    auto* sw = new CVSwitch;
    sw->choice.Add(new CVTransform);
    root.root->children.Add(sw);
    Held back(Read(Write(root.root)));
    ASSERT_EQ(back.root->children.GetNum(), 1);
    auto* read = static_cast<CVSwitch*>(back.root->children[0]);
    EXPECT_EQ(read->whichChoice.GetValue(), -1);
    EXPECT_EQ(read->choice.GetNum(), 1);
}

TEST(Writer, PrimitivesAndInformationNodesAreKept)
{
    Held root(Read("<X3D><Scene><WorldInfo title='T' info='\"a\\\"b\" \"c\\\\d\"'/>"
                   "<Shape><Sphere radius='3'/></Shape><Shape><Cone height='4' side='false'/></Shape>"
                   "<Shape><Cylinder/></Shape><DirectionalLight direction='0 -1 0'/>"
                   "<Viewpoint position='1 2 3' description='front'/></Scene></X3D>"));
    std::string xml = Write(root.root);
    EXPECT_NE(xml.find("<Sphere radius=\"3\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Cylinder/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("side=\"FALSE\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("info=\"&quot;a\\&quot;b&quot; &quot;c\\\\d&quot; \""), std::string::npos) << xml;
    ExpectRoundTrip(root.root, "information");
    auto* info = static_cast<CVWorldInfo*>(root.root->children[0]);
    EXPECT_EQ(info->info[0], L"a\"b");
    EXPECT_EQ(lumo::x3d::ListText(info->info), L"\"a\\\"b\" \"c\\\\d\" ");
}

TEST(Writer, ViewpointListComesFirst)
{
    Held root(new CVGroup);
    root.root->children.Add(new CVGroup);
    CVMFNode<CVChild> viewpoints;
    auto* v = new CVViewpoint;
    v->position.SetValue(0, 1, 5);
    v->orientation.SetValue(0, 1, 0, 0.5f);
    viewpoints.Add(v);
    std::string xml = Write(root.root, &viewpoints);
    size_t vp = xml.find("<Viewpoint");
    ASSERT_NE(vp, std::string::npos) << xml;
    EXPECT_LT(vp, xml.find("<Group"));
    EXPECT_NE(xml.find("position=\"0 1 5\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("orientation=\"0.000000 1.000000 0.000000 0.500000\""), std::string::npos) << xml;
}

TEST(Writer, NullTargetsAndTheGenericEntryWriteNothing)
{
    CVWriteXMLAction writer;
    CVGroup group;
    EXPECT_EQ(writer.Apply(&group, nullptr, nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(writer.Apply(&group), 0);
    EXPECT_TRUE(writer.IsKindOf<CVBase>());
    EXPECT_STREQ(writer.GetRuntimeClass()->m_pBaseClass->m_lpszClassName, "CVBase");
}

TEST(WriterRoundTrip, SampleDocumentsReadBackTheSame)
{
    std::vector<std::string> paths = {std::string(LUMO_PROJECT_DIR) + "/examples/data/chart.x3d",
                                      std::string(LUMO_PROJECT_DIR) + "/examples/data/textured.x3d"};
    for (const char* name : {"Figure15_12Torus.x3d", "GeometryPrimitiveNodes.x3d"})
        if (std::ifstream(std::string(LUMO_SAMPLES_DIR) + "/" + name))
            paths.push_back(std::string(LUMO_SAMPLES_DIR) + "/" + name);
    for (const std::string& path : paths) {
        Held root(CVParser().ParseXMLFile(std::wstring(path.begin(), path.end())));
        ASSERT_GT(root.root->children.GetNum(), 0) << path;
        ExpectRoundTrip(root.root, path);
    }
}

class WriterFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        mDir = fs::temp_directory_path() / ("lumo_writer_" + std::to_string(getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override
    {
        fs::permissions(mDir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(mDir);
    }
    std::wstring W(const std::string& name) const
    {
        std::string p = (mDir / name).string();
        return std::wstring(p.begin(), p.end());
    }
    std::string Contents(const std::string& name) const
    {
        std::ifstream in(mDir / name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path mDir;
};

TEST_F(WriterFiles, WritesFilesAndFailsWithoutTouchingWhatIsThere)
{
    Held root(Read("<X3D><Scene><Group/></Scene></X3D>"));
    CVWriteXMLAction writer;
    ASSERT_TRUE(writer.WriteFile(root.root, W("out.x3d")));
    Held back(CVParser().ParseXMLFile(W("out.x3d")));
    EXPECT_EQ(back.root->children.GetNum(), 1);

    EXPECT_FALSE(writer.WriteFile(root.root, W("missing/out.x3d")));
    fs::create_directories(mDir / "taken.x3d");
    EXPECT_FALSE(writer.WriteFile(root.root, W("taken.x3d")));
    std::ofstream(mDir / "file") << "x";
    EXPECT_FALSE(writer.WriteFile(root.root, W("file/out.x3d")));
    std::ofstream(mDir / "keep.x3d") << "precious";
    if (geteuid() != 0) {
        fs::permissions(mDir, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_FALSE(writer.WriteFile(root.root, W("keep.x3d")));
        fs::permissions(mDir, fs::perms::owner_write, fs::perm_options::add);
    }
    EXPECT_EQ(Contents("keep.x3d"), "precious");
    for (auto& entry : fs::directory_iterator(mDir))
        EXPECT_EQ(entry.path().filename().string().rfind(".~", 0), std::string::npos) << "temporary file left";

    writer.SetText(L"<X3D/>");
    std::string dir = mDir.string();
    EXPECT_TRUE(writer.SaveXMLToFile(std::wstring(dir.begin(), dir.end()), L"text.x3d"));
    EXPECT_EQ(Contents("text.x3d"), "<X3D/>");
    EXPECT_FALSE(writer.SaveXMLToFile(std::wstring(dir.begin(), dir.end()) + L"/none", L"text.x3d"));
}

} // namespace

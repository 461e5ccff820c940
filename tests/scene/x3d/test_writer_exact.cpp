// What the reader reads, the writer writes back unchanged: exact numbers,
// whole lists, any string, shared nodes; and text XML cannot carry never
// makes the writer fail.
#include "scene/core/Graph.h"
#include "scene/core/NodeType.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/WorldInfo.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/SceneGraphCreator.h"
#include "scene/x3d/WriteXMLAction.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Held {
    CVGroup* root;
    explicit Held(CVGroup* r) : root(r) { root->Ref(); }
    ~Held() { root->Unref(); }
};

CVGroup* Read(const std::string& xml) { return CVParser().ParseXMLBits(xml.data(), unsigned(xml.size())); }

// Writes the scene and reads it back.
CVGroup* RoundTrip(CVGroup* root) { return Read(CVWriteXMLAction().WriteString(root)); }

TEST(WriterExact, NumbersThatSixDecimalsWouldChangeAreWrittenExactly)
{
    Held root(new CVGroup);
    auto* t = new CVTransform;
    t->translation.SetValue(0.000282222f, 1234567.5f, -3.25f);
    t->scale.SetValue(1e-7f, 1e-30f, 3.4e38f);
    auto* info = new CVWorldInfo;
    auto* shape = new CVShape;
    auto* material = new CVMaterial;
    material->transparency.SetValue(0.123456789f);
    shape->appearance.SetValue(new CVAppearance);
    shape->appearance->material.SetValue(material);
    root.root->children.Add(t);
    root.root->children.Add(info);
    root.root->children.Add(shape);
    std::string xml = CVWriteXMLAction().WriteString(root.root);
    // A value six decimals hold keeps the usual form.
    EXPECT_NE(xml.find("-3.250000"), std::string::npos) << xml;
    Held back(Read(xml));
    auto* t2 = static_cast<CVTransform*>(back.root->children[0]);
    EXPECT_EQ(t2->translation.GetValue().x, 0.000282222f);
    EXPECT_EQ(t2->translation.GetValue().y, 1234567.5f);
    EXPECT_EQ(t2->scale.GetValue().x, 1e-7f); // not 0, which would collapse the shape
    EXPECT_EQ(t2->scale.GetValue().y, 1e-30f);
    EXPECT_EQ(t2->scale.GetValue().z, 3.4e38f);
    auto* shape2 = static_cast<CVShape*>(back.root->children[2]);
    EXPECT_EQ(shape2->appearance->material->transparency.GetValue(), 0.123456789f);
}

TEST(WriterExact, DefaultLookingValuesKeepWhatMakesThemDiffer)
{
    // A rotation of angle 0 about another axis is not the default rotation:
    // its axis is written too. (Found by fuzzing.)
    Held root(new CVGroup);
    auto* t = new CVTransform;
    t->rotation.SetValue(0, 1, 0, 0);
    t->scaleOrientation.SetValue(1, 0, 0, 0);
    root.root->children.Add(t);
    Held back(RoundTrip(root.root));
    auto* read = static_cast<CVTransform*>(back.root->children[0]);
    EXPECT_EQ(read->rotation.GetValue(), CVRotation(0, 1, 0, 0));
    EXPECT_EQ(read->scaleOrientation.GetValue(), CVRotation(1, 0, 0, 0));
}

TEST(WriterExact, NegativeZeroesOfATransformReadBack)
{
    // -0 equals 0 but is not the value read: a transform that was given
    // one writes it. (Found by fuzzing.)
    Held root(new CVGroup);
    auto* t = new CVTransform;
    t->translation.SetValue(0.0f, -0.0f, 0.0f);
    t->rotation.SetValue(0, 0, 1, -0.0f);
    root.root->children.Add(t);
    Held back(RoundTrip(root.root));
    auto* read = static_cast<CVTransform*>(back.root->children[0]);
    EXPECT_TRUE(std::signbit(read->translation.GetValue().y));
    EXPECT_FALSE(std::signbit(read->translation.GetValue().x));
    EXPECT_TRUE(std::signbit(read->rotation.GetValue().angle));
}

TEST(WriterExact, AnEmptyStringListReadsBackEmpty)
{
    // The writer writes an empty list as an empty attribute, which reads
    // as no strings, not as one empty string. (Found by fuzzing.)
    CVMFString list;
    CVSceneGraphCreator::AddStringList(&list, L"");
    EXPECT_EQ(list.GetNum(), 0);
    CVSceneGraphCreator::AddStringList(&list, L"\"\"");
    ASSERT_EQ(list.GetNum(), 1);
    EXPECT_EQ(list[0], L"");
    std::wstring text;
    CVMFString empty;
    ASSERT_TRUE(lumo::x3d::FieldText(empty, text));
    CVSceneGraphCreator::AddStringList(&list, text);
    EXPECT_EQ(list.GetNum(), 1);
}

TEST(WriterExact, FloatTextIsShortestWhenTheUsualFormLoses)
{
    EXPECT_EQ(lumo::x3d::FloatText(0.5f), L"0.5");
    EXPECT_EQ(lumo::x3d::FloatText(1234567.5f), L"1234567.5"); // "%g" would give 1.23457e+06
    float third = 1.0f / 3.0f;
    EXPECT_EQ(std::wcstof(lumo::x3d::FloatText(third).c_str(), nullptr), third);
    EXPECT_EQ(lumo::x3d::FixedText(&third, 1), L"0.33333334");
}

TEST(WriterExact, EveryListFieldReadsBackAsWritten)
{
    // Each registered list field of a top-level node, set to values unlike
    // its default, reads back exactly: a default list must not stay in
    // front (NavigationInfo's avatarSize used to grow on every round trip).
    int checked = 0;
    for (const auto& entry : CVNodeType::TopNameSpace()) {
        CVNode* node = entry.second->NewInstance();
        if (!node)
            continue;
        node->Ref();
        if (!node->IsKindOf<CVChild>()) {
            node->Unref();
            continue;
        }
        Held root(new CVGroup);
        root.root->children.Add(static_cast<CVChild*>(node));
        std::vector<std::pair<const CVFieldType*, std::wstring>> set;
        for (const CVFieldType& record : entry.second->GetFields()) {
            CVField* field = CVNodeType::FieldOf(node, record);
            const wchar_t* value = nullptr;
            switch (record.type) {
            case MFFLOAT: value = L"7.5 -2 0.001"; break;
            case MFINT32: value = L"3 -1 9"; break;
            case MFVEC2F: value = L"1 2 3 4"; break;
            case MFVEC3F:
            case MFCOLOR: value = L"0.25 0.5 0.75"; break;
            case MFROTATION: value = L"0 1 0 1.5"; break;
            case MFSTRING: value = L"\"a\" \"b\\\\\" \"c\""; break;
            default: continue;
            }
            static_cast<CVMField*>(field)->SetSize(0);
            if (record.type == MFSTRING)
                CVSceneGraphCreator::AddStringList(field, value);
            else
                CVSceneGraphCreator::AddListValues(field, record.type, value);
            std::wstring text;
            ASSERT_TRUE(lumo::x3d::FieldText(*field, text));
            set.emplace_back(&record, text);
        }
        if (set.empty()) {
            node->Unref();
            continue;
        }
        Held back(RoundTrip(root.root));
        ASSERT_EQ(back.root->children.GetNum(), 1) << std::string(entry.first.begin(), entry.first.end());
        CVNode* read = back.root->children[0];
        for (const auto& [record, text] : set) {
            std::wstring again;
            lumo::x3d::FieldText(*CVNodeType::FieldOf(read, *record), again);
            EXPECT_EQ(again, text) << std::string(entry.first.begin(), entry.first.end()) << "."
                                   << std::string(record->name.begin(), record->name.end());
            ++checked;
        }
        node->Unref();
    }
    EXPECT_GE(checked, 4); // at least NavigationInfo's lists and WorldInfo's info
}

TEST(WriterExact, AnyStringSurvivesARoundTrip)
{
    Held root(new CVGroup);
    auto* info = new CVWorldInfo;
    const std::wstring items[] = {L"ends in \\", L"next", L"\"quoted\"", L"back\\\"slash", L"", L"a'b",
                                  L"tab\tand\nnew line", L"<&>"};
    for (const std::wstring& item : items)
        info->info.Add(item);
    info->title.SetValue(L"C:\\dir\\new \"x\" \\");
    root.root->children.Add(info);
    Held back(RoundTrip(root.root));
    auto* read = static_cast<CVWorldInfo*>(back.root->children[0]);
    ASSERT_EQ(read->info.GetNum(), int(std::size(items)));
    for (int i = 0; i < read->info.GetNum(); ++i)
        EXPECT_EQ(read->info[i], items[i]) << i;
    EXPECT_EQ(read->title.GetValue(), info->title.GetValue());
}

TEST(WriterExact, CharactersXmlCannotCarryBecomeReplacementCharacters)
{
    Held root(new CVGroup);
    auto* info = new CVWorldInfo;
    std::wstring bad = L"a";
    bad += wchar_t(0x01);
    bad += wchar_t(0xD800); // a lone surrogate
    bad += wchar_t(0xFFFE);
    bad += wchar_t(0xFFFF);
    bad += wchar_t(0x110000);
    bad += L"\u00e9\U0001F600z";
    info->title.SetValue(bad);
    info->info.Add(bad);
    info->SetName(std::wstring(L"name") + wchar_t(0x02));
    root.root->children.Add(info);
    CVWriteXMLAction writer;
    std::string xml = writer.WriteString(root.root);
    ASSERT_FALSE(xml.empty());
    Held back(Read(xml));
    auto* read = static_cast<CVWorldInfo*>(back.root->children[0]);
    const std::wstring expected = L"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\u00e9\U0001F600z";
    EXPECT_EQ(read->title.GetValue(), expected);
    EXPECT_EQ(read->info[0], expected);

    std::string path = "/tmp/lumo_badchars_" + std::to_string(getpid()) + ".x3d";
    EXPECT_TRUE(writer.WriteFile(root.root, std::wstring(path.begin(), path.end())));
    std::remove(path.c_str());
}

TEST(WriterSharing, SharedNodesAreWrittenOnceWithDefAndUse)
{
    Held root(new CVGroup);
    auto* shared = new CVTransform;
    shared->translation.SetValue(1, 0, 0);
    shared->children.Add(new CVGroup);
    auto* appearance = new CVAppearance;
    appearance->material.SetValue(new CVMaterial);
    for (int i = 0; i < 3; ++i) {
        auto* g = new CVGroup;
        g->children.Add(shared);
        auto* shape = new CVShape;
        shape->appearance.SetValue(appearance);
        shape->geometry.SetValue(new CVBox);
        g->children.Add(shape);
        root.root->children.Add(g);
    }
    std::string xml = CVWriteXMLAction().WriteString(root.root);
    EXPECT_EQ(xml.find("<Transform DEF="), xml.rfind("<Transform DEF=")) << xml; // one definition
    Held back(Read(xml));
    auto child = [&](int group, int i) { return static_cast<CVGroup*>(back.root->children[group])->children[i]; };
    CVNode* t0 = child(0, 0);
    EXPECT_EQ(child(1, 0), t0);
    EXPECT_EQ(child(2, 0), t0);
    EXPECT_EQ(static_cast<CVTransform*>(t0)->children.GetNum(), 1); // its children written once, kept
    CVAppearance* a0 = static_cast<CVShape*>(child(0, 1))->appearance.GetValue();
    EXPECT_EQ(static_cast<CVShape*>(child(2, 1))->appearance.GetValue(), a0);
    EXPECT_NE(a0->material.GetValue(), nullptr);
    // An edit to the one node shows everywhere.
    static_cast<CVTransform*>(t0)->translation.SetValue(5, 0, 0);
    EXPECT_FLOAT_EQ(static_cast<CVTransform*>(child(2, 0))->translation.GetValue().x, 5.0f);
}

TEST(WriterSharing, NamesOfSharedNodesBecomeTheirDefAndStayUnique)
{
    Held root(new CVGroup);
    auto* a = new CVGroup;
    auto* b = new CVGroup;
    a->SetName(L"Same");
    b->SetName(L"Same"); // another node of the same name
    for (CVGroup* g : {a, b, a, b})
        root.root->children.Add(g);
    std::string xml = CVWriteXMLAction().WriteString(root.root);
    EXPECT_NE(xml.find("DEF=\"Same\""), std::string::npos) << xml;
    Held back(Read(xml));
    EXPECT_EQ(back.root->children[2], back.root->children[0]);
    EXPECT_EQ(back.root->children[3], back.root->children[1]);
    EXPECT_NE(back.root->children[0], back.root->children[1]);
}

TEST(WriterSharing, ExponentialSharingWritesLinearOutput)
{
    // Sixteen levels, each holding the level below twice: 2^17 instances,
    // 17 distinct nodes (and within what the reader takes back).
    CVGroup* level = new CVGroup;
    for (int i = 0; i < 16; ++i) {
        auto* up = new CVGroup;
        up->children.Add(level);
        up->children.Add(level);
        level = up;
    }
    Held root(new CVGroup);
    root.root->children.Add(level);
    std::string xml = CVWriteXMLAction().WriteString(root.root);
    EXPECT_LT(xml.size(), 4000u);
    Held back(Read(xml));
    lumo::graph::Extent e = lumo::graph::Measure(back.root);
    EXPECT_EQ(e.nodes, 18u);
    EXPECT_EQ(e.instances, (std::uint64_t(1) << 17));
}

TEST(WriterSize, DeepScenesAreWrittenWithoutIndentation)
{
    auto chain = [](int depth) {
        auto* root = new CVGroup;
        CVGroup* g = root;
        for (int i = 1; i < depth; ++i) {
            auto* next = new CVGroup;
            g->children.Add(next);
            g = next;
        }
        return root;
    };
    const int limit = int(CVWriteXMLAction::kMaxIndentedDepth);
    Held shallow(chain(limit)); // with the root: the limit
    EXPECT_NE(CVWriteXMLAction().WriteString(shallow.root).find("\n  <"), std::string::npos);
    Held deep(chain(limit + 1));
    std::string xml = CVWriteXMLAction().WriteString(deep.root);
    EXPECT_EQ(xml.find("\n  <"), std::string::npos);
    // Linear in the depth: about 8 bytes a level, not hundreds.
    Held deeper(chain(5000));
    EXPECT_LT(CVWriteXMLAction().WriteString(deeper.root).size(), 5000u * 20u);
}

TEST(WriterLinks, APlantedLinkAtTheTargetIsReplacedNotWrittenThrough)
{
    fs::path dir = fs::temp_directory_path() / ("lumo_link_" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path victim = dir / "victim.txt";
    std::ofstream(victim) << "keep";
    fs::path target = dir / "out.x3d";
    fs::create_symlink(victim, target);
    Held root(new CVGroup);
    root.root->children.Add(new CVGroup);
    ASSERT_TRUE(CVWriteXMLAction().WriteFile(root.root, target.wstring()));
    std::ifstream in(victim);
    std::string kept((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(kept, "keep");
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_TRUE(fs::is_regular_file(target));
    size_t entries = 0;
    for (auto& e : fs::directory_iterator(dir)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2u); // no temporary file left behind
    fs::remove_all(dir);
}

} // namespace

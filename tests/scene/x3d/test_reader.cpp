#include "scene/core/NodeType.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/NavigationInfo.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Sphere.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/WorldInfo.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/SceneGraphCreator.h"

#include <gtest/gtest.h>
#include <xercesc/sax/SAXParseException.hpp>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Parses text from memory and holds the root for the test.
struct Scene {
    CVGroup* root = nullptr;
    explicit Scene(const std::string& xml)
    {
        root = CVParser().ParseXMLBits(xml.data(), unsigned(xml.size()));
        root->Ref();
    }
    ~Scene() { root->Unref(); }
    CVChild* Top(int i) const { return root->children[i]; }
};

std::string Doc(const std::string& body) { return "<X3D profile='Interchange'><Scene>" + body + "</Scene></X3D>"; }

TEST(Reader, UnknownElementsAreTransparentAndCaseMatters)
{
    Scene s(Doc("<Group><Metadata><Transform translation='1 2 3'/></Metadata><transform/><box/></Group>"));
    ASSERT_EQ(s.root->children.GetNum(), 1);
    auto* group = static_cast<CVGroup*>(s.Top(0));
    ASSERT_EQ(group->children.GetNum(), 1); // the Transform inside Metadata
    auto* t = static_cast<CVTransform*>(group->children[0]);
    ASSERT_TRUE(t->IsKindOf<CVTransform>());
    EXPECT_FLOAT_EQ(t->translation.GetValue().z, 3.0f);
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), 0); // the parse's space is gone
}

TEST(Reader, ShapesLinkAppearanceMaterialAndGeometry)
{
    Scene s(Doc("<Shape><Appearance><Material diffuseColor='1 0 0' diffusecolor='0 1 0'/></Appearance>"
                "<Box size='2 2 2'/></Shape>"
                "<Appearance><Material DEF='Orphan'/></Appearance>"
                "<Shape><Sphere radius='3'/><Box/></Shape>"));
    ASSERT_EQ(s.root->children.GetNum(), 2); // the top-level Appearance is rejected
    auto* shape = static_cast<CVShape*>(s.Top(0));
    ASSERT_TRUE(shape->IsKindOf<CVShape>());
    ASSERT_NE(shape->appearance.GetValue(), nullptr);
    CVMaterial* m = shape->appearance->material.GetValue();
    ASSERT_NE(m, nullptr);
    EXPECT_FLOAT_EQ(m->diffuseColor.GetValue().red, 1.0f);
    EXPECT_FLOAT_EQ(m->diffuseColor.GetValue().green, 0.0f);
    ASSERT_NE(shape->geometry.GetValue(), nullptr);
    EXPECT_EQ(static_cast<CVBox*>(shape->geometry.GetValue())->size.GetValue().x, 2.0f);
    // Any geometry element goes to geometry; the later one replaces the earlier.
    auto* second = static_cast<CVShape*>(s.Top(1));
    EXPECT_TRUE(second->geometry->IsKindOf<CVBox>());
    EXPECT_EQ(CVNode::NameToNode(L"Orphan"), nullptr); // its Appearance was never built
}

TEST(Reader, FieldsAreSetFromAttributesWithExactNames)
{
    Scene s(Doc("<Transform rotation='0 0 1 1.5' Scale='5 5 5' scale='2 3 4' bboxsize='9 9 9' "
                "set_translation='7 7 7' translation='1, 2, 3'/>"));
    auto* t = static_cast<CVTransform*>(s.Top(0));
    EXPECT_EQ(t->rotation.GetValue(), CVRotation(0, 0, 1, 1.5f));
    EXPECT_FLOAT_EQ(t->scale.GetValue().y, 3.0f);
    EXPECT_FLOAT_EQ(t->bboxSize.GetValue().x, -1.0f); // wrong case: ignored
    EXPECT_FLOAT_EQ(t->translation.GetValue().x, 1.0f); // a comma ends the scan
    EXPECT_FLOAT_EQ(t->translation.GetValue().y, 0.0f);
}

TEST(Reader, ListAttributesSetTheWholeListAndStringsUnescape)
{
    Scene s(Doc("<NavigationInfo avatarSize='1 2\n3' speed='x 5'/>"
                "<WorldInfo title='say \\\"hi\\\" \\\\ ok' info='\"one\" \"two \\\"2\\\"\",\"three\"'/>"
                "<WorldInfo info='plain text, no quotes'/><WorldInfo info='\"open only'/>"));
    auto* nav = static_cast<CVNavigationInfo*>(s.Top(0));
    ASSERT_EQ(nav->avatarSize.GetNum(), 3); // the defaults do not stay in front
    EXPECT_FLOAT_EQ(nav->avatarSize[0], 1.0f);
    EXPECT_FLOAT_EQ(nav->avatarSize[2], 3.0f);
    ASSERT_EQ(nav->speed.GetNum(), 1); // "x" adds nothing
    EXPECT_FLOAT_EQ(nav->speed[0], 5.0f);
    auto* info = static_cast<CVWorldInfo*>(s.Top(1));
    EXPECT_EQ(info->title.GetValue(), L"say \"hi\" \\ ok");
    ASSERT_EQ(info->info.GetNum(), 3);
    EXPECT_EQ(info->info[1], L"two \"2\"");
    EXPECT_EQ(info->info[2], L"three");
    auto* plain = static_cast<CVWorldInfo*>(s.Top(2));
    ASSERT_EQ(plain->info.GetNum(), 1);
    EXPECT_EQ(plain->info[0], L"plain text, no quotes");
    EXPECT_EQ(static_cast<CVWorldInfo*>(s.Top(3))->info.GetNum(), 0);
}

TEST(Reader, VectorListsGroupTokensAndDropIncompleteGroups)
{
    CVMFVec3f v;
    CVSceneGraphCreator::AddListValues(&v, MFVEC3F, L"1 2 3,4 5\n6 7");
    ASSERT_EQ(v.GetNum(), 2);
    EXPECT_FLOAT_EQ(v[1].z, 6.0f);
    CVMFColor c;
    CVSceneGraphCreator::AddListValues(&c, MFCOLOR, L"1 0 zero");
    ASSERT_EQ(c.GetNum(), 1);
    EXPECT_FLOAT_EQ(c[0].blue, 0.0f);
    EXPECT_FLOAT_EQ(c[0].alpha, 1.0f);
}

TEST(Reader, DefAndUseShareOneNode)
{
    Scene s(Doc("<Transform DEF='Shared' translation='1 0 0'/>"
                "<Group><Transform USE='Shared' translation='9 9 9'><Group/></Transform></Group>"));
    auto* t = static_cast<CVTransform*>(s.Top(0));
    auto* g = static_cast<CVGroup*>(s.Top(1));
    ASSERT_EQ(g->children.GetNum(), 1);
    EXPECT_EQ(g->children[0], t);
    EXPECT_EQ(t->GetRef(), 2);
    EXPECT_FLOAT_EQ(t->translation.GetValue().x, 1.0f); // USE ignores other attributes
    EXPECT_EQ(t->children.GetNum(), 0);                 // and children
    EXPECT_EQ(CVNode::NameToNode(L"Shared"), t);
}

TEST(Reader, NamesCarryOverToLaterDocuments)
{
    Scene first(Doc("<Group DEF='FromFirst'/>"));
    Scene second(Doc("<Group USE='FromFirst'/><Group USE='Undefined'/>"));
    ASSERT_EQ(second.root->children.GetNum(), 1);
    EXPECT_EQ(second.Top(0), first.Top(0));
}

TEST(Reader, SwitchChoicesAndGroupChildren)
{
    Scene s(Doc("<Switch whichChoice='1'><Group/><Transform/></Switch>"));
    auto* sw = static_cast<CVSwitch*>(s.Top(0));
    ASSERT_EQ(sw->choice.GetNum(), 2);
    EXPECT_TRUE(sw->choice[1]->IsKindOf<CVTransform>());
    EXPECT_EQ(sw->whichChoice.GetValue(), 1);
}

TEST(Reader, MemoryInputInUtf8AndUtf16)
{
    const std::u16string text = u"<X3D><Scene><WorldInfo title='\u00e9t\u00e9 \u2603'/></Scene></X3D>";
    auto utf16 = [&](bool bom, bool bigEndian) {
        std::string bytes;
        if (bom)
            bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : text) {
            char lo = char(c & 0xFF), hi = char(c >> 8);
            bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        return bytes;
    };
    for (const std::string& bytes :
         {std::string("<X3D><Scene><WorldInfo title='\xC3\xA9t\xC3\xA9 \xE2\x98\x83'/></Scene></X3D>"),
          utf16(true, false), utf16(false, false), utf16(true, true)}) {
        Scene s(bytes);
        ASSERT_EQ(s.root->children.GetNum(), 1);
        EXPECT_EQ(static_cast<CVWorldInfo*>(s.Top(0))->title.GetValue(), L"\u00e9t\u00e9 \u2603");
    }
    // The control hands documents over followed by two zero bytes.
    std::string terminated = Doc("<Group/>") + std::string(2, '\0');
    Scene z(terminated);
    EXPECT_EQ(z.root->children.GetNum(), 1);
    Scene wide(utf16(false, false) + std::string(2, '\0'));
    EXPECT_EQ(wide.root->children.GetNum(), 1);
}

void ExpectParseError(const std::string& bytes)
{
    EXPECT_THROW(CVParser().ParseXMLBits(bytes.data(), unsigned(bytes.size())), xercesc::SAXParseException)
        << bytes.substr(0, 60);
}

TEST(Reader, MalformedDocumentsRaiseTheParseExceptionAndLeaveNothing)
{
    ExpectParseError("");
    ExpectParseError("<X3D><Scene><Group DEF='Leaked'></Scene></X3D>");
    ExpectParseError("<?xml version='1.0' encoding='UTF-8'?><X3D><WorldInfo title='\xff\xfe'/></X3D>");
    ExpectParseError("<?xml version='1.0' encoding='no-such-encoding'?><X3D/>");
    EXPECT_EQ(CVNode::NameToNode(L"Leaked"), nullptr);
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), 0);
    EXPECT_THROW(CVParser().ParseXMLFile(L"/nonexistent/scene.x3d"), xercesc::SAXParseException);
    EXPECT_THROW(CVParser().Parse(L"/nonexistent/scene.WRL"), xercesc::SAXParseException);
    EXPECT_EQ(CVParser().Parse(L"/nonexistent/scene.wrl"), nullptr);
    EXPECT_EQ(CVParser().Parse(L""), nullptr);
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), 0);
}

TEST(ReaderSecurity, ExternalEntitiesAreNotReadAndExpansionIsBounded)
{
    const std::string secret = "/tmp/lumo_reader_secret.txt";
    std::ofstream(secret) << "SECRET";
    std::string doc = "<?xml version='1.0'?><!DOCTYPE X3D SYSTEM 'http://192.0.2.1/x3d.dtd' "
                      "[<!ENTITY ext SYSTEM 'file://" + secret + "'>]>"
                      "<X3D><Scene><WorldInfo>text:&ext;</WorldInfo></Scene></X3D>";
    // A receiver that keeps every text the walk reports.
    struct TextCollector : CVXMLCreator {
        std::wstring text;
        int WantsText() override { return 1; }
        void AddText(const std::wstring& t) override { text += t; }
    } collector;
    CVParser().ParseXML(L"", doc.data(), unsigned(doc.size()), collector);
    std::remove(secret.c_str());
    EXPECT_NE(collector.text.find(L"text:"), std::wstring::npos);
    EXPECT_EQ(collector.text.find(L"SECRET"), std::wstring::npos);

    std::string laughs = "<?xml version='1.0'?><!DOCTYPE l [<!ENTITY a 'aaaaaaaaaa'>";
    char prev = 'a';
    for (char e = 'b'; e <= 'j'; ++e) {
        laughs += std::string("<!ENTITY ") + e + " '";
        for (int i = 0; i < 10; ++i)
            laughs += std::string("&") + prev + ";";
        laughs += "'>";
        prev = e;
    }
    laughs += "]><X3D><Scene><WorldInfo title='&j;'/></Scene></X3D>";
    ExpectParseError(laughs);
}

TEST(ReaderLimits, VeryDeepDocumentsAreRefusedCleanly)
{
    auto nested = [](int depth) {
        std::string doc;
        for (int i = 0; i < depth; ++i)
            doc += "<Group>";
        for (int i = 0; i < depth; ++i)
            doc += "</Group>";
        return doc;
    };
    Scene ok(nested(2000));
    EXPECT_EQ(ok.root->children.GetNum(), 1);
    try {
        std::string deep = nested(100000);
        CVParser().ParseXMLBits(deep.data(), unsigned(deep.size()));
        ADD_FAILURE() << "a document 100,000 levels deep was read";
    } catch (const xercesc::SAXParseException& e) {
        EXPECT_NE(std::u16string(e.getMessage()).find(u"levels deep"), std::u16string::npos);
    }
    EXPECT_EQ(CVNodeType::NameSpaceDepth(), 0);
}

TEST(ReaderSamples, PublicExampleDocumentsParseOffline)
{
    for (const char* name : {"Figure15_12Torus.x3d", "GeometryPrimitiveNodes.x3d"}) {
        std::string path = std::string(LUMO_SAMPLES_DIR) + "/" + name;
        if (!std::ifstream(path))
            GTEST_SKIP() << "samples not present at " << path;
        CVGroup* root = CVParser().Parse(std::wstring(path.begin(), path.end()));
        ASSERT_NE(root, nullptr);
        root->Ref();
        EXPECT_GT(root->children.GetNum(), 0) << name;
        root->Unref();
    }
}

TEST(RichText, BoldRunsLinesAndFonts)
{
    CVMFString strings;
    strings.Add(L"<B>a</B>b");
    std::vector<CVRichTextFragment> runs;
    CVParser::GetHTMLString(strings, &runs);
    ASSERT_EQ(strings.GetNum(), 1);
    EXPECT_EQ(strings[0], L"ab");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].bold, 1);
    EXPECT_EQ(runs[1].bold, 0);
    EXPECT_EQ(runs[1].boldSet, 1);

    CVMFString lines;
    lines.Add(L"a<BR/>b<P>c</P><FONT FACE='Arial' SIZE='12'><FONT COLOR='red'><I>d</I></FONT></FONT>");
    runs.clear();
    CVParser::GetHTMLString(lines, &runs);
    ASSERT_EQ(lines.GetNum(), 3);
    EXPECT_EQ(lines[0], L"a");
    EXPECT_EQ(lines[1], L"bc"); // a paragraph ends its line at its end
    EXPECT_EQ(lines[2], L"d");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].endOfLine, 1);
    EXPECT_EQ(runs[1].endOfLine, 0);
    EXPECT_EQ(runs[2].endOfLine, 1);
    EXPECT_EQ(runs[3].faceName, L"Arial");
    EXPECT_EQ(runs[3].size, L"12");
    EXPECT_EQ(runs[3].colorSet, 1);
    EXPECT_EQ(runs[3].color, 0x0000FFu);
    EXPECT_EQ(runs[3].italic, 1);
    EXPECT_EQ(runs[2].italicSet, 0);

    CVMFString broken;
    broken.Add(L"<B>unclosed");
    CVParser::GetHTMLString(broken, nullptr);
    EXPECT_EQ(broken[0], L"<B>unclosed");
}

TEST(Reader, FileNamesOfLocations)
{
    std::wstring name = L"old";
    int flag = 7;
    CVParser::GetFilename(L"/data/a.png", name, flag);
    EXPECT_EQ(name, L"/data/a.png");
    EXPECT_EQ(flag, 0);
    CVParser::GetFilename(L"file:///data/b.png", name, flag);
    EXPECT_EQ(name, L"file:///data/b.png");
    CVParser::GetFilename(L"http://example.invalid/c.png", name, flag);
    EXPECT_EQ(name, L"file:///data/b.png");
}

} // namespace

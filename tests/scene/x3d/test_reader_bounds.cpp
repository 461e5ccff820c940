// The reader against hostile and unusual documents: references into their own
// definitions, sharing that makes graphs deep or wide, entity bombs, empty
// DEF and USE, URL paths and wide text. Each ends in a scene or the parse
// exception, never in a crash, a leak or a cycle.
#include "scene/core/Graph.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/nodes/WorldInfo.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/SceneGraphCreator.h"
#include "scene/x3d/WriteXMLAction.h"

#include <gtest/gtest.h>
#include <xercesc/sax/SAXParseException.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string Doc(const std::string& body) { return "<X3D><Scene>" + body + "</Scene></X3D>"; }

// Parses text from memory, keeping the root and the reader's messages.
struct Read {
    CVParser parser;
    CVGroup* root = nullptr;
    explicit Read(const std::string& xml)
    {
        root = parser.ParseXMLBits(xml.data(), unsigned(xml.size()));
        root->Ref();
    }
    ~Read() { root->Unref(); }
    bool Said(const wchar_t* part) const
    {
        const auto& m = parser.GetMessages();
        return std::any_of(m.begin(), m.end(), [&](const std::wstring& s) { return s.find(part) != s.npos; });
    }
};

std::u16string RefusalOf(const std::string& xml)
{
    try {
        CVGroup* root = CVParser().ParseXMLBits(xml.data(), unsigned(xml.size()));
        root->Ref();
        root->Unref();
    } catch (const xercesc::SAXParseException& e) {
        return e.getMessage();
    }
    return u"";
}

bool Contains(const std::u16string& text, const char16_t* part) { return text.find(part) != std::u16string::npos; }

TEST(ReaderCycles, AUseInsideItsOwnDefinitionIsDroppedAndReported)
{
    Read r(Doc("<Group DEF='Loop'><Transform/><Group USE='Loop'/></Group>"
               "<Transform DEF='Deep'><Foo><Group><Transform USE='Deep'/></Group></Foo></Transform>"
               "<Group USE='Loop'/>"));
    ASSERT_EQ(r.root->children.GetNum(), 3);
    auto* loop = static_cast<CVGroup*>(r.root->children[0]);
    EXPECT_EQ(loop->children.GetNum(), 1); // only the Transform
    auto* deep = static_cast<CVTransform*>(r.root->children[1]);
    ASSERT_EQ(deep->children.GetNum(), 1); // the Group, through the unknown <Foo>
    EXPECT_EQ(static_cast<CVGroup*>(deep->children[0])->children.GetNum(), 0);
    EXPECT_EQ(r.root->children[2], loop); // a USE after the definition is fine
    EXPECT_NE(lumo::graph::Measure(r.root).depth, lumo::graph::kCyclic);
    EXPECT_TRUE(r.Said(L"USE \"Loop\" inside its own definition"));
    EXPECT_TRUE(r.Said(L"USE \"Deep\" inside its own definition"));
    // The scene writes out (no endless recursion) and frees at the end.
    EXPECT_NE(CVWriteXMLAction().WriteString(r.root).find("<Transform"), std::string::npos);
}

TEST(ReaderCycles, NodesNamedButPlacedNowhereAreFreedWithTheWalk)
{
    {
        Read r(Doc("<Shape><Material DEF='Loose'/><Box/></Shape>"
                   "<Shape><Material DEF='Placed'/><Appearance><Material USE='Placed'/></Appearance></Shape>"));
        EXPECT_EQ(CVNode::NameToNode(L"Loose"), nullptr); // freed: its name went with it
        CVNode* placed = CVNode::NameToNode(L"Placed");
        ASSERT_NE(placed, nullptr);
        auto* shape = static_cast<CVShape*>(r.root->children[1]);
        EXPECT_EQ(shape->appearance->material.GetValue(), placed);
        EXPECT_EQ(placed->GetRef(), 1);
    }
    EXPECT_EQ(CVNode::NameToNode(L"Placed"), nullptr);
}

TEST(ReaderBounds, SharingThatExpandsPastTheInstanceBoundIsRefused)
{
    // Every level uses the level below twice: 2^19 instances from a tiny document.
    std::string body = "<Group DEF='L0'><Transform/></Group>";
    for (int i = 1; i <= 18; ++i)
        body += "<Group DEF='L" + std::to_string(i) + "'><Group USE='L" + std::to_string(i - 1) + "'/><Group USE='L" +
                std::to_string(i - 1) + "'/></Group>";
    std::u16string why = RefusalOf(Doc(body));
    EXPECT_TRUE(Contains(why, u"200000 node instances")) << std::string(why.begin(), why.end());

    // The same shape of document within the bound reads.
    std::string small = "<Group DEF='S0'><Transform/></Group>";
    for (int i = 1; i <= 10; ++i)
        small += "<Group DEF='S" + std::to_string(i) + "'><Group USE='S" + std::to_string(i - 1) + "'/><Group USE='S" +
                 std::to_string(i - 1) + "'/></Group>";
    Read r(Doc(small));
    EXPECT_EQ(r.root->children.GetNum(), 11);
}

TEST(ReaderBounds, TheSharedInstanceBoundHoldsAtItsEdge)
{
    // A shared group of eight nodes used k times adds 8k instances.
    auto uses = [](int k) {
        std::string body = "<Group DEF='Eight'>";
        for (int i = 0; i < 7; ++i)
            body += "<Group/>";
        body += "</Group><Group>";
        for (int i = 0; i < k; ++i)
            body += "<Group USE='Eight'/>";
        return Doc(body + "</Group>");
    };
    const int atLimit = int(CVSceneGraphCreator::kMaxSharedInstances / 8);
    Read ok(uses(atLimit));
    EXPECT_EQ(static_cast<CVGroup*>(ok.root->children[1])->children.GetNum(), atLimit);
    EXPECT_TRUE(Contains(RefusalOf(uses(atLimit + 1)), u"shared nodes (USE) expand"));

    // Nodes the elements create themselves are not counted against it.
    std::string flat = "<Group>";
    for (int i = 0; i < 250000; ++i)
        flat += "<Group/>";
    Read big(Doc(flat + "</Group>"));
    EXPECT_EQ(static_cast<CVGroup*>(big.root->children[0])->children.GetNum(), 250000);
}

TEST(ReaderBounds, SharingThatMakesTheGraphTooDeepIsRefused)
{
    // Two chains each within the nesting bound; using one at the bottom of
    // the other makes a graph deeper than the bound.
    auto chain = [](int depth, const std::string& name, const std::string& bottom) {
        std::string s;
        for (int i = 0; i < depth; ++i)
            s += i == 0 && !name.empty() ? "<Group DEF='" + name + "'>" : "<Group>";
        s += bottom;
        for (int i = 0; i < depth; ++i)
            s += "</Group>";
        return s;
    };
    const int bound = int(CVSceneGraphCreator::kMaxGraphDepth);
    std::u16string why = RefusalOf(Doc(chain(6000, "Top", "") + chain(6000, "", "<Group USE='Top'/>")));
    EXPECT_TRUE(Contains(why, u"nodes deep")) << std::string(why.begin(), why.end());
    // Exactly the bound: 4000 + 6000 levels below the root.
    Read r(Doc(chain(6000, "Top2", "") + chain(bound - 6000, "", "<Group USE='Top2'/>")));
    EXPECT_EQ(lumo::graph::Measure(r.root).depth, std::size_t(bound + 1));
    EXPECT_FALSE(RefusalOf(Doc(chain(6000, "Top3", "") + chain(bound - 6000 + 1, "", "<Group USE='Top3'/>"))).empty());
}

TEST(ReaderBounds, EntityExpansionIsBoundedByMemoryNotOnlyByCount)
{
    // Few references (far under the count limit), long texts: the expansion
    // would need gigabytes.
    std::string doc = "<?xml version='1.0'?><!DOCTYPE X3D [<!ENTITY a '" + std::string(50000, 'x') + "'>";
    const char* names[] = {"a", "b", "c", "d"};
    for (int level = 1; level < 4; ++level) {
        doc += std::string("<!ENTITY ") + names[level] + " '";
        for (int i = 0; i < 40; ++i)
            doc += std::string("&") + names[level - 1] + ";";
        doc += "'>";
    }
    doc += "]><X3D><Scene><WorldInfo>&d;</WorldInfo></Scene></X3D>";
    std::u16string why = RefusalOf(doc);
    EXPECT_TRUE(Contains(why, u"more memory than the reader allows")) << std::string(why.begin(), why.end());
}

TEST(ReaderEdges, EmptyUseSkipsTheElementAndEmptyDefIsAName)
{
    Read r(Doc("<Group DEF=''/><Group USE=''><Transform/></Group><Transform/>"));
    ASSERT_EQ(r.root->children.GetNum(), 2); // the empty USE placed nothing, nor its child
    ASSERT_NE(r.root->children[0]->GetName(), nullptr);
    EXPECT_EQ(*r.root->children[0]->GetName(), L"");
    EXPECT_TRUE(r.root->children[1]->IsKindOf<CVTransform>());
    EXPECT_TRUE(r.Said(L"an empty USE names no node"));
}

TEST(ReaderMessages, SkippedElementsAreNamedOnceWithACount)
{
    Read r(Doc("<Widget/><Widget/><Gadget/><MetadataString value='x'/><Appearance/>"));
    const auto& m = r.parser.GetMessages();
    ASSERT_EQ(m.size(), 3u) << (m.empty() ? "" : std::string(m[0].begin(), m[0].end()));
    EXPECT_EQ(m[0], L"element <Widget> is not a node this library reads; skipped (2 times)");
    EXPECT_EQ(m[1], L"element <Gadget> is not a node this library reads; skipped");
    EXPECT_EQ(m[2], L"element <Appearance> cannot stand at the top of a scene; skipped");
    std::vector<std::wstring> collected{L"earlier"};
    // Parse appends them to the caller's list.
    std::string path = "/tmp/lumo_messages_" + std::to_string(getpid()) + ".x3d";
    std::ofstream(path) << Doc("<Widget/>");
    CVParser parser;
    CVGroup* root = parser.Parse(std::wstring(path.begin(), path.end()), &collected);
    root->Ref();
    root->Unref();
    std::remove(path.c_str());
    ASSERT_EQ(collected.size(), 2u);
    EXPECT_NE(collected[1].find(L"<Widget>"), std::wstring::npos);
}

TEST(ReaderLocations, FileUrlsReadTheLocalFile)
{
    std::string path = "/tmp/lumo reader " + std::to_string(getpid()) + ".x3d";
    std::ofstream(path) << Doc("<WorldInfo title='from a URL'/>");
    std::wstring url = L"file://";
    for (char c : path)
        url += c == ' ' ? std::wstring(L"%20") : std::wstring(1, wchar_t(c));
    for (const std::wstring& location : {url, L"file://localhost" + url.substr(7)}) {
        CVGroup* root = CVParser().Parse(location);
        ASSERT_NE(root, nullptr);
        root->Ref();
        ASSERT_EQ(root->children.GetNum(), 1);
        EXPECT_EQ(static_cast<CVWorldInfo*>(root->children[0])->title.GetValue(), L"from a URL");
        root->Unref();
    }
    std::remove(path.c_str());
    EXPECT_THROW(CVParser().Parse(L"file://otherhost/tmp/x.x3d"), xercesc::SAXParseException);
}

TEST(ReaderLocations, PlatformWideTextIsRecognised)
{
    // The control may hand over its text as wchar_t (32 bits here), with or
    // without a byte-order mark, followed by two zero bytes.
    std::wstring text = L"<X3D><Scene><WorldInfo title='\u00e9t\u00e9 \U0001F600'/></Scene></X3D>";
    for (bool bom : {false, true}) {
        std::wstring wide = bom ? L"\uFEFF" + text : text;
        std::string bytes(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
        bytes += std::string(2, '\0');
        Read r(bytes);
        ASSERT_EQ(r.root->children.GetNum(), 1);
        EXPECT_EQ(static_cast<CVWorldInfo*>(r.root->children[0])->title.GetValue(), L"\u00e9t\u00e9 \U0001F600");
    }
}

TEST(ReaderStrings, BackslashesInStringListsSurviveAsX3DEncodesThem)
{
    Read r(Doc("<WorldInfo info='\"ends in \\\\\" \"next\" \"C:\\\\dir\\\\new\" \"q\\\"uote\"' "
               "title='C:\\new \\\\ \\\"'/>"));
    auto* info = static_cast<CVWorldInfo*>(r.root->children[0]);
    ASSERT_EQ(info->info.GetNum(), 4);
    EXPECT_EQ(info->info[0], L"ends in \\");
    EXPECT_EQ(info->info[1], L"next");
    EXPECT_EQ(info->info[2], L"C:\\dir\\new");
    EXPECT_EQ(info->info[3], L"q\"uote");
    // A backslash before any other character stays as it is.
    EXPECT_EQ(info->title.GetValue(), L"C:\\new \\ \"");
}

} // namespace

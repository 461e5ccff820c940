// Text and font styles in documents: where the reader puts them, what the
// writer writes, and that a round trip gives every value back.
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Text.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/WriteXMLAction.h"
#include "tests/support/SceneCompare.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Held {
    CVGroup* root;
    explicit Held(CVGroup* r) : root(r) { root->Ref(); }
    ~Held() { root->Unref(); }
};

CVGroup* Read(const std::string& xml) { return CVParser().ParseXMLBits(xml.data(), unsigned(xml.size())); }

std::string Doc(const std::string& scene) { return "<X3D><Scene>" + scene + "</Scene></X3D>"; }

CVText* TextOf(CVNode* node)
{
    auto* shape = dynamic_cast<CVShape*>(node);
    return shape ? dynamic_cast<CVText*>(shape->geometry.GetValue()) : nullptr;
}

} // namespace

TEST(TextDocuments, TheReaderPlacesEveryElementAndAttribute)
{
    Held root(Read(Doc(R"(
        <Shape><Text string='"one" "two \"quoted\""'>
          <FontStyle family="SANS" horizontal="FALSE" justify='"MIDDLE" "END"' language="en" leftToRight="FALSE"
            size="0.5" spacing="1.5" style="BOLDITALIC" topToBottom="FALSE" textColor="1 0 0.5"
            extrusionDepth="0.25" fill="FALSE" deviation="12"/></Text></Shape>
        <Shape><Text string='"raster"'>
          <BitmapFontStyle family="Carlito" horizontal="FALSE" justify='"END"' language="BESTFIT" leftToRight="FALSE"
            size="14" spacing="2" style="ITALIC" topToBottom="FALSE" backColor="0 0 1" textColor="1 1 0"
            opaque="FALSE"/></Text></Shape>)")));
    ASSERT_EQ(root.root->children.GetNum(), 2);
    CVText* outline = TextOf(root.root->children[0]);
    ASSERT_NE(outline, nullptr);
    ASSERT_EQ(outline->string.GetNum(), 2);
    EXPECT_EQ(outline->string[1], L"two \"quoted\"");
    auto* f = dynamic_cast<CVFontStyle*>(outline->fontStyle.GetValue());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->family.GetValue(), L"SANS");
    EXPECT_EQ(f->horizontal.GetValue(), 0);
    ASSERT_EQ(f->justify.GetNum(), 2);
    EXPECT_EQ(f->justify[1], L"END");
    EXPECT_EQ(f->language.GetValue(), L"en");
    EXPECT_EQ(f->leftToRight.GetValue(), 0);
    EXPECT_FLOAT_EQ(f->size.GetValue(), 0.5f);
    EXPECT_FLOAT_EQ(f->spacing.GetValue(), 1.5f);
    EXPECT_EQ(f->style.GetValue(), L"BOLDITALIC");
    EXPECT_EQ(f->topToBottom.GetValue(), 0);
    EXPECT_FLOAT_EQ(f->textColor.GetValue().blue, 0.5f);
    EXPECT_FLOAT_EQ(f->extrusionDepth.GetValue(), 0.25f);
    EXPECT_EQ(f->fill.GetValue(), 0);
    EXPECT_FLOAT_EQ(f->deviation.GetValue(), 12.0f);

    // A BitmapFontStyle is no field's name: it goes to the font style all the same.
    CVText* raster = TextOf(root.root->children[1]);
    ASSERT_NE(raster, nullptr);
    auto* b = dynamic_cast<CVBitmapFontStyle*>(raster->fontStyle.GetValue());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->family.GetValue(), L"Carlito");
    EXPECT_EQ(b->language.GetValue(), L"BESTFIT");
    EXPECT_FLOAT_EQ(b->size.GetValue(), 14.0f);
    EXPECT_FLOAT_EQ(b->spacing.GetValue(), 2.0f);
    EXPECT_FLOAT_EQ(b->backColor.GetValue().blue, 1.0f);
    EXPECT_FLOAT_EQ(b->textColor.GetValue().green, 1.0f);
    EXPECT_EQ(b->opaque.GetValue(), 0);
    EXPECT_EQ(b->horizontal.GetValue(), 0);
}

TEST(TextDocuments, ANewTextIsAntialiasedAndNotSelectable)
{
    Held root(Read(Doc("<Shape><Text/></Shape>")));
    CVText* text = TextOf(root.root->children[0]);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->IsAntialiased());
    EXPECT_TRUE(text->IsNotSelectable());
    EXPECT_TRUE(text->IsModified());
    EXPECT_EQ(text->fontStyle.GetValue(), nullptr);
    // Drawing gets a default outline style without storing it in the field.
    EXPECT_NE(dynamic_cast<CVFontStyle*>(text->GetDrawingStyle()), nullptr);
    EXPECT_EQ(text->fontStyle.GetValue(), nullptr);
}

TEST(TextDocuments, EveryValueReadsBackTheSame)
{
    Held root(new CVGroup);
    auto add = [&](CVBaseFontStyle* style, std::initializer_list<const wchar_t*> strings) {
        auto* text = new CVText;
        for (const wchar_t* s : strings)
            text->string.Add(std::wstring(s));
        text->fontStyle.SetValue(style);
        auto* shape = new CVShape;
        shape->geometry.SetValue(text);
        root.root->children.Add(shape);
    };
    auto* f = new CVFontStyle;
    f->family.SetValue(L"TYPEWRITER");
    f->horizontal.SetValue(0);
    f->justify.Add(std::wstring(L"END"));
    f->justify.Add(std::wstring(L"FIRST"));
    f->language.SetValue(L"de");
    f->leftToRight.SetValue(0);
    f->size.SetValue(0.3f);
    f->spacing.SetValue(1.25f);
    f->style.SetValue(L"ITALIC");
    f->topToBottom.SetValue(0);
    f->textColor.SetValue(0.1f, 0.2f, 0.3f);
    f->extrusionDepth.SetValue(0.125f);
    f->fill.SetValue(0);
    f->deviation.SetValue(7.5f);
    add(f, {L"a \"quote\" and \\ back", L"", L"Ĉ € 中 \U0001F600"});
    auto* b = new CVBitmapFontStyle;
    b->family.SetValue(L"SERIF");
    b->horizontal.SetValue(0);
    b->justify.Add(std::wstring(L"MIDDLE"));
    b->language.SetValue(L"BESTFIT");
    b->leftToRight.SetValue(0);
    b->size.SetValue(13.5f);
    b->spacing.SetValue(0.75f);
    b->style.SetValue(L"BOLD");
    b->topToBottom.SetValue(0);
    b->backColor.SetValue(0.5f, 0.25f, 0.125f);
    b->textColor.SetValue(1.0f / 3.0f, 0.0f, 1.0f);
    b->opaque.SetValue(0);
    add(b, {L"raster"});
    add(b, {L"shared style"}); // one node in two places
    add(new CVFontStyle, {}); // defaults only

    std::string xml = CVWriteXMLAction().WriteString(root.root);
    EXPECT_NE(xml.find("<BitmapFontStyle"), std::string::npos) << xml;
    EXPECT_NE(xml.find("USE="), std::string::npos) << xml;
    EXPECT_NE(xml.find("<FontStyle/>"), std::string::npos) << xml; // defaults are not written
    Held back(Read(xml));
    EXPECT_EQ(lumo::test::CompareScenes(root.root, back.root), "") << xml;
    ASSERT_EQ(back.root->children.GetNum(), 4);
    CVText* t = TextOf(back.root->children[2]);
    CVText* first = TextOf(back.root->children[1]);
    ASSERT_NE(t, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(t->fontStyle.GetValue(), first->fontStyle.GetValue());
    auto* shared = dynamic_cast<CVBitmapFontStyle*>(t->fontStyle.GetValue());
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->textColor.GetValue().red, 1.0f / 3.0f);
}

TEST(TextDocuments, TheExampleChartReadsBackTheSame)
{
    std::string path = std::string(LUMO_PROJECT_DIR) + "/examples/data/chart.x3d";
    Held original(CVParser().ParseXMLFile(std::wstring(path.begin(), path.end())));
    // The chart's labels: raster axis labels sharing styles, an outline title.
    int texts = 0, outline = 0, raster = 0;
    std::vector<CVNode*> pending{original.root};
    while (!pending.empty()) {
        CVNode* n = pending.back();
        pending.pop_back();
        if (auto* g = dynamic_cast<CVGroup*>(n))
            for (int i = 0; i < g->children.GetNum(); ++i)
                pending.push_back(g->children[i]);
        if (CVText* t = TextOf(n)) {
            ++texts;
            outline += dynamic_cast<CVFontStyle*>(t->fontStyle.GetValue()) != nullptr;
            raster += dynamic_cast<CVBitmapFontStyle*>(t->fontStyle.GetValue()) != nullptr;
        }
    }
    EXPECT_GE(texts, 12);
    EXPECT_EQ(outline, 1);
    EXPECT_EQ(raster, texts - 1);
    Held back(Read(CVWriteXMLAction().WriteString(original.root)));
    EXPECT_EQ(lumo::test::CompareScenes(original.root, back.root), "");
}

TEST(RichTextMarkup, ListItemsAndBreaksEndLines)
{
    CVMFString strings;
    strings.Add(std::wstring(L"<TEXTFORMAT>Top<LI>one</LI><LI><B>two</B></LI>after<BR/>last</TEXTFORMAT>"));
    std::vector<CVRichTextFragment> fragments;
    CVParser::GetHTMLString(strings, &fragments);
    ASSERT_EQ(strings.GetNum(), 4);
    EXPECT_EQ(strings[0], L"Topone");
    EXPECT_EQ(strings[1], L"two");
    EXPECT_EQ(strings[2], L"after");
    EXPECT_EQ(strings[3], L"last");
    ASSERT_EQ(fragments.size(), 5u);
    EXPECT_EQ(fragments[1].endOfLine, 1);
    EXPECT_EQ(fragments[2].bold, 1);
    EXPECT_EQ(fragments[2].endOfLine, 1);
    EXPECT_EQ(fragments[3].endOfLine, 1);
    // The fragments make the same lines as the strings.
    auto* text = new CVText;
    text->Ref();
    text->string.Clone(strings);
    text->SetRichTextFragments(fragments);
    LOGFONTW base{};
    base.lfHeight = -12;
    const auto& lines = text->GetLines(base);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].runs[0].font.lfWeight, 700);
    EXPECT_EQ(lines[3].runs[0].text, U"last");
    text->Unref();
}

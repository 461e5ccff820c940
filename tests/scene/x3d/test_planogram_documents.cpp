// Shelf-plan elements in documents: every element and attribute is read
// into its field and written back exactly (including the values the
// writer's own defaults would lose), font styles land in their own fields,
// and the example shelf plan survives a round trip.
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/SPAnnotation.h"
#include "scene/nodes/SPFixture.h"
#include "scene/nodes/SPProduct.h"
#include "scene/nodes/SPSection.h"
#include "scene/nodes/SPSubfixture.h"
#include "scene/nodes/Shape.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/WriteXMLAction.h"
#include "tests/support/SceneCompare.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Held {
    CVGroup* root;
    explicit Held(CVGroup* r) : root(r)
    {
        if (root)
            root->Ref();
    }
    ~Held()
    {
        if (root)
            root->Unref();
    }
};

CVGroup* Read(const std::string& xml) { return CVParser().ParseXMLBits(xml.data(), unsigned(xml.size())); }

template <class G>
G* Geometry(CVGroup* root, int i)
{
    auto* shape = static_cast<CVShape*>(root->children[i]);
    CVGeometry* g = shape->geometry.GetValue();
    return g && g->IsKindOf<G>() ? static_cast<G*>(g) : nullptr;
}

// Every attribute away from its default. convex TRUE, extrusionDepth 0 and
// notchHoleSize 0.0127 0.0127 are values a writer that compared with the
// wrong defaults would leave out, so that they read back differently.
const char* const kPlan = R"(<X3D><Scene>
<Shape><SPFixture pegs='TRUE' pegSpacing='0.05 0.04' pegColIndent='0.02' pegRowIndent='0.03' notches='TRUE'
  notchHoleSize='0.0127 0.0127' notchOffset='0.1' notchIndentDist='0.01' notchInterval='0.0254' notchPosition='3'
  associatedBackboard='B7' notchNumber='4' size='1.2 1.8 0.02' shape='Box' id='F1' url='http://x/f1' type='Pegboard'
  typeLabel='Peg board' solid='FALSE' outline='FALSE' outlineColor='0.1 0.2 0.3' outlineThickness='2.5'
  label='"Bay" "one"' altLabel='"alt"' tooltip='"tip one" "tip two"' assemblyId='12'>
  <FontStyle family='"SANS"' size='0.05'/><BitmapFontStyle size='9'/></SPFixture></Shape>
<Shape><SPSubfixture notchNumber='7' type='Scanner Peg' id='G1' size='0.01 0.05 0.2'/></Shape>
<Shape><SPProduct facings='3 2 4' xfacingGap='0.01' faceRotation='-90 0 45' capFacings='1 2 1' nestDepth='0.02'
  nestDir='Up' fillPattern='5' id='P1' size='0.1 0.2 0.1' label='"Cola"'/></Shape>
<Shape><SPSection coordIndex='0 1 2 -1' ccw='TRUE' convex='TRUE' extrusionDepth='0' layer='3' id='S1'>
  <Coordinate point='0 0 0 1 0 0 1 0 1'/></SPSection></Shape>
<Shape><SPAnnotation start='1 2 3' end='4 5 6' startArrow='TRUE' endArrow='FALSE' lineColor='1 0 0'
  lineThickness='4' linePattern='3' labelIsHTML='TRUE' id='A1' type='arrow' label='"&lt;B&gt;note&lt;/B&gt;"'/></Shape>
</Scene></X3D>)";

} // namespace

TEST(PlanogramDocuments, EveryAttributeIsReadIntoItsField)
{
    Held plan(Read(kPlan));
    ASSERT_TRUE(plan.root);
    ASSERT_EQ(plan.root->children.GetNum(), 5);
    auto* f = Geometry<CVSPFixture>(plan.root, 0);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->pegs.GetValue());
    EXPECT_FLOAT_EQ(f->pegSpacing.GetValue().x, 0.05f);
    EXPECT_FLOAT_EQ(f->notchHoleSize.GetValue().y, 0.0127f);
    EXPECT_EQ(f->notchPosition.GetValue(), 3);
    EXPECT_EQ(f->associatedBackboard.GetValue(), L"B7");
    EXPECT_EQ(f->typeLabel.GetValue(), L"Peg board");
    EXPECT_FLOAT_EQ(f->outlineColor.GetValue().green, 0.2f);
    ASSERT_EQ(f->tooltip.GetNum(), 2);
    EXPECT_EQ(f->tooltip[1], L"tip two");
    EXPECT_EQ(f->assemblyId.GetValue(), 12);
    // Each font style in its own field.
    ASSERT_TRUE(f->fontStyle.GetValue());
    ASSERT_TRUE(f->bitmapFontStyle.GetValue());
    EXPECT_FLOAT_EQ(f->bitmapFontStyle->size.GetValue(), 9.0f);

    auto* s = Geometry<CVSPSubfixture>(plan.root, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->notchNumber.GetValue(), 7);
    EXPECT_TRUE(s->IsScannerPeg());
    EXPECT_TRUE(s->IsPeg());

    auto* p = Geometry<CVSPProduct>(plan.root, 2);
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->faceRotation.GetValue().x, -90.0f);
    EXPECT_EQ(p->nestDir.GetValue(), L"Up");
    EXPECT_EQ(p->fillPattern.GetValue(), 5);

    auto* section = Geometry<CVSPSection>(plan.root, 3);
    ASSERT_TRUE(section);
    ASSERT_TRUE(section->coord.GetValue());
    EXPECT_EQ(section->coord->point.GetNum(), 3);
    EXPECT_TRUE(section->convex.GetValue());
    EXPECT_FLOAT_EQ(section->extrusionDepth.GetValue(), 0.0f);
    EXPECT_EQ(section->layer.GetValue(), 3);

    auto* a = Geometry<CVSPAnnotation>(plan.root, 4);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->IsArrow()); // "arrow" in lower case is an arrow
    EXPECT_TRUE(a->labelIsHTML.GetValue());
    EXPECT_EQ(a->label[0], L"<B>note</B>");
    // An annotation has no size or solid attribute of its own.
    EXPECT_EQ(a->GetField(L"size"), nullptr);
    EXPECT_EQ(a->GetField(L"solid"), nullptr);
    EXPECT_NE(a->GetField(L"id"), nullptr);
}

TEST(PlanogramDocuments, EveryElementAndAttributeIsWrittenBackExactly)
{
    Held plan(Read(kPlan));
    ASSERT_TRUE(plan.root);
    const std::string written = CVWriteXMLAction().WriteString(plan.root);
    for (const char* attribute :
         {"<SPFixture", "pegSpacing=", "notchHoleSize=", "notchPosition=", "associatedBackboard=", "typeLabel=",
          "tooltip=", "assemblyId=", "<FontStyle", "<BitmapFontStyle", "<SPSubfixture", "notchNumber=", "<SPProduct",
          "faceRotation=", "capFacings=", "nestDir=", "fillPattern=", "<SPSection", "convex=\"TRUE\"",
          "extrusionDepth=\"0\"", "layer=", "<Coordinate", "<SPAnnotation", "startArrow=", "endArrow=",
          "lineColor=", "linePattern=", "labelIsHTML=", "id=\"P1\"", "url="})
        EXPECT_NE(written.find(attribute), std::string::npos) << attribute << "\n" << written;
    Held back(Read(written));
    ASSERT_TRUE(back.root);
    EXPECT_EQ(lumo::test::CompareScenes(plan.root, back.root), "");
    EXPECT_EQ(CVWriteXMLAction().WriteString(back.root), written);
}

TEST(PlanogramDocuments, TheExampleShelfPlanSurvivesARoundTrip)
{
    std::ifstream in(std::string(LUMO_PROJECT_DIR) + "/examples/data/shelf.x3d");
    std::stringstream text;
    text << in.rdbuf();
    Held plan(Read(text.str()));
    ASSERT_TRUE(plan.root);
    const std::string written = CVWriteXMLAction().WriteString(plan.root);
    Held back(Read(written));
    ASSERT_TRUE(back.root);
    EXPECT_EQ(lumo::test::CompareScenes(plan.root, back.root), "");
    // Every product, fixture, subfixture, section and annotation came back.
    for (const char* element : {"<SPFixture", "<SPSubfixture", "<SPProduct", "<SPSection", "<SPAnnotation"})
        EXPECT_NE(written.find(element), std::string::npos) << element;
}

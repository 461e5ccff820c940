// Elevation grids and extrusions in documents: where the reader puts their
// nodes, every element and attribute written back exactly, the default
// cross-section kept in the field and written, and the round trip of the
// example documents (the surface chart and the swept ribbon).
#include "scene/core/NodeType.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Extrusion.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/Shape.h"
#include "scene/nodes/Transform.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/SceneGraphCreator.h"
#include "scene/x3d/WriteXMLAction.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Held {
    CVGroup* root;
    explicit Held(CVGroup* r) : root(r) { root->Ref(); }
    ~Held() { root->Unref(); }
};

CVGroup* Read(const std::string& xml) { return CVParser().ParseXMLBits(xml.data(), unsigned(xml.size())); }

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

const CVNodeType* TypeOf(const CVNode* node)
{
    std::string cls = node->GetRuntimeClass()->m_lpszClassName;
    return CVNodeType::Find(std::wstring(cls.begin() + 2, cls.end()).c_str());
}

// Same classes, same structure and every value field's text the same,
// character for character (the writer's numbers read back exactly).
void ExpectSameExactly(CVNode* a, CVNode* b, const std::string& where, int* fields)
{
    ASSERT_NE(a, nullptr) << where;
    ASSERT_NE(b, nullptr) << where;
    ASSERT_STREQ(a->GetRuntimeClass()->m_lpszClassName, b->GetRuntimeClass()->m_lpszClassName) << where;
    const CVNodeType* type = TypeOf(a);
    ASSERT_NE(type, nullptr) << where;
    for (const CVFieldType& record : type->GetFields()) {
        const std::string field = where + "/" + Narrow(record.name);
        CVField* fa = CVNodeType::FieldOf(a, record);
        CVField* fb = CVNodeType::FieldOf(b, record);
        if (record.type == SFNODE) {
            CVNode* na = static_cast<CVSFNodeBase*>(fa)->GetNode();
            CVNode* nb = static_cast<CVSFNodeBase*>(fb)->GetNode();
            ASSERT_EQ(na == nullptr, nb == nullptr) << field;
            if (na)
                ExpectSameExactly(na, nb, field, fields);
        } else if (record.type == MFNODE) {
            auto* la = static_cast<CVMFNodeBase*>(fa);
            auto* lb = static_cast<CVMFNodeBase*>(fb);
            ASSERT_EQ(la->GetNum(), lb->GetNum()) << field;
            for (int i = 0; i < la->GetNum(); ++i)
                ExpectSameExactly(la->GetNodeAt(i), lb->GetNodeAt(i), field + "[" + std::to_string(i) + "]", fields);
        } else {
            std::wstring ta, tb;
            ASSERT_TRUE(lumo::x3d::FieldText(*fa, ta)) << field;
            ASSERT_TRUE(lumo::x3d::FieldText(*fb, tb)) << field;
            EXPECT_EQ(Narrow(ta), Narrow(tb)) << field;
            ++*fields;
        }
    }
}

CVGeometry* GeometryOf(CVNode* node)
{
    return node && node->IsKindOf<CVShape>() ? static_cast<CVShape*>(node)->geometry.GetValue() : nullptr;
}

std::vector<std::string> FieldNames(const wchar_t* element)
{
    std::vector<std::string> out;
    for (const CVFieldType& r : CVNodeType::Find(element)->GetFields())
        out.push_back(Narrow(r.name));
    return out;
}

const char* kSurfaces = R"(<X3D><Scene>
<Shape><ElevationGrid ccw="FALSE" colorPerVertex="FALSE" creaseAngle="0.5" normalPerVertex="FALSE"
    solid="FALSE" xDimension="3" xSpacing="0.25" zDimension="2" zSpacing="1.5" transposeData="TRUE"
    height="0 1 2, 3 4 3.4028235e38" contourBands="TRUE" skipMissing="TRUE">
  <Color color="1 0 0, 0 1 0"/>
  <Normal vector="0 1 0, 0 0.6 0.8"/>
  <TextureCoordinate point="0 0, 1 1"/>
  <ColorInterpolator key="0.5 2.5" keyValue="0 0 1, 1 1 0"/>
</ElevationGrid></Shape>
<Shape><Extrusion beginCap="FALSE" ccw="FALSE" convex="FALSE" creaseAngle="0.785" endCap="FALSE"
    solid="FALSE" crossSection="0 0, 1 0, 0.5 0.75" orientation="0 0 1 0.5, 1 0 0 0.25"
    scale="1 2, 0.5 0.5" spine="0 0 0, 0 1 0, 1 2 0.5"/>
</Shape>
</Scene></X3D>)";

std::string ReadFile(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

} // namespace

TEST(SurfaceReader, GridAndExtrusionFieldsAreRegisteredInTheirOrder)
{
    EXPECT_EQ(FieldNames(L"ElevationGrid"),
              (std::vector<std::string>{"color", "normal", "texCoord", "height", "ccw", "colorPerVertex",
                                        "creaseAngle", "normalPerVertex", "solid", "xDimension", "xSpacing",
                                        "zDimension", "zSpacing", "transposeData", "colorLevels", "contourBands",
                                        "skipMissing"}));
    EXPECT_EQ(FieldNames(L"Extrusion"),
              (std::vector<std::string>{"beginCap", "ccw", "convex", "creaseAngle", "crossSection", "endCap",
                                        "orientation", "scale", "solid", "spine"}));
    // Defaults: the grid's spacing is 0, not 1; the extrusion's booleans
    // are all TRUE.
    CVElevationGrid grid;
    EXPECT_EQ(grid.xSpacing.GetValue(), 0.0f);
    EXPECT_EQ(grid.zSpacing.GetValue(), 0.0f);
    EXPECT_TRUE(grid.ccw.GetValue() && grid.colorPerVertex.GetValue() && grid.normalPerVertex.GetValue() &&
                grid.solid.GetValue());
    EXPECT_FALSE(grid.transposeData.GetValue());
    EXPECT_EQ(grid.splitDepth.GetValue(), 4);
    EXPECT_FLOAT_EQ(grid.splitTolerance.GetValue(), 0.01f);
    CVExtrusion e;
    EXPECT_TRUE(e.beginCap.GetValue() && e.ccw.GetValue() && e.convex.GetValue() && e.endCap.GetValue() &&
                e.solid.GetValue());
    EXPECT_EQ(e.lineWidth.GetValue(), 1.0f);
    EXPECT_TRUE(e.IsAntialiased());
}

TEST(SurfaceReader, EveryNodeGoesToItsField)
{
    Held root(Read(kSurfaces));
    ASSERT_EQ(root.root->children.GetNum(), 2);
    auto* grid = static_cast<CVElevationGrid*>(GeometryOf(root.root->children[0]));
    ASSERT_TRUE(grid && grid->IsKindOf<CVElevationGrid>());
    ASSERT_TRUE(grid->color.GetValue());
    EXPECT_EQ(grid->color->color.GetNum(), 2);
    ASSERT_TRUE(grid->normal.GetValue());
    EXPECT_EQ(grid->normal->vector.GetNum(), 2);
    ASSERT_TRUE(grid->texCoord.GetValue());
    EXPECT_EQ(grid->texCoord->point.GetNum(), 2);
    ASSERT_TRUE(grid->IsSetColorLevels());
    EXPECT_EQ(grid->colorLevels->key.GetNum(), 2);
    EXPECT_EQ(grid->colorLevels->keyValue.GetNum(), 2);
    ASSERT_EQ(grid->height.GetNum(), 6);
    EXPECT_TRUE(CVElevationGrid::IsMissingValue(grid->height[5]));
    EXPECT_EQ(grid->xDimension.GetValue(), 3);
    EXPECT_EQ(grid->zSpacing.GetValue(), 1.5f);
    EXPECT_TRUE(grid->transposeData.GetValue() && grid->contourBands.GetValue() && grid->skipMissing.GetValue());
    EXPECT_FALSE(grid->ccw.GetValue() || grid->colorPerVertex.GetValue() || grid->normalPerVertex.GetValue() ||
                 grid->solid.GetValue());
    auto* e = static_cast<CVExtrusion*>(GeometryOf(root.root->children[1]));
    ASSERT_TRUE(e && e->IsKindOf<CVExtrusion>());
    EXPECT_EQ(e->crossSection.GetNum(), 3);
    EXPECT_EQ(e->orientation.GetNum(), 2);
    EXPECT_FLOAT_EQ(e->orientation[1].angle, 0.25f);
    EXPECT_EQ(e->scale.GetNum(), 2);
    EXPECT_EQ(e->spine.GetNum(), 3);
    EXPECT_FLOAT_EQ(e->creaseAngle.GetValue(), 0.785f);
    EXPECT_FALSE(e->beginCap.GetValue() || e->ccw.GetValue() || e->convex.GetValue() || e->endCap.GetValue() ||
                 e->solid.GetValue());

    // A colour interpolator outside a grid stays where it stands.
    Held loose(Read("<X3D><Scene><Group><ColorInterpolator key='1'/></Group></Scene></X3D>"));
    auto* group = static_cast<CVGroup*>(loose.root->children[0]);
    ASSERT_EQ(group->children.GetNum(), 1);
    EXPECT_TRUE(group->children[0]->IsKindOfClassNamed("CVColorInterpolator"));
}

TEST(SurfaceWriter, EveryElementAndAttributeReadsBackExactly)
{
    Held root(Read(kSurfaces));
    const std::string written = CVWriteXMLAction().WriteString(root.root);
    for (const char* attribute :
         {"<ElevationGrid", "xDimension=", "xSpacing=", "zDimension=", "zSpacing=", "height=", "transposeData=",
          "contourBands=", "skipMissing=", "colorPerVertex=", "normalPerVertex=", "<Color color=", "<Normal vector=",
          "<TextureCoordinate point=", "<ColorInterpolator", "key=", "keyValue=", "<Extrusion", "beginCap=",
          "endCap=", "convex=", "crossSection=", "orientation=", "scale=", "spine="})
        EXPECT_NE(written.find(attribute), std::string::npos) << attribute << "\n" << written;
    Held back(Read(written));
    int fields = 0;
    ExpectSameExactly(root.root, back.root, "root", &fields);
    // 13 value fields of the grid, 10 of the extrusion, one each in the
    // colour, normal and texture coordinate nodes, two in the levels.
    EXPECT_GE(fields, 13 + 10 + 3 + 2);
    EXPECT_EQ(CVWriteXMLAction().WriteString(back.root), written);
}

TEST(SurfaceWriter, TheDefaultCrossSectionStaysInTheFieldAndIsWritten)
{
    Held root(Read("<X3D><Scene><Shape><Extrusion spine='0 0 0, 0 1 0'/></Shape></Scene></X3D>"));
    auto* e = static_cast<CVExtrusion*>(GeometryOf(root.root->children[0]));
    ASSERT_TRUE(e);
    EXPECT_EQ(CVWriteXMLAction().WriteString(root.root).find("crossSection="), std::string::npos);
    CVBox3f box;
    e->ComputeBoundingBox(nullptr, nullptr, &box); // no OpenGL needed
    EXPECT_FALSE(box.IsEmpty());
    ASSERT_EQ(e->crossSection.GetNum(), 5);
    const std::string written = CVWriteXMLAction().WriteString(root.root);
    EXPECT_NE(written.find("crossSection="), std::string::npos) << written;
    Held back(Read(written));
    auto* again = static_cast<CVExtrusion*>(GeometryOf(back.root->children[0]));
    ASSERT_TRUE(again);
    ASSERT_EQ(again->crossSection.GetNum(), 5);
    EXPECT_EQ(again->crossSection[1].x, 1.0f);
    EXPECT_EQ(again->crossSection[1].y, 1.0f);
}

TEST(SurfaceExamples, TheExampleDocumentsReadBackTheSame)
{
    for (const char* name : {"surface.x3d", "ribbon.x3d"}) {
        const std::string text = ReadFile(std::string(LUMO_PROJECT_DIR) + "/examples/data/" + name);
        ASSERT_FALSE(text.empty()) << name;
        Held root(Read(text));
        ASSERT_GT(root.root->children.GetNum(), 0) << name;
        const std::string written = CVWriteXMLAction().WriteString(root.root);
        Held back(Read(written));
        int fields = 0;
        ExpectSameExactly(root.root, back.root, name, &fields);
        EXPECT_GT(fields, 10) << name;
        EXPECT_EQ(CVWriteXMLAction().WriteString(back.root), written) << name;
    }
    // The chart holds its grid, the grid its levels and bands, and one line
    // set per level that the surface crosses, each at its level's height.
    const std::string text = ReadFile(std::string(LUMO_PROJECT_DIR) + "/examples/data/surface.x3d");
    Held chart(Read(text));
    ASSERT_EQ(chart.root->children.GetNum(), 1);
    auto* t = static_cast<CVTransform*>(chart.root->children[0]);
    ASSERT_TRUE(t->IsKindOf<CVTransform>());
    ASSERT_GE(t->children.GetNum(), 2);
    auto* grid = static_cast<CVElevationGrid*>(GeometryOf(t->children[0]));
    ASSERT_TRUE(grid && grid->IsKindOf<CVElevationGrid>());
    ASSERT_TRUE(grid->IsSetColorLevels());
    EXPECT_TRUE(grid->contourBands.GetValue());
    int lineSets = 0;
    for (int c = 1; c < t->children.GetNum(); ++c) {
        auto* lines = static_cast<CVIndexedLineSet*>(GeometryOf(t->children[c]));
        ASSERT_TRUE(lines && lines->IsKindOf<CVIndexedLineSet>());
        ASSERT_TRUE(lines->coord.GetValue());
        const float y = lines->coord->point[0].y;
        bool isLevel = false;
        for (int k = 0; k < grid->colorLevels->key.GetNum(); ++k)
            isLevel = isLevel || grid->colorLevels->key[k] == y;
        EXPECT_TRUE(isLevel) << y;
        for (int p = 0; p < lines->coord->point.GetNum(); ++p)
            EXPECT_EQ(lines->coord->point[p].y, y);
        ++lineSets;
    }
    EXPECT_GE(lineSets, 4);
}

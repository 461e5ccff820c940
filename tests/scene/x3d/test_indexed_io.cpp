// Indexed geometry in documents: where the reader puts the property nodes,
// every element and attribute written back exactly, the example document's
// round trip, and number lists read the same however the text arrives.
#include "scene/core/NodeType.h"
#include "scene/nodes/Group.h"
#include "scene/nodes/IndexedFaceSet.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/PointSet.h"
#include "scene/nodes/Shape.h"
#include "scene/x3d/FieldText.h"
#include "scene/x3d/Parser.h"
#include "scene/x3d/SceneGraphCreator.h"
#include "scene/x3d/WriteXMLAction.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
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

const char* kFullDocument = R"(<X3D><Scene>
<Shape><IndexedFaceSet ccw="FALSE" colorPerVertex="FALSE" convex="FALSE" creaseAngle="0.75"
    solid="FALSE" normalPerVertex="FALSE" coordIndex="0 1 2 -1 2 3 0" colorIndex="1 0"
    normalIndex="0 0" texCoordIndex="0 1 2 -1 2 3 0">
  <Coordinate point="0 0 0, 1 0 0, 1 1 0, 0 1 0.125"/>
  <Color color="1 0 0, 0 0.5 1"/>
  <Normal vector="0 0 1"/>
  <TextureCoordinate point="0 0, 1 0, 1 1, 0 1"/>
</IndexedFaceSet></Shape>
<Shape><IndexedLineSet colorPerVertex="FALSE" coordIndex="0 1 -1 1 2" colorIndex="0 0"
    lineWidth="2.5" lineStyle="7" showPoints="TRUE">
  <Coordinate point="0 0 0, 1 0 0, 1 1 0"/>
  <Color color="0.25 0.5 0.75"/>
</IndexedLineSet></Shape>
<Shape><PointSet pointSize="4"><Color color="1 1 0"/><Coordinate point="0.1 0.2 0.3"/></PointSet></Shape>
</Scene></X3D>)";

TEST(IndexedReader, PropertyNodesGoToTheirFields)
{
    Held root(Read(kFullDocument));
    ASSERT_EQ(root.root->children.GetNum(), 3);
    auto* faces = static_cast<CVIndexedFaceSet*>(static_cast<CVShape*>(root.root->children[0])->geometry.GetValue());
    ASSERT_TRUE(faces && faces->IsKindOf<CVIndexedFaceSet>());
    ASSERT_TRUE(faces->coord.GetValue());
    EXPECT_EQ(faces->coord->point.GetNum(), 4);
    ASSERT_TRUE(faces->color.GetValue());
    EXPECT_EQ(faces->color->color.GetNum(), 2);
    EXPECT_EQ(faces->color->color[1].alpha, 1.0f);
    ASSERT_TRUE(faces->normal.GetValue());
    EXPECT_EQ(faces->normal->vector.GetNum(), 1);
    ASSERT_TRUE(faces->texCoord.GetValue());
    EXPECT_EQ(faces->texCoord->point.GetNum(), 4);
    EXPECT_EQ(faces->coordIndex.GetNum(), 7);
    EXPECT_EQ(faces->creaseAngle.GetValue(), 0.75f);
    EXPECT_FALSE(faces->ccw.GetValue());
    auto* lines = static_cast<CVIndexedLineSet*>(static_cast<CVShape*>(root.root->children[1])->geometry.GetValue());
    ASSERT_TRUE(lines && lines->IsKindOf<CVIndexedLineSet>());
    EXPECT_TRUE(lines->coord.GetValue() && lines->color.GetValue());
    EXPECT_EQ(lines->lineStyle.GetValue(), 7);
    EXPECT_EQ(lines->lineWidth.GetValue(), 2.5f);
    EXPECT_TRUE(lines->showPoints.GetValue());
    auto* points = static_cast<CVPointSet*>(static_cast<CVShape*>(root.root->children[2])->geometry.GetValue());
    ASSERT_TRUE(points && points->IsKindOf<CVPointSet>());
    EXPECT_TRUE(points->coord.GetValue() && points->color.GetValue());
    EXPECT_EQ(points->pointSize.GetValue(), 4.0f);

    // A node that has no place inside a line set is built and left out.
    Held other(Read("<X3D><Scene><Shape><IndexedLineSet coordIndex='0 1'><Normal vector='0 0 1'/>"
                    "<Coordinate point='0 0 0 1 1 1'/></IndexedLineSet></Shape></Scene></X3D>"));
    auto* l = static_cast<CVIndexedLineSet*>(static_cast<CVShape*>(other.root->children[0])->geometry.GetValue());
    ASSERT_TRUE(l->coord.GetValue());
    EXPECT_EQ(l->coord->point.GetNum(), 2);
    EXPECT_EQ(l->color.GetValue(), nullptr);
}

TEST(IndexedReader, FieldsAreRegisteredInTheirOrder)
{
    auto names = [](const wchar_t* element) {
        std::vector<std::string> out;
        for (const CVFieldType& r : CVNodeType::Find(element)->GetFields())
            out.push_back(Narrow(r.name));
        return out;
    };
    EXPECT_EQ(names(L"IndexedFaceSet"),
              (std::vector<std::string>{"color", "coord", "normal", "texCoord", "ccw", "colorIndex", "colorPerVertex",
                                        "convex", "coordIndex", "creaseAngle", "normalIndex", "normalPerVertex",
                                        "solid", "texCoordIndex"}));
    EXPECT_EQ(names(L"IndexedLineSet"), (std::vector<std::string>{"color", "coord", "colorIndex", "colorPerVertex",
                                                                  "coordIndex", "lineWidth", "lineStyle",
                                                                  "showPoints"}));
    EXPECT_EQ(names(L"PointSet"), (std::vector<std::string>{"color", "coord", "pointSize"}));
    EXPECT_EQ(names(L"Coordinate"), (std::vector<std::string>{"point"}));
    EXPECT_EQ(names(L"Normal"), (std::vector<std::string>{"vector"}));
    EXPECT_EQ(names(L"Color"), (std::vector<std::string>{"color"}));
    EXPECT_EQ(names(L"TextureCoordinate"), (std::vector<std::string>{"point"}));
}

TEST(IndexedWriter, EveryElementAndAttributeReadsBackExactly)
{
    Held root(Read(kFullDocument));
    const std::string written = CVWriteXMLAction().WriteString(root.root);
    // Every attribute the document set differs from its default, so each
    // must be in the output.
    for (const char* attribute :
         {"ccw=", "colorPerVertex=", "convex=", "creaseAngle=", "solid=", "normalPerVertex=", "coordIndex=",
          "colorIndex=", "normalIndex=", "texCoordIndex=", "lineWidth=", "lineStyle=", "showPoints=", "pointSize=",
          "<Coordinate point=", "<Color color=", "<Normal vector=", "<TextureCoordinate point="})
        EXPECT_NE(written.find(attribute), std::string::npos) << attribute << "\n" << written;
    Held back(Read(written));
    int fields = 0;
    ExpectSameExactly(root.root, back.root, "root", &fields);
    // The value fields: 10 of the face set, 6 of the line set, 1 of the
    // point set, and one in each of the eight property nodes.
    EXPECT_GE(fields, 10 + 6 + 1 + 8);
    // Written again, the document is the same.
    EXPECT_EQ(CVWriteXMLAction().WriteString(back.root), written);

    // Node values a document can hold, set by program code, survive too:
    // numbers that need all their digits, shared coordinates.
    Held made(new CVGroup);
    auto* coords = new CVCoordinate;
    coords->point.Add(0.1f, 1.0f / 3.0f, -2.5e-7f);
    coords->point.Add(16777216.0f, -0.0f, 3.4e38f);
    coords->point.Add(1, 2, 3);
    for (int i = 0; i < 2; ++i) {
        auto* f = new CVIndexedFaceSet;
        f->coord.SetValue(coords);
        f->coordIndex.Add(0);
        f->coordIndex.Add(1);
        f->coordIndex.Add(2);
        f->creaseAngle.SetValue(0.1f);
        auto* shape = new CVShape;
        shape->geometry.SetValue(f);
        made.root->children.Add(shape);
    }
    const std::string text = CVWriteXMLAction().WriteString(made.root);
    EXPECT_NE(text.find("USE="), std::string::npos) << text;
    Held again(Read(text));
    fields = 0;
    ExpectSameExactly(made.root, again.root, "made", &fields);
    auto geometry = [](CVGroup* g, int i) {
        return static_cast<CVIndexedFaceSet*>(static_cast<CVShape*>(g->children[i])->geometry.GetValue());
    };
    EXPECT_EQ(geometry(again.root, 0)->coord.GetValue(), geometry(again.root, 1)->coord.GetValue());
}

TEST(IndexedWriter, TheExampleDocumentReadsBackExactly)
{
    const std::string path = std::string(LUMO_PROJECT_DIR) + "/examples/data/floor.x3d";
    Held root(CVParser().ParseXMLFile(std::wstring(path.begin(), path.end())));
    ASSERT_EQ(root.root->children.GetNum(), 4); // the viewpoint and three shapes
    const std::string written = CVWriteXMLAction().WriteString(root.root);
    Held back(Read(written));
    int fields = 0;
    ExpectSameExactly(root.root, back.root, "floor", &fields);
    EXPECT_GT(fields, 20);
}

// The list rule as the reader always had it: tokens at runs of blanks,
// tabs, line breaks and commas; integers and floats through the scan
// formats, vector components through wcstod.
void ReferenceList(CVField* field, int type, const std::wstring& text)
{
    std::vector<std::wstring> tokens;
    size_t i = 0;
    auto sep = [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n' || c == L',' || c == L' '; };
    while (i < text.size()) {
        while (i < text.size() && sep(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !sep(text[i]))
            ++i;
        if (i > start)
            tokens.emplace_back(text, start, i - start);
    }
    if (type == MFINT32) {
        for (auto& t : tokens) {
            int v;
            if (std::swscanf(t.c_str(), L"%d", &v) == 1)
                static_cast<CVMFInt32*>(field)->Add(v);
        }
        return;
    }
    size_t group = type == MFVEC2F ? 2 : 3;
    for (size_t k = 0; k + group <= tokens.size(); k += group) {
        float v[3];
        for (size_t j = 0; j < group; ++j)
            v[j] = float(std::wcstod(tokens[k + j].c_str(), nullptr));
        if (type == MFVEC2F)
            static_cast<CVMFVec2f*>(field)->Add(v[0], v[1]);
        else if (type == MFVEC3F)
            static_cast<CVMFVec3f*>(field)->Add(v[0], v[1], v[2]);
        else
            static_cast<CVMFColor*>(field)->Add(v[0], v[1], v[2], 1.0f);
    }
}

TEST(IndexedReader, NumberListsReadTheSameFromTheDocumentAsByTheListRule)
{
    // Plain numbers, and tokens that take the slow readings: signs, hex,
    // infinities, trailing text, ten digits, non-ASCII characters (one
    // outside the basic plane), tokens that are no numbers.
    const std::wstring ints = L"0 1 -1 +7 007 123456789 1234567890 99999999999 -2147483648 1e3 0x1A 12abc abc "
                              L"\u00e9 5\U0001D7D9 -, 4\t5\r\n6,,7 -";
    const std::wstring floats = L"0.1 -0 +2.5 .5 5. 1e39 -1e-46 nan inf -inf 0x1p3 1.5abc abc \u00e9 "
                                L"3.4028235e38 1.17549435e-38 0.30000001192092896 12345678.9 1e 7 8";
    struct Case {
        const char* element;
        const char* attribute;
        int type;
        const std::wstring* text;
    } cases[] = {{"IndexedFaceSet", "coordIndex", MFINT32, &ints},
                 {"Coordinate", "point", MFVEC3F, &floats},
                 {"Color", "color", MFCOLOR, &floats},
                 {"TextureCoordinate", "point", MFVEC2F, &floats}};
    for (const Case& c : cases) {
        // The document, in UTF-8.
        const std::wstring element(c.element, c.element + std::strlen(c.element));
        const std::wstring attribute = std::wstring(c.attribute, c.attribute + std::strlen(c.attribute)) + L"='" +
                                       *c.text + L"'";
        const std::wstring wdoc =
            L"<X3D><Scene><Shape>" +
            (c.type == MFINT32 ? L"<IndexedFaceSet " + attribute + L"/>"
                               : L"<IndexedFaceSet><" + element + L" " + attribute + L"/></IndexedFaceSet>") +
            L"</Shape></Scene></X3D>";
        std::string doc;
        for (wchar_t w : wdoc) {
            char32_t u = char32_t(w);
            if (u < 0x80) {
                doc += char(u);
            } else if (u < 0x800) {
                doc += char(0xC0 | (u >> 6));
                doc += char(0x80 | (u & 0x3F));
            } else if (u < 0x10000) {
                doc += char(0xE0 | (u >> 12));
                doc += char(0x80 | ((u >> 6) & 0x3F));
                doc += char(0x80 | (u & 0x3F));
            } else {
                doc += char(0xF0 | (u >> 18));
                doc += char(0x80 | ((u >> 12) & 0x3F));
                doc += char(0x80 | ((u >> 6) & 0x3F));
                doc += char(0x80 | (u & 0x3F));
            }
        }
        Held root(Read(doc));
        ASSERT_EQ(root.root->children.GetNum(), 1) << c.element;
        auto* f = static_cast<CVIndexedFaceSet*>(static_cast<CVShape*>(root.root->children[0])->geometry.GetValue());
        ASSERT_NE(f, nullptr) << c.element;
        CVField* read = c.type == MFINT32 ? static_cast<CVField*>(&f->coordIndex)
                        : c.type == MFCOLOR ? static_cast<CVField*>(&f->color->color)
                        : c.type == MFVEC2F ? static_cast<CVField*>(&f->texCoord->point)
                                            : static_cast<CVField*>(&f->coord->point);
        // The wide-text entry and the reference rule.
        CVField* wide = CVNodeType::CreateFieldFromType(c.type);
        CVField* reference = CVNodeType::CreateFieldFromType(c.type);
        CVSceneGraphCreator::AddListValues(wide, c.type, *c.text);
        ReferenceList(reference, c.type, *c.text);
        std::wstring a, b, r;
        lumo::x3d::FieldText(*read, a);
        lumo::x3d::FieldText(*wide, b);
        lumo::x3d::FieldText(*reference, r);
        EXPECT_EQ(Narrow(a), Narrow(r)) << c.element;
        EXPECT_EQ(Narrow(b), Narrow(r)) << c.element;
        EXPECT_GT(static_cast<CVMField*>(reference)->GetNum(), 5) << c.element;
        delete wide;
        delete reference;
    }
}

} // namespace

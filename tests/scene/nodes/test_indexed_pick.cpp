// Selection: every kind of indexed geometry draws in the selection mode
// after its list was compiled, each face, polyline and point under its own
// number; and the details a pick asks for list the hit part's points.
#include "scene/nodes/Group.h"
#include "tests/support/IndexedScenes.h"
#include "tests/support/SceneRender.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace lumo::test;

namespace {

CVCoordinate* ThreeQuads()
{
    return Coords({{-1.8f, -0.5f, 0}, {-1.0f, -0.5f, 0}, {-1.0f, 0.5f, 0}, {-1.8f, 0.5f, 0},
                   {-0.4f, -0.5f, 0}, {0.4f, -0.5f, 0}, {0.4f, 0.5f, 0}, {-0.4f, 0.5f, 0},
                   {1.0f, -0.5f, 0}, {1.8f, -0.5f, 0}, {1.8f, 0.5f, 0}, {1.0f, 0.5f, 0}});
}

// The names of the hits of one selection pass over the shape, seen through
// an orthographic window x0 .. x1 by -2 .. 2.
std::vector<Hit> Select(SceneRender& r, CVShape* shape, double x0 = -2, double x1 = 2)
{
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(shape);
    r.Render(scene.camera); // compiles what the geometry compiles
    r.Render(scene.camera); // and replays it
    EXPECT_TRUE(r.Area()->MakeCurrent());
    GLuint buffer[1024];
    glSelectBuffer(1024, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(x0, x1, -2, 2, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CVState state;
    state.m_bPickMode = 1;
    shape->Render(&state, r.Area());
    GLint count = glRenderMode(GL_RENDER);
    EXPECT_GE(count, 0);
    return Hits(buffer, count);
}

std::vector<GLuint> Names(const std::vector<Hit>& hits)
{
    std::vector<GLuint> names;
    for (const Hit& h : hits) {
        EXPECT_EQ(h.size(), 1u); // the shape's one name, replaced by the part's
        if (!h.empty())
            names.push_back(h.back());
    }
    return names;
}

using Names_ = std::vector<GLuint>;

TEST(IndexedSelection, FacesAreHitUnderTheirFaceNumbers)
{
    // Face 1 has only two usable points and is not drawn; its number stays taken.
    const std::initializer_list<int> indices = {0, 1, 2, 3, -1, 4, 99, 5, -1, 8, 9, 10, 11};
    for (int kind = 0; kind < 4; ++kind) {
        SceneRender r;
        auto* f = new CVIndexedFaceSet;
        f->coord.SetValue(ThreeQuads());
        SetInts(f->coordIndex, indices);
        if (kind == 1)
            f->convex.SetValue(0);
        if (kind == 2)
            f->normalAxis = L"Z"; // a chart's faces: no list, no colours
        if (kind == 3) {
            f->color.SetValue(Colours({{1, 0, 0, 1}}));
            f->creaseAngle.SetValue(1.0f);
        }
        CVShape* shape = ShapeOf(f);
        Kept keep(shape);
        EXPECT_EQ(Names(Select(r, shape)), (Names_{0, 2})) << kind;
        // Through a window on the right half only the right face is hit.
        EXPECT_EQ(Names(Select(r, shape, 0.7, 2)), (Names_{2})) << kind;
    }
}

TEST(IndexedSelection, ContourFacesAreOnePolygonUnderNameZero)
{
    SceneRender r;
    auto* f = new CVIndexedFaceSet;
    f->coord.SetValue(ThreeQuads());
    SetInts(f->coordIndex, {0, 1, 2, 3, -1, 8, 9, 10, 11});
    f->convex.SetValue(0);
    f->contourFaces.SetValue(1);
    CVShape* shape = ShapeOf(f);
    Kept keep(shape);
    EXPECT_EQ(Names(Select(r, shape)), (Names_{0}));
}

TEST(IndexedSelection, PolylinesAreHitUnderTheirNumbersOnEveryPath)
{
    // With colours (drawn one by one), without (drawn from an array), and
    // a set of two indices (one segment).
    for (int kind = 0; kind < 3; ++kind) {
        SceneRender r;
        auto* l = new CVIndexedLineSet;
        l->coord.SetValue(Coords({{-1.5f, -1, 0}, {-0.5f, -1, 0}, {-1.5f, 1, 0}, {-0.5f, 1, 0},
                                  {0.5f, 0, 0}, {1.5f, 0, 0}}));
        if (kind == 2)
            SetInts(l->coordIndex, {4, 5});
        else
            SetInts(l->coordIndex, {0, 1, -1, 2, 99, -1, 4, 5});
        if (kind == 0)
            l->color.SetValue(Colours({{1, 0, 0, 1}}));
        CVShape* shape = ShapeOf(l);
        Kept keep(shape);
        EXPECT_EQ(Names(Select(r, shape)), kind == 2 ? Names_{0} : (Names_{0, 2})) << kind;
        EXPECT_EQ(Names(Select(r, shape, 0.2, 2)), kind == 2 ? Names_{0} : Names_{2}) << kind;
    }
}

TEST(IndexedSelection, PointsAreHitUnderTheirNumbers)
{
    SceneRender r;
    auto* p = new CVPointSet;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    p->coord.SetValue(Coords({{-1, 0, 0}, {nan, 0, 0}, {1, 0, 0}}));
    p->color.SetValue(Colours({{1, 0, 0, 1}}));
    CVShape* shape = ShapeOf(p);
    Kept keep(shape);
    EXPECT_EQ(Names(Select(r, shape)), (Names_{0, 2}));
    EXPECT_EQ(Names(Select(r, shape, 0.5, 2)), (Names_{2}));

    SceneRender origin;
    CVShape* lone = ShapeOf(new CVPointSet);
    Kept keepLone(lone);
    EXPECT_EQ(Names(Select(origin, lone)), (Names_{0}));
}

TEST(IndexedSelection, NotSelectableGeometryIsNeverHit)
{
    SceneRender r;
    auto* f = new CVIndexedFaceSet;
    f->coord.SetValue(ThreeQuads());
    SetInts(f->coordIndex, {0, 1, 2, 3});
    f->SetSelectableFlag(0);
    CVShape* shape = ShapeOf(f);
    Kept keep(shape);
    EXPECT_TRUE(Select(r, shape).empty());
}

TEST(IndexedDetails, CoordinateIndexOfAPart)
{
    CVIndexedFaceSet f;
    SetInts(f.coordIndex, {0, 1, 2, -1, 3, 4, 5, 6, -1});
    int start = -9, count = -9;
    f.GetCoordinateIndex(1, start, count);
    EXPECT_EQ(start, 4);
    EXPECT_EQ(count, 4);
    f.GetCoordinateIndex(0, start, count);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, 3);
    // Past the last -1: the position after it, with nothing behind it.
    f.GetCoordinateIndex(2, start, count);
    EXPECT_EQ(start, 9);
    EXPECT_EQ(count, 0);
    f.GetCoordinateIndex(7, start, count);
    EXPECT_EQ(start, 9);
    EXPECT_EQ(count, 0);
    f.GetCoordinateIndex(-1, start, count);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, 0);
    CVIndexedFaceSet empty;
    empty.GetCoordinateIndex(0, start, count);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, 0);
}

// GetCoordInfo is protected: reached through a subclass.
struct InfoSet : CVIndexedLineSet {
    using CVIndexedSet::GetCoordInfo;
};

TEST(IndexedDetails, PartsAndLargestIndex)
{
    InfoSet s;
    int parts = -9, largest = -9;
    SetInts(s.coordIndex, {0, 1, 2, -1, 3, 4, 5});
    s.GetCoordInfo(parts, largest);
    EXPECT_EQ(parts, 2);
    EXPECT_EQ(largest, 5);
    SetInts(s.coordIndex, {0, 1, 2, -1, 3, 4, 5, -1});
    s.GetCoordInfo(parts, largest);
    EXPECT_EQ(parts, 2);
    SetInts(s.coordIndex, {});
    s.GetCoordInfo(parts, largest);
    EXPECT_EQ(parts, 0);
    EXPECT_EQ(largest, -1);
}

TEST(IndexedDetails, ColourAndNormalIndicesOfAPart)
{
    CVIndexedFaceSet f;
    SetInts(f.coordIndex, {0, 1, 2, -1, 3, 4, 5, 6, -1});
    int index = -9, count = -9, flag = -9;
    f.GetColorIndex(1, index, count, flag);
    EXPECT_EQ(index, 4);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(flag, 1);
    f.colorPerVertex.SetValue(0);
    SetInts(f.colorIndex, {1, 0});
    f.GetColorIndex(1, index, count, flag);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(flag, 0);
    f.GetNormalIndex(1, index, count, flag);
    EXPECT_EQ(index, 4);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(flag, 1);
    f.normalPerVertex.SetValue(0);
    SetInts(f.normalIndex, {0});
    f.GetNormalIndex(0, index, count, flag);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(flag, 0);
}

TEST(IndexedDetails, DetailsListThePointsOfTheHitPart)
{
    auto* f = new CVIndexedFaceSet;
    Kept keepFace(f);
    SetInts(f->coordIndex, {0, 1, 2, -1, 3, 4, 5, 6, -1});
    std::unique_ptr<CVDetail> detail(f->GetPickDetail(1));
    ASSERT_TRUE(detail->IsKindOf<CVIndexedFaceSetDetail>());
    auto* d = static_cast<CVIndexedFaceSetDetail*>(detail.get());
    EXPECT_EQ(d->GetGeometry(), f);
    EXPECT_EQ(d->GetIndex(), 1);
    EXPECT_EQ(d->GetNumPoints(), 0) << "nothing until computed";
    d->ComputeDetails();
    ASSERT_EQ(d->GetNumPoints(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d->GetPoint(i).GetCoordinateIndex(), 4 + i); // positions in coordIndex
    EXPECT_EQ(d->GetPoint(4).GetCoordinateIndex(), -1);
    EXPECT_EQ(d->GetPoint(-1).GetCoordinateIndex(), -1);

    // The placeholder name of a part that loaded none: no points.
    std::unique_ptr<CVDetail> none(f->GetPickDetail(0xFFFFFFFFu));
    none->ComputeDetails();
    EXPECT_EQ(static_cast<CVIndexDetail*>(none.get())->GetNumPoints(), 0);

    auto* l = new CVIndexedLineSet;
    Kept keepLine(l);
    SetInts(l->coordIndex, {7, 8, -1, 9, 10, 11});
    std::unique_ptr<CVDetail> line(l->GetPickDetail(1));
    ASSERT_TRUE(line->IsKindOf<CVIndexedLineSetDetail>());
    line->ComputeDetails();
    auto* ld = static_cast<CVIndexedLineSetDetail*>(line.get());
    ASSERT_EQ(ld->GetNumPoints(), 3);
    EXPECT_EQ(ld->GetPoint(0).GetCoordinateIndex(), 3);
    EXPECT_EQ(ld->GetGeometry(), l);

    auto* p = new CVPointSet;
    Kept keepPoints(p);
    std::unique_ptr<CVDetail> point(p->GetPickDetail(42));
    ASSERT_TRUE(point->IsKindOf<CVPointSetDetail>());
    point->ComputeDetails();
    auto* pd = static_cast<CVPointSetDetail*>(point.get());
    ASSERT_EQ(pd->GetNumPoints(), 1);
    EXPECT_EQ(pd->GetPoint(0).GetCoordinateIndex(), 42);
    EXPECT_EQ(pd->GetGeometry(), p);

    CVPointInfo info;
    EXPECT_EQ(info.GetCoordinateIndex(), -1);
    info.SetCoordinateIndex(5);
    CVPointInfo copy = info;
    EXPECT_EQ(copy.GetCoordinateIndex(), 5);
}

TEST(IndexedNodes, ColourGradientSumsTheChannelDifferences)
{
    EXPECT_FLOAT_EQ(CVColor::Gradient({1, 0.5f, 0}, {0, 0.75f, 0.5f}), 1.75f);
    EXPECT_FLOAT_EQ(CVColor::Gradient({0.2f, 0.2f, 0.2f}, {0.2f, 0.2f, 0.2f}), 0.0f);
}

} // namespace

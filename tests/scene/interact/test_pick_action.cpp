// Picking through the selection mode: each kind of geometry is found with
// the part that was hit, the closest hit is elected by depth and by the
// rules of the groups above it, and only what the frame shows can be hit.
#include "scene/nodes/Cone.h"
#include "scene/nodes/Cylinder.h"
#include "scene/nodes/DepthBuffer.h"
#include "scene/nodes/Grid.h"
#include "scene/nodes/Markers.h"
#include "scene/nodes/Polygon.h"
#include "scene/nodes/Sphere.h"
#include "scene/nodes/Switch.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Extrusion.h"
#include "scene/model/RefPtr.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/Text.h"
#include "tests/scene/interact/PickScenes.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

using namespace lumo::test;

namespace {

const CVPickAperture kEmpty;

TEST(Pick, TheCentreOfEachPrimitiveGivesItsShapeAndPart)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* box = new CVBox;
    box->size.SetValue(0.6f, 0.6f, 0.6f);
    auto* cone = new CVCone;
    cone->bottomRadius.SetValue(0.3f);
    cone->height.SetValue(0.6f);
    auto* cylinder = new CVCylinder;
    cylinder->radius.SetValue(0.3f);
    cylinder->height.SetValue(0.6f);
    auto* sphere = new CVSphere;
    sphere->radius.SetValue(0.3f);
    CVGeometry* geometries[] = {box, cone, cylinder, sphere};
    CVShape* shapes[4];
    CVTransform* places[4];
    for (int i = 0; i < 4; ++i) {
        shapes[i] = ShapeOf(geometries[i]);
        places[i] = Placed(shapes[i], -1.5f + float(i), 0.0f);
        scene.Add(places[i]);
    }
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(p.At(scene.camera, -1.5 + i, 0.0), 1);
        ASSERT_EQ(p.action.GetNumPickedShapes(), 1) << i;
        CVPickedShape* hit = p.action.GetClosestPickedShape();
        ASSERT_NE(hit, nullptr) << i;
        EXPECT_EQ(hit->GetPath(), (CVNodePath{scene.camera, places[i], shapes[i]})) << i;
        CVDetail* d = hit->GetDetail();
        switch (i) {
        case 0:
            ASSERT_TRUE(d && d->IsKindOf<CVBoxDetail>());
            EXPECT_EQ(static_cast<CVBoxDetail*>(d)->GetPart(), CVBox::FRONT);
            EXPECT_EQ(static_cast<CVBoxDetail*>(d)->GetGeometry(), box);
            break;
        case 1:
            ASSERT_TRUE(d && d->IsKindOf<CVConeDetail>());
            EXPECT_EQ(static_cast<CVConeDetail*>(d)->GetPart(), CVCone::SIDES);
            EXPECT_EQ(static_cast<CVConeDetail*>(d)->GetGeometry(), cone);
            break;
        case 2:
            ASSERT_TRUE(d && d->IsKindOf<CVCylinderDetail>());
            EXPECT_EQ(static_cast<CVCylinderDetail*>(d)->GetPart(), CVCylinder::TOP);
            EXPECT_EQ(static_cast<CVCylinderDetail*>(d)->GetGeometry(), cylinder);
            break;
        default:
            EXPECT_EQ(d, nullptr) << "a sphere has no detail";
        }
    }
    // Between the primitives there is nothing.
    p.At(scene.camera, -1.0, 0.0);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    EXPECT_EQ(p.action.GetClosestPickedShape(), nullptr);
    EXPECT_EQ(p.action.GetClosestIndex(), -1);
}

CVCoordinate* ThreeQuads()
{
    return Coords({{-1.8f, -0.5f, 0}, {-1.0f, -0.5f, 0}, {-1.0f, 0.5f, 0}, {-1.8f, 0.5f, 0},
                   {-0.4f, -0.5f, 0}, {0.4f, -0.5f, 0}, {0.4f, 0.5f, 0}, {-0.4f, 0.5f, 0},
                   {1.0f, -0.5f, 0}, {1.8f, -0.5f, 0}, {1.8f, 0.5f, 0}, {1.0f, 0.5f, 0}});
}

// The detail of the closest hit as an index detail, its points computed.
CVIndexDetail* IndexDetailOf(const CVPickAction& action)
{
    CVPickedShape* hit = action.GetClosestPickedShape();
    CVDetail* d = hit ? hit->GetDetail() : nullptr;
    return d && d->IsKindOf<CVIndexDetail>() ? static_cast<CVIndexDetail*>(d) : nullptr;
}

TEST(Pick, EachFaceOfAFaceSetIsFoundWithItsPoints)
{
    // Convex, tessellated, the flat charts' fast path, coloured.
    for (int kind = 0; kind < 4; ++kind) {
        Picker p;
        HeldCamera scene(OrthoCamera(4.0f));
        auto* f = new CVIndexedFaceSet;
        f->coord.SetValue(ThreeQuads());
        SetInts(f->coordIndex, {0, 1, 2, 3, -1, 4, 5, 6, 7, -1, 8, 9, 10, 11});
        f->solid.SetValue(0);
        if (kind == 1)
            f->convex.SetValue(0);
        if (kind == 2)
            f->normalAxis = L"Z";
        if (kind == 3)
            f->color.SetValue(Colours({{1, 0, 0, 1}}));
        CVShape* shape = ShapeOf(f);
        scene.Add(shape);
        const double centres[3] = {-1.4, 0.0, 1.4};
        for (int face = 0; face < 3; ++face) {
            p.At(scene.camera, centres[face], 0.0);
            ASSERT_EQ(p.action.GetNumPickedShapes(), 1) << kind << " " << face;
            EXPECT_EQ(p.Closest(), shape);
            CVIndexDetail* d = IndexDetailOf(p.action);
            ASSERT_TRUE(d && d->IsKindOf<CVIndexedFaceSetDetail>()) << kind;
            EXPECT_EQ(d->GetIndex(), face) << kind;
            EXPECT_EQ(static_cast<CVIndexedFaceSetDetail*>(d)->GetGeometry(), f);
            ASSERT_EQ(d->GetNumPoints(), 4);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(d->GetPoint(i).GetCoordinateIndex(), face * 5 + i) << kind; // positions in coordIndex
        }
    }
}

TEST(Pick, EachPolylineOfALineSetIsFound)
{
    // Drawn one by one (with colours) and from an array (without).
    for (int kind = 0; kind < 2; ++kind) {
        Picker p;
        HeldCamera scene(OrthoCamera(4.0f));
        auto* l = new CVIndexedLineSet;
        l->coord.SetValue(Coords({{-1.5f, 1, 0}, {1.5f, 1, 0}, {-1.5f, -1, 0}, {0, -1, 0}, {1.5f, -1, 0}}));
        SetInts(l->coordIndex, {0, 1, -1, 2, 3, 4});
        if (kind == 0)
            l->color.SetValue(Colours({{1, 0, 0, 1}}));
        CVShape* shape = ShapeOf(l);
        scene.Add(shape);
        for (int line = 0; line < 2; ++line) {
            p.At(scene.camera, 0.7, line == 0 ? 1.0 : -1.0, 3.0);
            ASSERT_EQ(p.action.GetNumPickedShapes(), 1) << kind;
            EXPECT_EQ(p.Closest(), shape);
            CVIndexDetail* d = IndexDetailOf(p.action);
            ASSERT_TRUE(d && d->IsKindOf<CVIndexedLineSetDetail>());
            EXPECT_EQ(d->GetIndex(), line);
            EXPECT_EQ(d->GetNumPoints(), line == 0 ? 2 : 3);
            EXPECT_EQ(d->GetPoint(0).GetCoordinateIndex(), line == 0 ? 0 : 3);
        }
        p.At(scene.camera, 0.7, 0.0, 3.0);
        EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    }
}

TEST(Pick, EachPointOfAPointSetIsFound)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* points = new CVPointSet;
    points->coord.SetValue(Coords({{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}}));
    CVShape* shape = ShapeOf(points);
    scene.Add(shape);
    const double where[3][2] = {{-1, 0}, {0, 1}, {1, 0}};
    for (int i = 0; i < 3; ++i) {
        p.At(scene.camera, where[i][0], where[i][1], 3.0);
        ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
        CVIndexDetail* d = IndexDetailOf(p.action);
        ASSERT_TRUE(d && d->IsKindOf<CVPointSetDetail>());
        EXPECT_EQ(d->GetIndex(), i);
        ASSERT_EQ(d->GetNumPoints(), 1);
        EXPECT_EQ(d->GetPoint(0).GetCoordinateIndex(), i);
    }
}

TEST(Pick, MarkersAndPolygonsAreHitWithoutDetailAndGridsNever)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* star = new CVStar;
    star->size.SetValue(1, 1, 1);
    star->SetMarkerFlag(1);
    CVShape* starShape = ShapeOf(star);
    scene.Add(Placed(starShape, -1, 0));
    auto* polygon = new CVPolygon;
    const Point3fStruct square[4] = {{0.5f, -0.5f, 0}, {1.5f, -0.5f, 0}, {1.5f, 0.5f, 0}, {0.5f, 0.5f, 0}};
    polygon->SetPointArray(square, 4);
    CVShape* polygonShape = ShapeOf(polygon);
    scene.Add(polygonShape);
    auto* grid = new CVGrid;
    grid->lineWidth.SetValue(2.0f);
    grid->xSpacing.SetValue(0.25f);
    grid->ySpacing.SetValue(0.25f);
    scene.Add(ShapeOf(grid));

    p.At(scene.camera, -1, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.Closest(), starShape);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetDetail(), nullptr);
    p.At(scene.camera, 1, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.Closest(), polygonShape);
    p.At(scene.camera, 0, 1.5, 5.0); // grid lines only
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
}

// A shape of two lines of text, large enough to hit either line.
CVShape* TwoLines(CVBaseFontStyle* style, CVText** out)
{
    auto* text = new CVText;
    text->string.Add(std::wstring(L"HHHH"));
    text->string.Add(std::wstring(L"HHHH"));
    text->fontStyle.SetValue(style);
    text->SetSelectableFlag(1);
    *out = text;
    return ShapeOf(text);
}

TEST(Pick, OutlineTextNamesItsLineAndRasterTextIsHitAsAWhole)
{
    Picker p;
    HeldCamera words(OrthoCamera(4.0f));
    auto* outline = new CVFontStyle;
    outline->size.SetValue(0.8f);
    outline->justify.Add(std::wstring(L"MIDDLE"));
    outline->justify.Add(std::wstring(L"MIDDLE"));
    CVText* outlineText = nullptr;
    words.Add(TwoLines(outline, &outlineText));
    // The lower line of the outline text, through a broad aperture.
    p.At(words.camera, 0, -0.35, 9.0);
    ASSERT_GE(p.action.GetNumPickedShapes(), 1);
    auto* detail = dynamic_cast<CVTextDetail*>(p.action.GetClosestPickedShape()->GetDetail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->GetGeometry(), outlineText);
    EXPECT_EQ(detail->GetLineNumber(), 1u);

    // A raster text is one part: no line is named.
    HeldCamera label(OrthoCamera(4.0f));
    auto* raster = new CVBitmapFontStyle;
    raster->size.SetValue(36.0f);
    raster->justify.Add(std::wstring(L"MIDDLE"));
    raster->justify.Add(std::wstring(L"MIDDLE"));
    CVText* rasterText = nullptr;
    label.Add(TwoLines(raster, &rasterText));
    p.At(label.camera, 0, -0.1, 9.0);
    ASSERT_GE(p.action.GetNumPickedShapes(), 1);
    detail = dynamic_cast<CVTextDetail*>(p.action.GetClosestPickedShape()->GetDetail());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->GetGeometry(), rasterText);
    EXPECT_EQ(detail->GetLineNumber(), CVPickNames::kNoName);
}

TEST(PickDetails, TextGridAndExtrusionDetailsHoldTheirGeometry)
{
    // A detail kept past the pick keeps its geometry alive.
    CVRefPtr<CVText> text(new CVText);
    CVRefPtr<CVElevationGrid> grid(new CVElevationGrid);
    CVRefPtr<CVExtrusion> extrusion(new CVExtrusion);
    std::unique_ptr<CVDetail> a(text->GetPickDetail(0));
    std::unique_ptr<CVDetail> b(grid->GetPickDetail(0));
    std::unique_ptr<CVDetail> c(extrusion->GetPickDetail(0));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(text->GetRef(), 2);
    EXPECT_EQ(grid->GetRef(), 2);
    EXPECT_EQ(extrusion->GetRef(), 2);
    a.reset();
    b.reset();
    c.reset();
    EXPECT_EQ(text->GetRef(), 1);
    EXPECT_EQ(grid->GetRef(), 1);
    EXPECT_EQ(extrusion->GetRef(), 1);
}

TEST(Pick, TheNearerOfTwoOverlappingShapesIsElected)
{
    for (int nearFirst = 0; nearFirst < 2; ++nearFirst) {
        Picker p;
        HeldCamera scene(OrthoCamera(4.0f));
        CVShape* nearShape = BoxShape(1, 1, 0.5f);
        CVShape* farShape = BoxShape(2, 2, 0.5f);
        CVTransform* nearer = Placed(nearShape, 0.2f, 0, 1);
        CVTransform* farther = Placed(farShape, 0, 0, -1);
        if (nearFirst)
            scene.Add(nearer).Add(farther);
        else
            scene.Add(farther).Add(nearer);
        p.At(scene.camera, 0, 0);
        ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
        EXPECT_EQ(p.Closest(), nearShape) << nearFirst;
        EXPECT_EQ(p.action.GetClosestIndex(), nearFirst ? 0 : 1);
        EXPECT_LT(p.action.GetClosestPickedShape()->GetMinDepth(),
                  p.action.GetPickedShape(nearFirst ? 1 : 0)->GetMinDepth());
        // Beside the nearer one only the farther is there.
        p.At(scene.camera, -0.8, 0);
        ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
        EXPECT_EQ(p.Closest(), farShape);
    }
}

// A square of side 1 around the origin whose left edge lies at z = 0 and
// whose right edge at z = 'rightZ'; drawn from both sides.
CVShape* Square(float rightZ)
{
    auto* f = new CVIndexedFaceSet;
    f->coord.SetValue(Coords({{-0.5f, -0.5f, 0}, {0.5f, -0.5f, rightZ}, {0.5f, 0.5f, rightZ}, {-0.5f, 0.5f, 0}}));
    SetInts(f->coordIndex, {0, 1, 2, 3});
    f->solid.SetValue(0);
    return ShapeOf(f);
}

TEST(Pick, TiesGoToTheSmallerFarDepthThenToTheLaterShape)
{
    // Seen whole through a wide aperture, a flat square and one that leans
    // back from its left edge start at the same depth; the flat one ends
    // sooner, whichever is drawn first.
    for (int flatFirst = 0; flatFirst < 2; ++flatFirst) {
        Picker p;
        HeldCamera scene(OrthoCamera(4.0f));
        CVShape* flat = Square(0);
        CVShape* leaning = Square(-1);
        if (flatFirst)
            scene.Add(flat).Add(leaning);
        else
            scene.Add(leaning).Add(flat);
        p.At(scene.camera, 0, 0, 40);
        ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
        EXPECT_EQ(p.action.GetPickedShape(0)->GetMinDepth(), p.action.GetPickedShape(1)->GetMinDepth());
        EXPECT_NE(p.action.GetPickedShape(0)->GetMaxDepth(), p.action.GetPickedShape(1)->GetMaxDepth());
        EXPECT_EQ(p.Closest(), flat) << flatFirst;
    }
    // Two equal squares in the same place: the one drawn later.
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    CVShape* first = Square(0);
    CVShape* second = Square(0);
    scene.Add(first).Add(second);
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
    EXPECT_EQ(p.Closest(), second);
}

TEST(Pick, ATransparentShapeInFrontIsElected)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    CVShape* glass = BoxShape(1, 1, 0.2f);
    glass->appearance.GetValue()->material.GetValue()->transparency.SetValue(0.7f);
    CVShape* solid = BoxShape(1, 1, 0.2f);
    scene.Add(Placed(solid, 0, 0, -1)).Add(Placed(glass, 0, 0, 1));
    p.At(scene.camera, 0, 0);
    // The frame queued it for its transparent pass; the pick still sees it
    // where it is.
    EXPECT_TRUE(glass->geometry.GetValue()->IsTransparent());
    ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
    EXPECT_EQ(p.Closest(), glass);
}

// An annotation: a shape marked as one, in a depth-buffer group of the rule,
// placed behind (z = -2) a box that covers it (z = 1).
struct AnnotatedScene {
    HeldCamera scene{OrthoCamera(4.0f)};
    CVShape* cover = BoxShape(2, 2, 0.2f);
    CVShape* note = BoxShape(1, 1, 0);
    CVDepthBuffer* group;
    explicit AnnotatedScene(CVDepthBufferWhen when) : group(new CVDepthBuffer(when))
    {
        note->geometry.GetValue()->SetAnnotationFlag(1);
        group->children.Add(Placed(note, 0, 0, -2));
        scene.Add(Placed(cover, 0, 0, 1)).Add(group);
    }
};

TEST(PickElectionRules, AnAnnotationDrawnOnTopWinsOverNearerShapes)
{
    Picker p;
    AnnotatedScene s(DEPTH_BUFFER_ON_TOP);
    p.At(s.scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
    EXPECT_EQ(p.Closest(), s.note);
    // Without names for the groups the rule still holds.
    p.action.SetMinimizeNameStackDepth(nullptr);
    p.At(s.scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{s.note}));
    p.action.UnSetMinimizeNameStackDepth();
    // Where it is not, the cover is.
    p.At(s.scene.camera, 0.8, 0.8);
    EXPECT_EQ(p.Closest(), s.cover);
}

TEST(PickElectionRules, TheLastOfSeveralOnTopHitsWins)
{
    Picker p;
    AnnotatedScene s(DEPTH_BUFFER_ON_TOP);
    auto* second = new CVDepthBuffer(DEPTH_BUFFER_ON_TOP);
    CVShape* later = BoxShape(1, 1, 0);
    second->children.Add(Placed(later, 0, 0, -3));
    s.scene.Add(second);
    p.At(s.scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 3);
    EXPECT_EQ(p.Closest(), later);
}

TEST(PickElectionRules, ADeferredAnnotationIsElectedOnlyWhenNothingElseIsHit)
{
    Picker p;
    AnnotatedScene s(DEPTH_BUFFER_DEFERRED);
    // Nearer than the cover, still not elected over it.
    s.note->geometry.GetValue()->SetAnnotationFlag(1);
    static_cast<CVTransform*>(s.group->children[0])->translation.SetValue(0, 0, 2);
    p.At(s.scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
    EXPECT_EQ(p.Closest(), s.cover);
    // Alone under the aperture it is.
    static_cast<CVTransform*>(s.scene.camera->children[0])->translation.SetValue(5, 0, 1);
    p.At(s.scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.Closest(), s.note);
    // A group that elects by depth changes nothing.
    Picker q;
    AnnotatedScene plain(DEPTH_BUFFER_ALWAYS);
    q.At(plain.scene.camera, 0, 0);
    EXPECT_EQ(q.Closest(), plain.cover);
}

TEST(Pick, WhatIsNotSelectableIsNeverHit)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    CVShape* hidden = BoxShape(1, 1, 1);
    hidden->geometry.GetValue()->SetSelectableFlag(0);
    auto* closed = new CVGroup;
    closed->selectable.SetValue(0);
    closed->children.Add(Placed(BoxShape(1, 1, 1), 0, 0, 2));
    CVShape* behind = BoxShape(1, 1, 1);
    scene.Add(Placed(behind, 0, 0, -2)).Add(Placed(hidden, 0, 0, 1)).Add(closed);
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.Closest(), behind);
}

TEST(Pick, ThroughASwitchOnlyTheChosenChildIsSeen)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* sw = new CVSwitch;
    CVShape* shapes[3] = {BoxShape(1, 1, 1), BoxShape(1, 1, 1), BoxShape(1, 1, 1)};
    for (int i = 0; i < 3; ++i)
        sw->choice.Add(Placed(shapes[i], 0, 0, float(i) * 0.5f));
    scene.Add(sw);
    for (int which = 0; which < 3; ++which) {
        sw->whichChoice.SetValue(which);
        p.At(scene.camera, 0, 0);
        ASSERT_EQ(p.action.GetNumPickedShapes(), 1) << which;
        EXPECT_EQ(p.Closest(), shapes[which]);
        const CVNodePath& path = p.action.GetClosestPickedShape()->GetPath();
        ASSERT_EQ(path.size(), 4u);
        EXPECT_EQ(path[1], sw);
    }
    sw->whichChoice.SetValue(-1);
    p.At(scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    sw->whichChoice.SetValue(3); // past the last choice
    p.At(scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
}

TEST(Pick, TheOverlayIsPickedInTheSamePass)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    HeldCamera overlay(OrthoCamera(4.0f));
    CVShape* under = BoxShape(2, 2, 0.2f);
    CVShape* over = BoxShape(1, 1, 0.2f);
    scene.Add(Placed(under, 0, 0, 1));
    overlay.Add(Placed(over, 0, 0, -1));
    p.render.Render(scene.camera);
    p.action.SetAperture(WindowX(0), WindowY(0), 1, 1);
    // As a node: a camera pointer would ask for a pick through that camera.
    ASSERT_EQ(p.action.Apply(scene.camera, static_cast<CVNode*>(overlay.camera)), 1);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 2);
    EXPECT_EQ(p.action.GetPickedShape(0)->GetShape(), under);
    EXPECT_EQ(p.action.GetPickedShape(1)->GetShape(), over);
    EXPECT_EQ(p.Closest(), under);
}

TEST(Pick, MinimisedPathsHoldOnlyShapesAndTheGivenClass)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* group = new CVGroup;
    CVShape* shape = BoxShape(1, 1, 1);
    CVTransform* place = Placed(shape, 0, 0);
    group->children.Add(place);
    scene.Add(group);
    p.action.SetMinimizeNameStackDepth(CVTransform::GetThisClass());
    EXPECT_EQ(p.action.IsMinimizingNameStackDepth(), 1);
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{place, shape}));
    p.action.SetMinimizeNameStackDepth(nullptr);
    p.At(scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{shape}));
    p.action.UnSetMinimizeNameStackDepth();
    p.At(scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{scene.camera, group, place, shape}));
}

// A node that draws a square of side 1 by itself, not through a shape.
class SelfDrawn : public CVChild {
public:
    void Render(CVState*, CVGLRenderArea*) override
    {
        glBegin(GL_QUADS);
        glVertex3f(-0.5f, -0.5f, 0.0f);
        glVertex3f(0.5f, -0.5f, 0.0f);
        glVertex3f(0.5f, 0.5f, 0.0f);
        glVertex3f(-0.5f, 0.5f, 0.0f);
        glEnd();
    }
};

TEST(Pick, ANodeDrawingByItselfEndsThePathAboveIt)
{
    // Its own name takes the place of a part: the path ends with its
    // parent, and there is no detail.
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    auto* group = new CVGroup;
    group->children.Add(new SelfDrawn);
    scene.Add(group);
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetPath(), (CVNodePath{scene.camera, group}));
    EXPECT_EQ(p.action.GetClosestPickedShape()->GetDetail(), nullptr);
    // Alone as the root it leaves no path, and no record.
    auto* alone = new SelfDrawn;
    Kept keep(alone);
    p.action.SetAperture(WindowX(0), WindowY(0), 1, 1);
    EXPECT_EQ(p.action.Apply(alone), 1);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    EXPECT_EQ(p.action.GetClosestPickedShape(), nullptr);
}

TEST(Pick, ANullRootOrAnAreaWithoutContextPicksNothing)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    scene.Add(BoxShape(1, 1, 1));
    p.At(scene.camera, 0, 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 1);
    EXPECT_EQ(p.action.Apply(nullptr), 0);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0) << "the last results are gone";
    EXPECT_THROW(p.action.GetPickedShape(0), std::out_of_range);
    EXPECT_THROW(p.action.GetPickedShape(-1), std::out_of_range);

    CVPickAction none(nullptr);
    none.SetAperture(50, 50, 1, 1);
    EXPECT_EQ(none.Apply(scene.camera), 0);
    EXPECT_EQ(none.GetClosestPickedShape(), nullptr);

    p.At(scene.camera, 0, 0);
    p.action.Reset();
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    EXPECT_EQ(p.action.GetClosestIndex(), -1);
}

TEST(PickAperture, IsConvertedToOpenGLWindowCoordinates)
{
    Picker p;
    CVGLRenderArea* area = p.render.Area();
    area->SetViewport(0, 10, 100, 100);
    p.action.SetAperture(10, 20, 3, 4);
    const CVPickAperture& a = p.action.GetAperture();
    EXPECT_DOUBLE_EQ(a.x, 10);
    EXPECT_DOUBLE_EQ(a.y, 90); // 100 - 20 + 10
    EXPECT_DOUBLE_EQ(a.width, 3);
    EXPECT_DOUBLE_EQ(a.height, 4);
    area->SetViewport(0, 0, 100, 100);
    area->SetGlobalStretchFactor(2.0f);
    p.action.SetAperture(10, 20, 3, 4);
    EXPECT_DOUBLE_EQ(a.x, 5);
    EXPECT_DOUBLE_EQ(a.y, 90);
    EXPECT_DOUBLE_EQ(a.width, 3);
    area->SetGlobalStretchFactor(1.0f);
    area->SetGlobalScaleFactor(0.5f);
    p.action.SetAperture(10, 20, 3, 4);
    EXPECT_DOUBLE_EQ(a.x, 20);
    EXPECT_DOUBLE_EQ(a.y, 60);
    EXPECT_DOUBLE_EQ(a.width, 6);
    EXPECT_DOUBLE_EQ(a.height, 8);
    area->SetGlobalScaleFactor(1.0f);
    p.action.SetAperture(&kEmpty);
    EXPECT_DOUBLE_EQ(a.width, 0);
    p.action.SetAperture(nullptr);
    EXPECT_DOUBLE_EQ(a.height, 0);
}

TEST(PickAperture, OutsideTheViewportOrEmptyItPicksNothing)
{
    Picker p;
    HeldCamera scene(OrthoCamera(4.0f));
    CVShape* wall = BoxShape(20, 20, 1); // beyond every side of the window
    scene.Add(wall);
    p.render.Render(scene.camera);
    auto pickAt = [&](double x, double y, double w, double h) {
        p.action.SetAperture(x, y, w, h);
        EXPECT_EQ(p.action.Apply(scene.camera), 1);
        return p.action.GetNumPickedShapes();
    };
    EXPECT_EQ(pickAt(50, 50, 1, 1), 1);
    EXPECT_EQ(pickAt(150, 50, 3, 3), 0);
    EXPECT_EQ(pickAt(50, -20, 3, 3), 0);
    EXPECT_EQ(pickAt(-1.5, 50, 3, 3), 0) << "the aperture ends on the edge";
    EXPECT_EQ(pickAt(-1.4, 50, 3, 3), 1) << "it reaches into the window";
    EXPECT_EQ(pickAt(101.4, 50, 3, 3), 1);
    EXPECT_EQ(pickAt(101.5, 50, 3, 3), 0);
    EXPECT_EQ(pickAt(50, 50, 0, 3), 0);
    EXPECT_EQ(pickAt(50, 50, 3, 0), 0);
    EXPECT_EQ(pickAt(50, 50, -3, 3), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(pickAt(nan, 50, 3, 3), 0);
    EXPECT_EQ(pickAt(50, 50, inf, 3), 0);
    // An area without a viewport shows nothing.
    p.render.Area()->SetViewport(0, 0, 0, 0);
    EXPECT_EQ(pickAt(0, 0, 3, 3), 0);
}

TEST(PickAperture, WhatLiesOutsideTheWindowIsNeverHit)
{
    // With the world inflated OpenGL draws three times the window; the part
    // of an aperture over the edge must not see what lies beyond it.
    SceneRender render;
    CVGLRenderArea::SetInflateWorld(1);
    HeldCamera scene(OrthoCamera(4.0f));
    CVShape* outside = BoxShape(0.5f, 0.5f, 1);
    CVShape* inside = BoxShape(0.5f, 0.5f, 1);
    scene.Add(Placed(outside, 2.3f, 0)).Add(Placed(inside, -1.9f, 0));
    render.Render(scene.camera);
    CVPickAction action(render.Area());
    action.SetAperture(100, 50, 20, 20);
    action.Apply(scene.camera);
    EXPECT_EQ(action.GetNumPickedShapes(), 0) << "only the window's last pixels are looked through";
    action.SetAperture(0, 50, 20, 20);
    action.Apply(scene.camera);
    ASSERT_EQ(action.GetNumPickedShapes(), 1);
    EXPECT_EQ(action.GetClosestPickedShape()->GetShape(), inside);
    CVGLRenderArea::SetInflateWorld(0);
}

// Three boxes one behind the other: three hit records of five entries each
// (name count, two depths, the shape's number and its part).
struct Stack {
    HeldCamera scene{OrthoCamera(4.0f)};
    CVShape* shapes[3];
    Stack()
    {
        for (int i = 0; i < 3; ++i) {
            shapes[i] = BoxShape(1, 1, 0.2f);
            scene.Add(Placed(shapes[i], 0, 0, float(i)));
        }
    }
};

TEST(PickBuffer, AnOverflowIsPickedAgainWithALargerBuffer)
{
    Picker p;
    Stack s;
    p.action.SetPickBufferSize(15);
    p.At(s.scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetHitCount(), 3);
    EXPECT_EQ(p.action.GetPickBufferSize(), 15u) << "it fitted";
    p.action.SetPickBufferSize(14);
    p.At(s.scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetHitCount(), 3);
    EXPECT_FALSE(p.action.IsPartialResult());
    EXPECT_GT(p.action.GetPickBufferSize(), 14u);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 3);
    EXPECT_EQ(p.Closest(), s.shapes[2]);
    // Even from nothing.
    p.action.SetPickBufferSize(0);
    p.At(s.scene.camera, 0, 0);
    EXPECT_EQ(p.action.GetNumPickedShapes(), 3);
}

TEST(PickBuffer, AtItsLimitTheCompleteRecordsThatFitAreKept)
{
    Picker p;
    Stack s;
    p.action.SetPickBufferLimit(15);
    p.action.SetPickBufferSize(15);
    p.At(s.scene.camera, 0, 0);
    EXPECT_FALSE(p.action.IsPartialResult());
    EXPECT_EQ(p.action.GetNumPickedShapes(), 3);

    p.action.SetPickBufferLimit(14);
    EXPECT_EQ(p.action.GetPickBufferSize(), 14u);
    p.At(s.scene.camera, 0, 0);
    EXPECT_TRUE(p.action.IsPartialResult());
    EXPECT_LT(p.action.GetHitCount(), 0);
    ASSERT_EQ(p.action.GetNumPickedShapes(), 2) << "the third record did not fit";
    EXPECT_EQ(p.action.GetPickedShape(0)->GetShape(), s.shapes[0]);
    EXPECT_EQ(p.Closest(), s.shapes[1]);

    p.action.SetPickBufferLimit(4);
    p.At(s.scene.camera, 0, 0);
    EXPECT_TRUE(p.action.IsPartialResult());
    EXPECT_EQ(p.action.GetNumPickedShapes(), 0);
    EXPECT_EQ(p.action.GetClosestPickedShape(), nullptr);
    EXPECT_EQ(p.action.GetPickBufferLimit(), 4u);
    p.action.SetPickBufferLimit(0xFFFFFFFFu);
    EXPECT_EQ(p.action.GetPickBufferLimit(), CVPickAction::kMaxPickBufferSize);
}

} // namespace

// A planar polygon, convex or not, tessellated when its points are set, with
// an optional outline drawn around it. Made by program code (planogram
// sections and labels); not a document element.
#pragma once

#include "scene/model/Structs.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/Tessellator.h"

#include <vector>

class CVPolygon : public CVGeometry {
    LUMO_DECLARE_CLASS(CVPolygon)

public:
    CVPolygon();

    // Copies the points (the caller keeps its array) and tessellates them.
    // A point equal to the one before it, and a last point equal to the
    // first, are left out. Null or a count below 1 empties the polygon.
    void SetPointArray(const Point3fStruct* points, int count);
    // Forgets the points and the primitives. The polygon always holds its
    // own copy, so the argument (whether the array was the polygon's to
    // free) changes nothing.
    void DeletePointArray(int owned = 1);
    const std::vector<Point3fStruct>& GetPoints() const { return mPoints; }
    // Rebuilds the primitives from the kept points: one triangle fan when
    // convex (three points at least), else the GLU tessellator.
    void TessellatePolygon();
    const std::vector<lumo::TessPrimitive>& GetPrimitives() const { return mPrimitives; }

    void SetConvex(unsigned char convex) { mConvex = convex; }
    // Whether the points run counter-clockwise seen from the front (1,
    // the default); 0 turns the lit side round.
    void SetCCW(unsigned char ccw) { mCcw = ccw; }
    unsigned char GetConvex() const { return mConvex; }
    void SetOutlineVisible(unsigned char visible) { mOutlineVisible = visible; }
    unsigned char GetOutlineVisible() const { return mOutlineVisible; }
    void SetOutlineColor(const RGBColorStruct& color) { mOutlineColor = color; }
    const RGBColorStruct& GetOutlineColor() const { return mOutlineColor; }
    void SetOutlineThickness(float thickness) { mOutlineThickness = thickness; }
    float GetOutlineThickness() const { return mOutlineThickness; }

    void Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance) override;
    // The box of the kept points; untouched when there are none.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

private:
    // The outline as a closed line, with its corners as dots when thicker
    // than 2; the drawing state it changes is restored.
    void RenderOutline(CVGLRenderArea* area, float thickness);
    // Texture coordinates of one vertex from the points' box.
    void TexCoord(const Point3fStruct& p, float out[2]) const;

    std::vector<Point3fStruct> mPoints; // the kept points
    unsigned char mConvex = 0;
    unsigned char mCcw = 1;
    unsigned char mOutlineVisible = 0;
    RGBColorStruct mOutlineColor{0.2f, 0.2f, 0.2f};
    float mOutlineThickness = 1.0f;
    Point3fStruct mMin, mMax;
    std::vector<lumo::TessPrimitive> mPrimitives;
};

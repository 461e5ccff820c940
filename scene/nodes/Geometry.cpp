#include "scene/nodes/Geometry.h"

#include "scene/nodes/Appearance.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

LUMO_IMPLEMENT_CLASS(CVGeometry, CVNode)

void CVGeometry::SetModifiedFlag(int on)
{
    if (on)
        mFlags = (mFlags | MODIFIED) & ~std::uint32_t(CACHED);
    else
        mFlags &= ~std::uint32_t(MODIFIED | CACHED);
}

bool CVGeometry::IsKind(Kind kind) const
{
    if (!mKindsKnown) {
        static const struct {
            Kind kind;
            const char* name;
        } names[] = {{KIND_TEXT, "CVText"},
                     {KIND_INDEXED_LINE_SET, "CVIndexedLineSet"},
                     {KIND_LINE_BOX, "CVLineBox"},
                     {KIND_SP_GEOMETRY, "CVSPGeometry"},
                     {KIND_SP_ANNOTATION, "CVSPAnnotation"},
                     {KIND_SP_SECTION, "CVSPSection"},
                     {KIND_ELEVATION_GRID, "CVElevationGrid"}};
        for (const auto& n : names)
            if (IsKindOfClassNamed(n.name))
                mKinds |= n.kind;
        mKindsKnown = true;
    }
    return (mKinds & kind) != 0;
}

CVImageMapClass CVGeometry::GetImageMapClass() const
{
    CVImageMapClass c;
    c.graphShape = IsGraphShape();
    c.annotation = IsAnnotationNode();
    c.pieSlice = IsDetailPieSlice();
    c.lines = IsKind(KIND_INDEXED_LINE_SET);
    c.overlay = GetCrdOverlayIndex();
    return c;
}

void CVGeometry::PreRenderGL(CVState*, CVGLRenderArea* area, CVAppearance* appearance)
{
    CVTexture* texture = appearance ? appearance->GetDrawnTexture(area) : nullptr;
    bool seeThrough = texture && texture->IsTextureTransparent();
    // The alpha test's function is colour-buffer state: saved with it.
    glPushAttrib(seeThrough ? GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT : GL_ENABLE_BIT);
    if (texture)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    if (seeThrough) {
        // Fully transparent texels leave neither colour nor depth behind, so
        // that what lies behind shows through whatever the drawing order;
        // partly transparent ones blend where transparency is on.
        glAlphaFunc(GL_GREATER, 0.0f);
        glEnable(GL_ALPHA_TEST);
        if (area->IsTransparencyEnabled())
            glEnable(GL_BLEND);
    }
    if (IsStippled() && area)
        area->SetStipplePattern(GetStippleIndex());
}

void CVGeometry::PostRenderGL(CVState*, CVGLRenderArea*, CVAppearance*) { glPopAttrib(); }

void CVGeometry::PushTextureScale(float sx, float sy)
{
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glScalef(sx, sy, 1.0f);
    glMatrixMode(GL_MODELVIEW);
}

void CVGeometry::PopTextureScale()
{
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void CVGeometry::CallList(unsigned list) { glCallList(list); }
void CVGeometry::BeginList(unsigned list) { glNewList(list, GL_COMPILE_AND_EXECUTE); }
void CVGeometry::EndList() { glEndList(); }

void CVGeometry::ComputeArea(const std::vector<Point3fStruct>& points, Point3fStruct& out)
{
    out = {0, 0, 0};
    size_t n = points.size();
    if (n < 3)
        return;
    auto add = [&out](const Point3fStruct& q, const Point3fStruct& p) {
        out.x += (p.z - q.z) * (p.y + q.y) / 2;
        out.y += (p.x - q.x) * (p.z + q.z) / 2;
        out.z += (p.x - q.x) * (p.y + q.y) / 2;
    };
    for (size_t k = 0; k + 3 < n; ++k)
        add(points[k], points[k + 1]);
    add(points[n - 3], points[0]);
    out.z = -out.z;
}

void CVGeometry::ComputeNormal(const std::vector<Point3fStruct>& points, int ccw, CVVector& out)
{
    size_t n = points.size();
    CVVector p[4];
    for (size_t i = 0; i < n && i < 4; ++i)
        p[i] = CVVector(points[i]);
    if (n == 3)
        out = (p[1] - p[0]) * (p[2] - p[1]);
    else if (n == 4)
        out = (p[2] - p[0]) * (p[3] - p[1]);
    else if (n > 4) {
        Point3fStruct area;
        ComputeArea(points, area);
        out = CVVector(area);
    } else
        out = CVVector(0, 0, 0);
    if (!ccw)
        out = -out;
}

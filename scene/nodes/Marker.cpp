#include "scene/nodes/Marker.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Appearance.h"

#include <GL/gl.h>

#include <cmath>
#include <utility>

LUMO_IMPLEMENT_CLASS(CVMarker, CVGeometry)

namespace {
// Stands in for a zero extent: flat on screen, yet invertible.
const float kTinyExtent = 1e-6f;

float Magnitude(float v) { return std::isfinite(v) ? std::fabs(v) : 0.0f; }
} // namespace

CVMarker::CVMarker()
{
    size.SetValue(2.0f, 2.0f, 2.0f);
    SetAntialiasedFlag(1);
}

bool CVMarker::DrawingScale(float scale[3]) const
{
    const Point3fStruct& s = size.GetValue();
    const float v[3] = {s.x, s.y, s.z};
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(v[i]))
            return false;
        scale[i] = v[i] == 0.0f ? kTinyExtent : std::fabs(v[i]);
    }
    return true;
}

void CVMarker::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    const Point3fStruct& s = size.GetValue();
    CVVector extent(Magnitude(s.x), Magnitude(s.y), Magnitude(s.z));
    if (IsMarkerNode() && GetShape().GetPlane() == CVMarkerShape::PLANE_XZ)
        std::swap(extent.y, extent.z);
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(extent);
}

void CVMarker::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    float scale[3];
    if (!DrawingScale(scale))
        return;
    CVMarkerShape& shape = GetShape();
    glPushMatrix();
    // A data-point marker faces the viewer: the outline's +z points down the
    // screen. Outlines already in the (x, y) plane face the viewer as they are.
    if (IsMarkerNode() && shape.GetPlane() == CVMarkerShape::PLANE_XZ)
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glScalef(scale[0], scale[1], scale[2]);
    if (state && state->m_bPickMode) {
        shape.DrawWalls(false);
        shape.DrawCaps(false);
        glPopMatrix();
        return;
    }
    PreRenderGL(state, area, appearance);
    glPushAttrib(GL_POLYGON_BIT);
    if (size.GetValue().x < 0.0f)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    bool stretch = StretchesWallTexture() && !IsVRMLCompliant() && appearance && appearance->texture.GetValue();
    if (stretch)
        PushTextureScale(1.0f, scale[1] / scale[0]);
    shape.CallWalls();
    if (stretch)
        PopTextureScale();
    shape.CallCaps();
    glPopAttrib();
    PostRenderGL(state, area, appearance);
    glPopMatrix();
}

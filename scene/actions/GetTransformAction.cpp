#include "scene/actions/GetTransformAction.h"

#include "scene/nodes/Camera.h"
#include "scene/nodes/Transform.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {
const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

void CVGetTransformAction::Reset()
{
    CVGLAction::Reset();
    if (m_pRenderArea)
        m_pRenderArea->GetGLViewport(m_viewport);
    std::copy(kIdentity, kIdentity + 16, m_modelView);
    std::copy(kIdentity, kIdentity + 16, m_projection);
}

int CVGetTransformAction::Apply(CVNode* node)
{
    CVNodePath path{node};
    return Apply(path);
}

int CVGetTransformAction::Apply(const CVNodePath& path)
{
    Reset();
    if (!PrepareContext())
        return 0;
    CVCamera* camera = nullptr;
    for (CVNode* node : path)
        if (node && node->IsKindOf<CVCamera>()) {
            camera = static_cast<CVCamera*>(node);
            break;
        }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (camera) {
        // The camera sets the projection and multiplies its view onto the model-view.
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        camera->Render(m_pState, m_pRenderArea);
        glMatrixMode(GL_PROJECTION);
        glGetDoublev(GL_PROJECTION_MATRIX, m_projection);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    for (CVNode* node : path)
        if (node && node->IsKindOf<CVTransform>())
            node->Render(m_pState, m_pRenderArea);
    glGetDoublev(GL_MODELVIEW_MATRIX, m_modelView);
    glPopMatrix();
    return 1;
}

int CVGetTransformAction::TransformCoord(float x, float y, float z, float& ox, float& oy, float& oz) const
{
    double rx = 0.0, ry = 0.0, rz = 0.0;
    // Without a viewport (an area that was never given one) or with a
    // matrix that cannot be inverted there is no answer: fail visibly
    // rather than hand back NaN.
    bool ok = m_viewport[2] > 0 && m_viewport[3] > 0;
    if (ok && m_type == OBJECT_TO_WINDOW)
        ok = gluProject(x, y, z, m_modelView, m_projection, m_viewport, &rx, &ry, &rz) == GL_TRUE;
    else if (ok && m_type == WINDOW_TO_OBJECT)
        ok = gluUnProject(x, y, z, m_modelView, m_projection, m_viewport, &rx, &ry, &rz) == GL_TRUE;
    ok = ok && std::isfinite(rx) && std::isfinite(ry) && std::isfinite(rz);
    if (!ok)
        rx = ry = rz = 0.0;
    auto clampToFloat = [](double v) { return v > double(FLT_MAX) || v < -double(FLT_MAX) ? 0.0f : float(v); };
    ox = clampToFloat(rx);
    oy = clampToFloat(ry);
    oz = clampToFloat(rz);
    return ok ? 1 : 0;
}

int CVGetTransformAction::TransformCoord(const Point3fStruct& in, Point3fStruct& out) const
{
    return TransformCoord(in.x, in.y, in.z, out.x, out.y, out.z);
}

int CVGetTransformAction::TransformSize(float x, float y, float z, float& ox, float& oy, float& oz) const
{
    float x0, y0, z0, x1, y1, z1;
    int ok = TransformCoord(0.0f, 0.0f, 0.0f, x0, y0, z0) & TransformCoord(x, y, z, x1, y1, z1);
    ox = x1 - x0;
    oy = y1 - y0;
    oz = z1 - z0;
    return ok;
}

int CVGetTransformAction::TransformSize(const Point3fStruct& in, Point3fStruct& out) const
{
    return TransformSize(in.x, in.y, in.z, out.x, out.y, out.z);
}

#include "scene/nodes/PointSet.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"
#include "scene/nodes/Appearance.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVPointSet, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVPointSetDetail, CVIndexDetail)

namespace {
bool Finite(const Point3fStruct& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
} // namespace

CVPointSet::CVPointSet() { pointSize.SetValue(2.0f); }

void CVPointSet::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVPointSet>(L"PointSet")
        .Field(L"color", &CVPointSet::color)
        .Field(L"coord", &CVPointSet::coord)
        .Field(L"pointSize", &CVPointSet::pointSize);
}

CVDetail* CVPointSet::GetPickDetail(unsigned int name) { return new CVPointSetDetail(int(name), this); }

void CVPointSetDetail::ComputeDetails() { SetPoints({CVPointInfo(GetIndex())}); }

void CVPointSet::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (!box)
        return;
    const CVCoordinate* c = coord.GetValue();
    if (!c) {
        box->SetCenter(CVVector(0, 0, 0));
        box->SetSize(CVVector(0, 0, 0));
        return;
    }
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    const Point3fStruct* points = c->point.GetValues();
    for (int i = 0, n = c->point.GetNum(); i < n; ++i) {
        if (!Finite(points[i]))
            continue;
        const float v[3] = {points[i].x, points[i].y, points[i].z};
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], v[a]);
            hi[a] = std::max(hi[a], v[a]);
        }
    }
    if (lo[0] <= hi[0])
        box->Set(CVVector(lo[0], lo[1], lo[2]), CVVector(hi[0], hi[1], hi[2]));
    else
        box->MakeEmpty();
}

bool CVPointSet::AllFinite()
{
    const CVCoordinate* c = coord.GetValue();
    const Point3fStruct* points = c ? c->point.GetValues() : nullptr;
    const int n = c ? c->point.GetNum() : 0;
    if (points != mCheckedPoints || n != mCheckedCount || IsModified()) {
        mAllFinite = std::all_of(points, points + n, Finite);
        mCheckedPoints = points;
        mCheckedCount = n;
        SetModifiedFlag(0);
    }
    return mAllFinite;
}

void CVPointSet::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    float size = pointSize.GetValue();
    if (!(size > 0.0f) || !std::isfinite(size))
        size = 2.0f;
    float s = area ? area->GetGlobalScaleFactor() : 1.0f;
    if (!(s > 0.0f) || !std::isfinite(s) || (s < 1.0f && size <= 1.0f))
        s = 1.0f;
    float m = 1.0f;
    if (!IsVRMLCompliant()) {
        // Points grow with the scene's scale, as the model-view's x scale.
        GLfloat mv[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, mv);
        m = std::sqrt(mv[0] * mv[0] + mv[4] * mv[4] + mv[8] * mv[8]);
        if (!std::isfinite(m) || !(m > 0.0f))
            m = 1.0f;
        if (size < 1.0f)
            m = std::min(m, 30.0f);
        if (s > 1.0f)
            s *= 2.0f;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_POINT_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
    float drawn = size * s * m;
    if (IsAntialiased() && drawn > 0.3f)
        drawn -= 0.3f;
    if (drawn > 0.0f && std::isfinite(drawn))
        glPointSize(drawn);
    if (state && state->m_bPickMode) {
        Pick();
    } else {
        glDisable(GL_LIGHTING);
        if (IsVRMLCompliant() && appearance && !color.GetValue())
            if (const CVMaterial* mat = appearance->material.GetValue()) {
                // Points are unlit: their colour is the material's emissive colour.
                const RGBColorStruct& e = mat->emissiveColor.GetValue();
                glColor3f(e.red, e.green, e.blue);
                const GLfloat black[4] = {0, 0, 0, 1};
                glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
            }
        Draw();
    }
    glPopAttrib();
}

void CVPointSet::Draw()
{
    const CVCoordinate* c = coord.GetValue();
    if (!c) {
        glBegin(GL_POINTS);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glEnd();
        return;
    }
    const Point3fStruct* points = c->point.GetValues();
    const int n = c->point.GetNum();
    if (n == 0)
        return;
    const CVColor* k = color.GetValue();
    const RGBAColorStruct* colours = k ? k->color.GetValues() : nullptr;
    const int coloured = k ? std::min(n, k->color.GetNum()) : 0;
    if (!AllFinite()) {
        // Rare: points one by one, leaving out those that are no numbers.
        glBegin(GL_POINTS);
        for (int i = 0; i < n; ++i) {
            if (i < coloured)
                glColor4fv(&colours[i].red);
            if (Finite(points[i]))
                glVertex3fv(&points[i].x);
        }
        glEnd();
        return;
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points);
    if (coloured > 0) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, colours);
        glDrawArrays(GL_POINTS, 0, coloured);
        glDisableClientState(GL_COLOR_ARRAY);
        // The colour after drawing from an array is undefined: the points
        // past the colour list take the last colour.
        glColor4fv(&colours[coloured - 1].red);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (coloured < n)
        glDrawArrays(GL_POINTS, coloured, n - coloured);
    glPopClientAttrib();
}

void CVPointSet::Pick()
{
    const CVCoordinate* c = coord.GetValue();
    if (!c) {
        glLoadName(0);
        glBegin(GL_POINTS);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glEnd();
        return;
    }
    const Point3fStruct* points = c->point.GetValues();
    for (int i = 0, n = c->point.GetNum(); i < n; ++i) {
        if (!Finite(points[i]))
            continue;
        glLoadName(GLuint(i));
        glBegin(GL_POINTS);
        glVertex3fv(&points[i].x);
        glEnd();
    }
}

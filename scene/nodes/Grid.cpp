#include "scene/nodes/Grid.h"

#include "scene/core/State.h"
#include "scene/model/MFields.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVGrid, CVGeometry)

CVGrid::CVGrid() = default;

void CVGrid::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVGrid>(L"Grid")
        .Field(L"color", &CVGrid::color)
        .Field(L"xSpacing", &CVGrid::xSpacing)
        .Field(L"ySpacing", &CVGrid::ySpacing)
        .Field(L"lineWidth", &CVGrid::lineWidth)
        .Field(L"stipple", &CVGrid::stipple);
}

bool CVGrid::LineRange(double lo, double hi, double spacing, long long& first, long long& last)
{
    first = 0;
    last = -1;
    if (!(spacing > 0.0) || !std::isfinite(spacing) || !std::isfinite(lo) || !std::isfinite(hi) || hi < lo)
        return false;
    double a = std::ceil(lo / spacing), b = std::floor(hi / spacing);
    if (!std::isfinite(a) || !std::isfinite(b) || b - a + 1.0 > double(kMaxLines))
        return false;
    first = (long long)a;
    last = (long long)b;
    return true;
}

void CVGrid::Render(CVState* state, CVGLRenderArea*, CVAppearance*)
{
    float width = lineWidth.GetValue();
    if (!(width > 0.0f) || (state && state->m_bPickMode))
        return;
    GLint viewport[4];
    GLdouble modelView[16], projection[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // The window's corners on the near plane, in the current coordinates.
    double lo[3] = {HUGE_VAL, HUGE_VAL, 0.0}, hi[3] = {-HUGE_VAL, -HUGE_VAL, 0.0};
    double depth = 0.0;
    const double corners[4][2] = {{double(viewport[0]), double(viewport[1])},
                                  {double(viewport[0] + viewport[2]), double(viewport[1])},
                                  {double(viewport[0]), double(viewport[1] + viewport[3])},
                                  {double(viewport[0] + viewport[2]), double(viewport[1] + viewport[3])}};
    for (const auto& c : corners) {
        double p[3];
        if (gluUnProject(c[0], c[1], 0.0, modelView, projection, viewport, &p[0], &p[1], &p[2]) != GL_TRUE)
            return; // a singular view shows no plane to cover
        for (int i = 0; i < 2; ++i) {
            lo[i] = std::min(lo[i], p[i]);
            hi[i] = std::max(hi[i], p[i]);
        }
        depth += p[2] / 4.0;
    }
    long long x0, x1, y0, y1;
    bool vertical = LineRange(lo[0], hi[0], xSpacing.GetValue(), x0, x1);
    bool horizontal = LineRange(lo[1], hi[1], ySpacing.GetValue(), y0, y1);
    if (!vertical && !horizontal)
        return;

    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(width);
    int s = stipple.GetValue();
    if (s >= 3 && s <= 47) {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, 0xCCCC);
    }
    if (CVNode* node = color.GetValue()) {
        CVField* field = node->GetField(L"color");
        if (field && field->GetType() == MFCOLOR && static_cast<CVMFColor*>(field)->GetNum() > 0) {
            const RGBAColorStruct& c = (*static_cast<CVMFColor*>(field))[0];
            glColor3f(c.red, c.green, c.blue);
        }
    }
    glBegin(GL_LINES);
    if (vertical)
        for (long long k = x0; k <= x1; ++k) {
            double x = double(k) * xSpacing.GetValue();
            glVertex3d(x, lo[1], depth);
            glVertex3d(x, hi[1], depth);
        }
    if (horizontal)
        for (long long k = y0; k <= y1; ++k) {
            double y = double(k) * ySpacing.GetValue();
            glVertex3d(lo[0], y, depth);
            glVertex3d(hi[0], y, depth);
        }
    glEnd();
    glPopAttrib();
}

#include "scene/nodes/SPAnnotation.h"

#include "scene/core/State.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/IndexedLineSet.h"
#include "scene/nodes/SPNames.h"
#include "scene/nodes/Text.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVSPAnnotation, CVSPGeometry)

namespace {

const int kHeadSides = 16;

double Length(const Point3fStruct& a, const Point3fStruct& b)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace

CVSPAnnotation::CVSPAnnotation()
{
    size.SetValue(0.0f, 0.0f, 0.0f);
    endArrow.SetValue(1);
    lineColor.SetValue(0.15f, 0.15f, 0.15f);
    lineThickness.SetValue(2.0f);
    SetAntialiasedFlag(1);
}

void CVSPAnnotation::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSPAnnotation> b(L"SPAnnotation");
    b.Field(L"start", &CVSPAnnotation::start)
        .Field(L"end", &CVSPAnnotation::end)
        .Field(L"startArrow", &CVSPAnnotation::startArrow)
        .Field(L"endArrow", &CVSPAnnotation::endArrow)
        .Field(L"lineColor", &CVSPAnnotation::lineColor)
        .Field(L"lineThickness", &CVSPAnnotation::lineThickness)
        .Field(L"linePattern", &CVSPAnnotation::linePattern)
        .Field(L"labelIsHTML", &CVSPAnnotation::labelIsHTML);
    AddSPGeometryFields(b, kSPAnnotationFields);
}

bool CVSPAnnotation::IsArrow() const { return lumo::planogram::SameName(type.GetValue(), L"Arrow"); }

bool CVSPAnnotation::IsShown(CVGLRenderArea* area) const { return area->GetAnnotationsEnabled() != 0; }

RGBAColorStruct CVSPAnnotation::KindColour(CVGLRenderArea*) const
{
    const RGBColorStruct& c = lineColor.GetValue();
    return {c.red, c.green, c.blue, 1.0f};
}

void CVSPAnnotation::GetPositionBoundingBox(CVBox3f* box) const
{
    box->MakeEmpty();
    box->Union(start.GetValue());
    box->Union(end.GetValue());
}

void CVSPAnnotation::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (box)
        GetPositionBoundingBox(box);
}

void CVSPAnnotation::RenderArrowHead(const Point3fStruct& from, const Point3fStruct& to, float length)
{
    const double len = Length(from, to);
    if (!(len > 0.0) || !std::isfinite(len) || !(length > 0.0f))
        return;
    // The cone's axis along the arrow, with two directions across it.
    const double d[3] = {(to.x - from.x) / len, (to.y - from.y) / len, (to.z - from.z) / len};
    const double helper[3] = {std::fabs(d[0]) < 0.9 ? 1.0 : 0.0, std::fabs(d[0]) < 0.9 ? 0.0 : 1.0, 0.0};
    double u[3] = {d[1] * helper[2] - d[2] * helper[1], d[2] * helper[0] - d[0] * helper[2],
                   d[0] * helper[1] - d[1] * helper[0]};
    const double un = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    for (double& c : u)
        c /= un;
    const double v[3] = {d[1] * u[2] - d[2] * u[1], d[2] * u[0] - d[0] * u[2], d[0] * u[1] - d[1] * u[0]};
    const double radius = length / 3.0;
    const double base[3] = {to.x - d[0] * length, to.y - d[1] * length, to.z - d[2] * length};
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(to.x, to.y, to.z);
    for (int i = 0; i <= kHeadSides; ++i) {
        const double a = 2.0 * M_PI * i / kHeadSides;
        const double c = std::cos(a) * radius, s = std::sin(a) * radius;
        glVertex3d(base[0] + u[0] * c + v[0] * s, base[1] + u[1] * c + v[1] * s, base[2] + u[2] * c + v[2] * s);
    }
    glEnd();
}

void CVSPAnnotation::RenderArrowAnnotation(CVState* state, CVGLRenderArea* area)
{
    const Point3fStruct& a = start.GetValue();
    const Point3fStruct& b = end.GetValue();
    float width = std::fabs(lineThickness.GetValue());
    if (!std::isfinite(width))
        width = 2.0f;
    const float g = area->GetGlobalScaleFactor();
    width *= std::isfinite(g) ? std::max(g, 1.0f) : 1.0f;
    if (state->m_bPickMode)
        width += 2.0f;
    glLineWidth(std::clamp(width, 1.0f, 64.0f));
    int factor = 1;
    unsigned short pattern = 0xFFFF;
    if (!state->m_bPickMode && CVIndexedLineSet::StipplePattern(linePattern.GetValue(), factor, pattern)) {
        glLineStipple(factor, pattern);
        glEnable(GL_LINE_STIPPLE);
    }
    const RGBColorStruct& c = lineColor.GetValue();
    glColor3f(c.red, c.green, c.blue);
    glBegin(GL_LINES);
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    // Heads a sixth of the arrow long; an arrow of no length has none.
    const float head = float(Length(a, b) / 6.0);
    if (startArrow.GetValue())
        RenderArrowHead(b, a, head);
    if (endArrow.GetValue())
        RenderArrowHead(a, b, head);
}

void CVSPAnnotation::RenderTextAnnotation(CVState* state, CVGLRenderArea* area)
{
    if (label.GetNum() == 0)
        return;
    int own = 0;
    CVBaseFontStyle* style = GetFontStyleNode(area, kAnnotationFontStyle, own);
    if (!style)
        return;
    if (!own)
        style->textColor.SetValue(lineColor.GetValue());
    CVText* text = UpdateLabelText(labelIsHTML.GetValue() != 0);
    if (text->fontStyle.GetValue() != style)
        text->fontStyle.SetValue(style);
    const Point3fStruct& p = start.GetValue();
    glPushMatrix();
    glTranslatef(p.x, p.y, p.z);
    text->Render(state, area, nullptr);
    glPopMatrix();
    // The area's styles live with the area: the text does not keep one.
    if (!own)
        text->fontStyle.SetValue(nullptr);
}

void CVSPAnnotation::Render(CVState* state, CVGLRenderArea* area, CVAppearance*)
{
    if (!state || !area || !IsShown(area))
        return;
    const int pass = state->m_nRenderPass;
    if (!state->m_bPickMode && pass != PASS_ANNOTATION && pass != PASS_NONE)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    if (IsArrow()) {
        RenderArrowAnnotation(state, area);
    } else if (state->m_bPickMode) {
        // A note is picked at its anchor point.
        const Point3fStruct& p = start.GetValue();
        glPointSize(8.0f);
        glBegin(GL_POINTS);
        glVertex3f(p.x, p.y, p.z);
        glEnd();
    } else {
        RenderTextAnnotation(state, area);
    }
    glPopAttrib();
}

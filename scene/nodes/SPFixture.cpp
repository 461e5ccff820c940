#include "scene/nodes/SPFixture.h"

#include "scene/nodes/SPNames.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVSPFixture, CVSPGeometry)

namespace {

const float kHoleColour = 0.15f;
// Holes and notches sit this far in front of the face, clear of its depth.
const float kFaceLift = 0.0005f;

bool PositivePitch(float v) { return std::isfinite(v) && v > 1e-6f; }

// trunc(v) as a count: 0 below zero, capped at 'cap' + 1 so that a caller
// can tell "too many".
long Count(double v, long cap)
{
    if (!(v > 0.0))
        return 0;
    return v > double(cap) ? cap + 1 : long(v);
}

} // namespace

CVSPFixture::CVSPFixture()
{
    pegSpacing.SetValue(0.0254f, 0.0254f);
    notchHoleSize.SetValue(0.0127f, 0.0254f);
    notchIndentDist.SetValue(0.00635f);
    SetAntialiasedFlag(1);
}

void CVSPFixture::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSPFixture> b(L"SPFixture");
    b.Field(L"pegs", &CVSPFixture::pegs)
        .Field(L"pegSpacing", &CVSPFixture::pegSpacing)
        .Field(L"pegColIndent", &CVSPFixture::pegColIndent)
        .Field(L"pegRowIndent", &CVSPFixture::pegRowIndent)
        .Field(L"notches", &CVSPFixture::notches)
        .Field(L"notchHoleSize", &CVSPFixture::notchHoleSize)
        .Field(L"notchOffset", &CVSPFixture::notchOffset)
        .Field(L"notchIndentDist", &CVSPFixture::notchIndentDist)
        .Field(L"notchInterval", &CVSPFixture::notchInterval)
        .Field(L"notchPosition", &CVSPFixture::notchPosition)
        .Field(L"associatedBackboard", &CVSPFixture::associatedBackboard)
        .Field(L"notchNumber", &CVSPFixture::notchNumber);
    AddSPGeometryFields(b, kSPAllFields);
}

int CVSPFixture::IsLabeledInCrossSection(int beamPass) const
{
    return !beamPass && lumo::planogram::SameName(type.GetValue(), L"Peg Bar") ? 1 : 0;
}

bool CVSPFixture::IsShown(CVGLRenderArea* area) const
{
    return (area->GetShowLevelFlag() & 1u) && !HiddenByCrossSection(area);
}

RGBAColorStruct CVSPFixture::KindColour(CVGLRenderArea* area) const { return area->GetSPFixtureColor(); }

bool CVSPFixture::FadesWithSolidFixtures(CVGLRenderArea* area) const
{
    return area && !area->GetSolidFixturesEnabled();
}

CVSPFixture::HoleGrid CVSPFixture::GetPegHoleGrid() const
{
    HoleGrid g;
    const Point3fStruct& s = size.GetValue();
    const Point2fStruct& pitch = pegSpacing.GetValue();
    if (!PositivePitch(pitch.x) || !PositivePitch(pitch.y)) {
        g.problem = L"SPFixture: peg spacing must be positive; no peg holes drawn";
        return g;
    }
    g.pitchX = pitch.x;
    g.pitchY = pitch.y;
    const float colIndent = pegColIndent.GetValue(), rowIndent = pegRowIndent.GetValue();
    if (colIndent > 0.0f) {
        g.columns = Count(double(s.x - 2.0f * colIndent) / pitch.x, kMaxPegHoles) + 1;
        g.x0 = -s.x / 2.0f + colIndent;
    } else {
        g.columns = Count(double(s.x - 0.0127f) / pitch.x, kMaxPegHoles);
        g.x0 = -s.x / 2.0f + pitch.x;
    }
    if (lumo::planogram::SameName(type.GetValue(), L"Peg Bar")) {
        g.rows = 1;
        g.y0 = rowIndent > 0.0f ? -s.y / 2.0f + rowIndent : -s.y / 2.0f + pitch.y;
    } else if (rowIndent > 0.0f) {
        g.rows = Count(double(s.y - 2.0f * rowIndent) / pitch.y, kMaxPegHoles) + 1;
        g.y0 = -s.y / 2.0f + rowIndent;
    } else {
        g.rows = Count(double(s.y - 0.0127f) / pitch.y, kMaxPegHoles);
        g.y0 = -s.y / 2.0f + pitch.y;
    }
    if (!std::isfinite(s.x) || !std::isfinite(s.y)) {
        g.problem = L"SPFixture: its size is no number; no peg holes drawn";
        g.columns = g.rows = 0;
    } else if (g.columns * g.rows > kMaxPegHoles) {
        g.problem = L"SPFixture: more than " + std::to_wstring(kMaxPegHoles) + L" peg holes; none drawn";
        g.columns = g.rows = 0;
    }
    return g;
}

CVSPFixture::NotchLayout CVSPFixture::GetNotchLayout() const
{
    NotchLayout n;
    const float interval = notchInterval.GetValue();
    if (interval == 0.0f)
        return n; // no notches, as documented
    if (!PositivePitch(interval)) {
        n.problem = L"SPFixture: notch interval must be positive; no notches drawn";
        return n;
    }
    const Point3fStruct& s = size.GetValue();
    const Point2fStruct& hole = notchHoleSize.GetValue();
    const float offset = notchOffset.GetValue(), indent = notchIndentDist.GetValue();
    const double v = double(s.y - 0.01f - hole.y - offset) / interval + 0.00001;
    if (!(v >= 0.0))
        return n; // not one fits (or the size is no number)
    if (v >= double(kMaxNotches)) {
        n.problem = L"SPFixture: more than " + std::to_wstring(kMaxNotches) + L" notches a column; none drawn";
        return n;
    }
    n.count = long(v) + 1;
    const float usable = s.x - (hole.x + 2.0f * indent);
    const float left = indent - s.x / 2.0f;
    switch (notchPosition.GetValue()) {
    case 1:
        n.columns[n.columnCount++] = left;
        break;
    case 2:
        n.columns[n.columnCount++] = left + usable;
        break;
    case 3:
        n.columns[n.columnCount++] = left + usable / 2.0f;
        break;
    default:
        n.columns[n.columnCount++] = left;
        n.columns[n.columnCount++] = left + usable;
        break;
    }
    return n;
}

void CVSPFixture::RenderNotches(CVGLRenderArea* area)
{
    const NotchLayout n = GetNotchLayout();
    mProblem.Report(area, n.problem);
    if (n.count == 0)
        return;
    const Point3fStruct& s = size.GetValue();
    const Point2fStruct& hole = notchHoleSize.GetValue();
    const float z = s.z / 2.0f + kFaceLift;
    glColor3f(kHoleColour, kHoleColour, kHoleColour);
    glBegin(GL_QUADS);
    for (int c = 0; c < n.columnCount; ++c)
        for (long j = 0; j < n.count; ++j) {
            const float y = notchOffset.GetValue() - s.y / 2.0f + float(j) * notchInterval.GetValue();
            const float x = n.columns[c];
            glVertex3f(x, y, z);
            glVertex3f(x + hole.x, y, z);
            glVertex3f(x + hole.x, y + hole.y, z);
            glVertex3f(x, y + hole.y, z);
        }
    glEnd();
}

void CVSPFixture::RenderPegHoleMatrix(CVGLRenderArea* area, float scale)
{
    const HoleGrid g = GetPegHoleGrid();
    mProblem.Report(area, g.problem);
    if (g.columns <= 0 || g.rows <= 0)
        return;
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    float mv[16], pr[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, pr);
    const float viewScale = std::sqrt(mv[0] * mv[0] + mv[1] * mv[1] + mv[2] * mv[2]);
    const float s = std::clamp(std::isfinite(scale) ? scale : 1.0f, 1.0f, 1.5f);
    float point = s * float(std::min(vp[2], vp[3])) / 600.0f * viewScale;
    if (!std::isfinite(point))
        point = 1.0f;
    point = std::clamp(point, 1.0f, 16.0f);
    const bool perspective = pr[15] == 0.0f;
    if (point >= 1.0f && (perspective || !area->GetControllerValues()) && point <= 1.5f)
        glDisable(GL_POINT_SMOOTH);
    if (IsAntialiased() && point > 0.3f)
        point -= 0.3f;
    glPointSize(std::max(point, 1.0f));
    glColor3f(kHoleColour, kHoleColour, kHoleColour);
    const float z = size.GetValue().z / 2.0f + kFaceLift;
    glBegin(GL_POINTS);
    for (long j = 0; j < g.rows; ++j)
        for (long i = 0; i < g.columns; ++i)
            glVertex3f(g.x0 + float(i) * g.pitchX, g.y0 + float(j) * g.pitchY, z);
    glEnd();
    glPointSize(1.0f);
}

void CVSPFixture::RenderExtras(CVState* state, CVGLRenderArea* area, const Look& look)
{
    if (area->GetNotchesEnabled() && notches.GetValue())
        RenderNotches(area);
    if (area->GetPegHolesEnabled() && pegs.GetValue())
        RenderPegHoleMatrix(area, area->GetGlobalScaleFactor());
    if (area->GetFixtureLabelsEnabled() && label.GetNum() > 0) {
        CVBox3f box;
        ComputeBoundingBox(state, area, &box);
        RenderLabel(state, area, box, kFixtureFontStyle, look.colour);
    }
}

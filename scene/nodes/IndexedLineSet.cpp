#include "scene/nodes/IndexedLineSet.h"

#include "scene/core/State.h"
#include "scene/nodes/Appearance.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <cmath>
#include <utility>
#include <vector>

LUMO_IMPLEMENT_NODE(CVIndexedLineSet, CVIndexedSet)
LUMO_IMPLEMENT_CLASS(CVIndexedLineSetDetail, CVIndexDetail)

namespace {

// Factor and pattern of line styles 2 .. 46.
const struct {
    int factor;
    unsigned short pattern;
} kStyles[45] = {
    {1, 0xCCCC}, {1, 0xE79C}, {1, 0xFCFC}, {2, 0xFEFE}, {2, 0xFFFE}, {3, 0xFFFE}, {1, 0xBEBE}, {1, 0xCFFC},
    {2, 0xBFFE}, {3, 0xBFFE}, {1, 0xF3FC}, {2, 0xDFFE}, {1, 0xAFFE}, {1, 0xCCFC}, {2, 0xAFFE}, {3, 0xAFFE},
    {1, 0xE73C}, {2, 0xDBFE}, {2, 0xEEEE}, {2, 0xFEFE}, {2, 0xFFFE}, {3, 0xFFFE}, {4, 0xFFFE}, {2, 0xDEDE},
    {1, 0xE3F8}, {2, 0xDFFE}, {3, 0xDFFE}, {1, 0xE73C}, {2, 0xEEFE}, {3, 0xEEFE}, {4, 0xEEFE}, {1, 0xAAAA},
    {1, 0x8888}, {1, 0x8080}, {1, 0xA0A0}, {1, 0xA8A8}, {1, 0xA4A4}, {1, 0xA820}, {1, 0xA850}, {1, 0x8FF8},
    {1, 0xA7FC}, {1, 0xA9FC}, {1, 0xAF5E}, {1, 0xABAE}, {1, 0xAB56},
};

} // namespace

CVIndexedLineSet::CVIndexedLineSet()
{
    lineWidth.SetValue(1.0f);
    SetAntialiasedFlag(1);
}

void CVIndexedLineSet::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVIndexedLineSet>(L"IndexedLineSet")
        .Field(L"color", &CVIndexedLineSet::color)
        .Field(L"coord", &CVIndexedLineSet::coord)
        .Field(L"colorIndex", &CVIndexedLineSet::colorIndex)
        .Field(L"colorPerVertex", &CVIndexedLineSet::colorPerVertex)
        .Field(L"coordIndex", &CVIndexedLineSet::coordIndex)
        .Field(L"lineWidth", &CVIndexedLineSet::lineWidth)
        .Field(L"lineStyle", &CVIndexedLineSet::lineStyle)
        .Field(L"showPoints", &CVIndexedLineSet::showPoints);
}

CVDetail* CVIndexedLineSet::GetPickDetail(unsigned int name) { return new CVIndexedLineSetDetail(int(name), this); }

void CVIndexedLineSetDetail::ComputeDetails()
{
    if (!mGeometry)
        return;
    int start = 0, count = 0;
    mGeometry->GetCoordinateIndex(GetIndex(), start, count);
    std::vector<CVPointInfo> points;
    points.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        points.emplace_back(start + i);
    SetPoints(std::move(points));
}

bool CVIndexedLineSet::StipplePattern(int style, int& factor, unsigned short& pattern)
{
    if (style < 2 || style > 46)
        return false;
    factor = kStyles[style - 2].factor;
    pattern = kStyles[style - 2].pattern;
    return true;
}

void CVIndexedLineSet::WorkAroundOpenGLBug(int on)
{
    if (mWidth > 1.0f && !colorPerVertex.GetValue())
        glShadeModel(on ? GL_FLAT : GL_SMOOTH);
}

bool CVIndexedLineSet::Usable(int k) const
{
    const CVCoordinate* c = coord.GetValue();
    if (!c || k < 0 || k >= c->point.GetNum())
        return false;
    const Point3fStruct& p = c->point.GetValues()[k];
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void CVIndexedLineSet::SendColour(int colourIndex) const
{
    const CVColor* c = color.GetValue();
    if (c && colourIndex >= 0 && colourIndex < c->color.GetNum())
        glColor4fv(&c->color.GetValues()[colourIndex].red);
}

void CVIndexedLineSet::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    const int n = coordIndex.GetNum();
    if (n < 2)
        return;
    const bool pick = state && state->m_bPickMode;
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT |
                 GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    float width = lineWidth.GetValue();
    if (!(width > 0.0f) || !std::isfinite(width))
        width = 1.0f;
    float scale = area ? area->GetGlobalScaleFactor() : 1.0f;
    if (!(scale > 0.0f) || !std::isfinite(scale) || (scale < 1.0f && width <= 1.0f))
        scale = 1.0f;
    mWidth = width * scale;
    if (IsAntialiased() && mWidth > 0.3f)
        mWidth -= 0.3f;
    glPointSize(mWidth);
    glLineWidth(mWidth);
    const bool smooth =
        IsAnnotationNode() && !pick && area && area->IsLineAntialiasingEnabled() && IsAntialiased() && mWidth <= 10.0f;
    if (smooth) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_BLEND);
    }
    WorkAroundOpenGLBug(1);
    int factor = 1;
    unsigned short pattern = 0xFFFF;
    const int style = lineStyle.GetValue();
    if (StipplePattern(style, factor, pattern)) {
        glLineStipple(factor, pattern);
        glEnable(GL_LINE_STIPPLE);
        if (factor != 1 && !(pattern & 1))
            glDisable(GL_LINE_SMOOTH);
    }
    if (state && state->m_nRenderPass == PASS_TRANSPARENT)
        glDepthMask(GL_FALSE);
    if (!pick && IsVRMLCompliant() && appearance && !color.GetValue())
        if (const CVMaterial* m = appearance->material.GetValue()) {
            // Lines are unlit: their colour is the material's emissive colour.
            const RGBColorStruct& e = m->emissiveColor.GetValue();
            glColor3f(e.red, e.green, e.blue);
            const GLfloat black[4] = {0, 0, 0, 1};
            glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
        }
    try {
        if (pick) {
            Pick();
        } else if (showPoints.GetValue() || color.GetValue()) {
            DrawWithColours(showPoints.GetValue() || (IsAntialiased() && mWidth > 1.0f && style <= 1));
            SetModifiedFlag(0);
        } else {
            DrawFromArray();
        }
    } catch (...) {
        // Out of memory for the vertex array: nothing more is drawn.
    }
    WorkAroundOpenGLBug(0);
    glPopAttrib();
}

void CVIndexedLineSet::DrawWithColours(bool joints)
{
    const int n = coordIndex.GetNum();
    const int* ci = coordIndex.GetValues();
    const Point3fStruct* points = coord.GetValue() ? coord.GetValue()->point.GetValues() : nullptr;
    const int* colours = colorIndex.GetValues();
    const int numColours = colorIndex.GetNum();
    const bool perVertex = colorPerVertex.GetValue() != 0;
    // The colour of the vertex at position i (coordinate k), or of polyline p.
    auto vertexColour = [&](int i, int k) { return numColours == 0 ? k : i < numColours ? colours[i] : -1; };
    auto polylineColour = [&](int p) { return numColours == 0 ? p : p < numColours ? colours[p] : -1; };
    if (n == 2) {
        if (!Usable(ci[0]) || !Usable(ci[1]))
            return;
        glBegin(GL_LINES);
        if (!perVertex)
            SendColour(polylineColour(0));
        for (int i = 0; i < 2; ++i) {
            if (perVertex)
                SendColour(vertexColour(i, ci[i]));
            glVertex3fv(&points[ci[i]].x);
        }
        glEnd();
        return;
    }
    CVIndexedParts parts(ci, n);
    int p, start, end;
    if (joints) {
        glBegin(GL_POINTS);
        while (parts.Next(p, start, end)) {
            if (!perVertex)
                SendColour(polylineColour(p));
            for (int i = start; i < end; ++i)
                if (Usable(ci[i])) {
                    if (perVertex)
                        SendColour(vertexColour(i, ci[i]));
                    glVertex3fv(&points[ci[i]].x);
                }
        }
        glEnd();
    }
    parts = CVIndexedParts(ci, n);
    while (parts.Next(p, start, end)) {
        if (!perVertex)
            SendColour(polylineColour(p));
        glBegin(GL_LINE_STRIP);
        for (int i = start; i < end; ++i)
            if (Usable(ci[i])) {
                if (perVertex)
                    SendColour(vertexColour(i, ci[i]));
                glVertex3fv(&points[ci[i]].x);
            }
        glEnd();
    }
}

void CVIndexedLineSet::DrawFromArray()
{
    const int* ci = coordIndex.GetValues();
    const Point3fStruct* points = coord.GetValue() ? coord.GetValue()->point.GetValues() : nullptr;
    std::vector<Point3fStruct> vertices;
    std::vector<std::pair<int, int>> strips; // first vertex, count
    CVIndexedParts parts(ci, coordIndex.GetNum());
    int p, start, end;
    while (parts.Next(p, start, end)) {
        const int first = int(vertices.size());
        for (int i = start; i < end; ++i)
            if (Usable(ci[i]))
                vertices.push_back(points[ci[i]]);
        if (int(vertices.size()) - first >= 2)
            strips.emplace_back(first, int(vertices.size()) - first);
        else
            vertices.resize(size_t(first));
    }
    if (strips.empty())
        return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    for (const auto& [first, count] : strips)
        glDrawArrays(GL_LINE_STRIP, first, count);
    glPopClientAttrib();
}

void CVIndexedLineSet::Pick()
{
    const int* ci = coordIndex.GetValues();
    const Point3fStruct* points = coord.GetValue() ? coord.GetValue()->point.GetValues() : nullptr;
    CVIndexedParts parts(ci, coordIndex.GetNum());
    int p, start, end;
    while (parts.Next(p, start, end)) {
        int usable = 0;
        for (int i = start; i < end && usable < 2; ++i)
            usable += Usable(ci[i]) ? 1 : 0;
        if (usable < 2)
            continue;
        glLoadName(GLuint(p));
        glBegin(GL_LINE_STRIP);
        for (int i = start; i < end; ++i)
            if (Usable(ci[i]))
                glVertex3fv(&points[ci[i]].x);
        glEnd();
    }
}

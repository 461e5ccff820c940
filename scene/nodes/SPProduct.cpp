#include "scene/nodes/SPProduct.h"

#include "scene/nodes/Appearance.h"
#include "scene/nodes/SPNames.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVSPProduct, CVSPGeometry)

namespace pg = lumo::planogram;

namespace {
// The clip plane nesting uses; planes below it stay the scene's.
const GLenum kNestPlane = GL_CLIP_PLANE5;

float Get(const Point3fStruct& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }
} // namespace

CVSPProduct::CVSPProduct()
{
    facings.SetValue(1.0f, 1.0f, 1.0f);
    SetAntialiasedFlag(1);
    SetDropShadowFlag(1);
}

void CVSPProduct::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSPProduct> b(L"SPProduct");
    b.Field(L"facings", &CVSPProduct::facings)
        .Field(L"xfacingGap", &CVSPProduct::xfacingGap)
        .Field(L"faceRotation", &CVSPProduct::faceRotation)
        .Field(L"capFacings", &CVSPProduct::capFacings)
        .Field(L"nestDepth", &CVSPProduct::nestDepth)
        .Field(L"nestDir", &CVSPProduct::nestDir)
        .Field(L"fillPattern", &CVSPProduct::fillPattern);
    AddSPGeometryFields(b, kSPAllFields);
}

bool CVSPProduct::IsShown(CVGLRenderArea* area) const
{
    return ((area->GetShowLevelFlag() & 4u) || IsAnnotationNode()) && !HiddenByCrossSection(area);
}

RGBAColorStruct CVSPProduct::KindColour(CVGLRenderArea* area) const { return area->GetSPProductColor(); }

bool CVSPProduct::UsesFillPattern(CVGLRenderArea* area) const
{
    return (!area || area->GetFillPatternsEnabled()) && fillPattern.GetValue() > 0 && shape.GetValue().empty();
}

std::wstring CVSPProduct::BodyShape(CVGLRenderArea* area) const
{
    return UsesFillPattern(area) ? std::wstring(L"StippleBox") : shape.GetValue();
}

pg::Block CVSPProduct::GetBlock(CVGLRenderArea* area) const
{
    pg::BlockInput in;
    in.size = size.GetValue();
    in.facings = facings.GetValue();
    in.capFacings = capFacings.GetValue();
    in.faceRotation = faceRotation.GetValue();
    in.xfacingGap = xfacingGap.GetValue();
    in.nestDepth = nestDepth.GetValue();
    in.nest = pg::ParseNest(nestDir.GetValue());
    in.hasShape = !BodyShape(area).empty();
    return pg::MakeBlock(in);
}

pg::Block CVSPProduct::Prepare(CVGLRenderArea* area)
{
    pg::Block block = GetBlock(area);
    mProblem.Report(area, block.capped ? L"SPProduct: facing counts are cut to " + std::to_wstring(pg::kMaxFacings) +
                                             L" a side and blocks of more than " + std::to_wstring(pg::kMaxUnits) +
                                             L" units drawn as one box"
                                       : std::wstring());
    if (UsesFillPattern(area))
        SetStippleIndex(std::uint8_t(std::clamp(fillPattern.GetValue() - 1, 0, 255)));
    return block;
}

void CVSPProduct::ComputeBoundingBox(CVState*, CVGLRenderArea* area, CVBox3f* box)
{
    if (!box)
        return;
    if (IsAnnotationNode()) {
        box->MakeEmpty();
        return;
    }
    const pg::Block b = GetBlock(area);
    box->Set(CVVector(b.min), CVVector(b.max));
}

void CVSPProduct::EmitFacingLines(const Point3fStruct& s, const pg::Counts& n)
{
    const float h[3] = {s.x / 2.0f, s.y / 2.0f, s.z / 2.0f};
    const float e[3] = {s.x, s.y, s.z};
    const int count[3] = {n.x, n.y, n.z};
    // For each axis, a rectangle across the block at every unit boundary.
    for (int a = 0; a < 3; ++a) {
        const int u = (a + 1) % 3, v = (a + 2) % 3;
        for (int k = count[a] - 1; k >= 1; --k) {
            float corner[4][3];
            const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (int c = 0; c < 4; ++c) {
                corner[c][a] = -h[a] + e[a] * float(k) / float(count[a]);
                corner[c][u] = signs[c][0] * h[u];
                corner[c][v] = signs[c][1] * h[v];
            }
            for (int c = 0; c < 4; ++c) {
                glVertex3fv(corner[c]);
                glVertex3fv(corner[(c + 1) % 4]);
            }
        }
    }
}

void CVSPProduct::RenderFacingLines(const Point3fStruct& s, const pg::Counts& n)
{
    glBegin(GL_LINES);
    EmitFacingLines(s, n);
    glEnd();
}

void CVSPProduct::RenderUnits(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const pg::Block& block,
                              const pg::UnitRun& run, bool edges)
{
    const std::wstring bodyShape = BodyShape(area);
    const Point3fStruct& unit = size.GetValue();
    ShapeBody body = GetShapeGeometry(area, bodyShape, unit, edges ? solid.GetValue() : 1);
    const bool roundShape = pg::SameName(bodyShape, L"Cone") || pg::SameName(bodyShape, L"Sphere");
    const float nest = nestDepth.GetValue();
    const int axis = run.nestAxis;
    const float extent = axis >= 0 ? Get(run.extent, axis) : 0.0f;
    const bool clip = axis >= 0 && !roundShape && std::isfinite(nest) && nest > 0.0f && nest < extent;
    const int count[3] = {run.n.x, run.n.y, run.n.z};
    auto index = [&](int a, int i) { return run.descending && a == axis ? count[a] - 1 - i : i; };
    for (int kk = 0; kk < run.n.z; ++kk)
        for (int jj = 0; jj < run.n.y; ++jj)
            for (int ii = 0; ii < run.n.x; ++ii) {
                const int idx[3] = {index(0, ii), index(1, jj), index(2, kk)};
                const Point3fStruct c = run.Centre(idx[0], idx[1], idx[2]);
                glPushMatrix();
                glTranslatef(c.x, c.y, c.z);
                // Every unit but the first drawn along the nesting axis
                // hides the part of it inside its neighbour.
                const int along = axis >= 0 ? (axis == 0 ? ii : axis == 1 ? jj : kk) : 0;
                const bool clipped = clip && along > 0;
                if (clipped) {
                    GLdouble plane[4] = {0, 0, 0, double(extent) / 2.0 - nest};
                    plane[axis] = run.descending ? -1.0 : 1.0;
                    glClipPlane(kNestPlane, plane);
                    glEnable(kNestPlane);
                }
                glRotatef(block.angles.x, 1, 0, 0);
                glRotatef(block.angles.y, 0, 1, 0);
                glRotatef(block.angles.z, 0, 0, 1);
                if (edges) {
                    if (body.geometry)
                        RenderShapeOutline(state, area, body);
                    else
                        RenderOutline(unit);
                } else if (body.geometry) {
                    glScalef(body.scale[0], body.scale[1], body.scale[2]);
                    body.geometry->Render(state, area, appearance);
                } else {
                    RenderSolidBox(state, area, appearance, unit, nullptr);
                }
                if (clipped)
                    glDisable(kNestPlane);
                glPopMatrix();
            }
}

void CVSPProduct::RenderPickTarget(CVState*, CVGLRenderArea* area)
{
    const pg::Block b = GetBlock(area);
    const Point3fStruct ext{b.max.x - b.min.x, b.max.y - b.min.y, b.max.z - b.min.z};
    glPushMatrix();
    glTranslatef((b.min.x + b.max.x) / 2.0f, (b.min.y + b.max.y) / 2.0f, (b.min.z + b.max.z) / 2.0f);
    DoPickBox(ext);
    glPopMatrix();
}

void CVSPProduct::RenderBody(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Look&)
{
    const pg::Block b = Prepare(area);
    if (b.simple) {
        const Point3fStruct repeats{float(b.n.x), float(b.n.y), float(b.n.z)};
        RenderSolidBox(state, area, appearance, b.blockSize, &repeats);
    } else {
        RenderUnits(state, area, appearance, b, b.units, false);
    }
    if (!b.hasCaps)
        return;
    glPushMatrix();
    glTranslatef(b.capCentre.x, b.capCentre.y, b.capCentre.z);
    glRotatef(90.0f, 1, 0, 0);
    if (b.capSimple) {
        const Point3fStruct repeats{float(b.cap.x), float(b.cap.z), float(b.cap.y)};
        RenderSolidBox(state, area, appearance, b.capSize, &repeats);
    } else {
        RenderUnits(state, area, appearance, b, b.capUnits, false);
    }
    glPopMatrix();
}

void CVSPProduct::RenderEdges(CVState* state, CVGLRenderArea* area, const Look&)
{
    const pg::Block b = Prepare(area);
    SetLineWidthAndColor(area);
    if (b.simple) {
        // The block's edges and the lines between its units in one batch.
        glBegin(GL_LINES);
        EmitBoxEdges(b.blockSize);
        EmitFacingLines(b.blockSize, b.n);
        glEnd();
    } else {
        RenderUnits(state, area, nullptr, b, b.units, true);
    }
    if (b.hasCaps) {
        glPushMatrix();
        glTranslatef(b.capCentre.x, b.capCentre.y, b.capCentre.z);
        glRotatef(90.0f, 1, 0, 0);
        if (b.capSimple) {
            glBegin(GL_LINES);
            EmitBoxEdges(b.capSize);
            EmitFacingLines(b.capSize, {b.cap.x, b.cap.z, b.cap.y});
            glEnd();
        } else {
            RenderUnits(state, area, nullptr, b, b.capUnits, true);
        }
        glPopMatrix();
    }
    glLineWidth(1.0f);
}

void CVSPProduct::RenderExtras(CVState* state, CVGLRenderArea* area, const Look& look)
{
    if (!area->GetProductLabelsEnabled() || label.GetNum() == 0)
        return;
    CVBox3f box;
    ComputeBoundingBox(state, area, &box);
    if (box.IsEmpty()) {
        const pg::Block b = GetBlock(area);
        box.Set(CVVector(b.min), CVVector(b.max));
    }
    RenderLabel(state, area, box, kProductFontStyle, look.colour);
}

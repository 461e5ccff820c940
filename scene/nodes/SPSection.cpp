#include "scene/nodes/SPSection.h"

#include "scene/core/State.h"
#include "scene/nodes/Extrusion.h"
#include "scene/nodes/Polygon.h"
#include "scene/nodes/Tessellator.h"
#include "scene/render/ControllerValues.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

LUMO_IMPLEMENT_NODE(CVSPSection, CVSPGeometry)

namespace {
// Each layer lifts a section this far (metres).
const float kLayerLift = 0.1f;
} // namespace

CVSPSection::CVSPSection()
{
    extrusionDepth.SetValue(0.1f);
    SetAntialiasedFlag(1);
    SetTransparentFlag(1);
}

void CVSPSection::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVSPSection> b(L"SPSection");
    b.Field(L"coord", &CVSPSection::coord)
        .Field(L"coordIndex", &CVSPSection::coordIndex)
        .Field(L"ccw", &CVSPSection::ccw)
        .Field(L"convex", &CVSPSection::convex)
        .Field(L"extrusionDepth", &CVSPSection::extrusionDepth)
        .Field(L"layer", &CVSPSection::layer);
    AddSPGeometryFields(b, kSPNoTypeLabel);
}

int CVSPSection::GetLayer() const { return std::clamp(layer.GetValue(), 0, 7); }

bool CVSPSection::IsShown(CVGLRenderArea* area) const
{
    return (area->GetShowLevelFlag() >> GetLayer()) & 1u;
}

RGBAColorStruct CVSPSection::KindColour(CVGLRenderArea* area) const { return area->GetSPSectionColor(); }

std::vector<std::vector<Point3fStruct>> CVSPSection::Outlines()
{
    std::vector<std::vector<Point3fStruct>> out(1);
    mSkipped = 0;
    const CVCoordinate* c = coord.GetValue();
    const int points = c ? c->point.GetNum() : 0;
    for (int i = 0; i < coordIndex.GetNum(); ++i) {
        const int index = coordIndex[i];
        if (index == -1) {
            if (!out.back().empty())
                out.emplace_back();
        } else if (index < 0 || index >= points) {
            ++mSkipped;
        } else {
            out.back().push_back(c->point[index]);
        }
    }
    out.erase(std::remove_if(out.begin(), out.end(), [](const auto& o) { return o.size() < 3; }), out.end());
    return out;
}

const std::vector<CVRefPtr<CVGeometry>>& CVSPSection::GetGeometry(int extrude)
{
    mWatch.Begin();
    const CVCoordinate* c = coord.GetValue();
    mWatch.Add(c);
    if (c && c->point.GetNum() > 0)
        mWatch.Add(c->point.GetValues(), sizeof(Point3fStruct) * size_t(c->point.GetNum()));
    if (coordIndex.GetNum() > 0)
        mWatch.Add(coordIndex.GetValues(), sizeof(int) * size_t(coordIndex.GetNum()));
    mWatch.Add(ccw.GetValue());
    mWatch.Add(convex.GetValue());
    mWatch.Add(extrusionDepth.GetValue());
    const bool changed = mWatch.End();
    if (!changed && mBuiltExtruded == (extrude ? 1 : 0))
        return mGeometry;
    mGeometry.clear();
    mTangled = false;
    mBuiltExtruded = extrude ? 1 : 0;
    const float depth = extrusionDepth.GetValue();
    const bool raise = extrude && std::isfinite(depth) && depth > 0.0f;
    for (const std::vector<Point3fStruct>& outline : Outlines()) {
        if (raise) {
            // Upwards from the floor: the cross-section is the outline's
            // (x, z), the spine a vertical line.
            auto* e = new CVExtrusion;
            for (const Point3fStruct& p : outline)
                e->crossSection.Add(Point2fStruct{p.x, p.z});
            e->crossSection.Add(Point2fStruct{outline[0].x, outline[0].z});
            const float y = outline[0].y;
            e->spine.Add(Point3fStruct{0.0f, y, 0.0f});
            e->spine.Add(Point3fStruct{0.0f, y + depth, 0.0f});
            e->ccw.SetValue(ccw.GetValue());
            e->convex.SetValue(convex.GetValue());
            e->SetSelectableFlag(1);
            mGeometry.emplace_back(e);
        } else {
            auto* p = new CVPolygon;
            p->SetConvex(convex.GetValue() ? 1 : 0);
            p->SetCCW(ccw.GetValue() ? 1 : 0);
            p->SetPointArray(outline.data(), int(outline.size()));
            if (p->GetPrimitives().empty() && lumo::TooTangledToTessellate({outline}))
                mTangled = true;
            mGeometry.emplace_back(p);
        }
    }
    return mGeometry;
}

void CVSPSection::SetPolygonOutlineProperties(CVGLRenderArea* area, CVPolygon* polygon)
{
    polygon->SetOutlineVisible(outline.GetValue() ? 1 : 0);
    const RGBColorStruct& c = outlineColor.GetValue();
    polygon->SetOutlineColor(c.red < 0.0f ? area->GetSPOutlineColor() : c);
    polygon->SetOutlineThickness(std::fabs(outlineThickness.GetValue()));
    if (IsStippled()) {
        // A selected section stands out in the selection colour.
        const CVControllerValues* controller = area->GetControllerValues();
        const float scale = controller ? controller->GetScale() : 1.0f;
        const float k = scale <= 1.0f ? scale : (scale - 1.0f) / 2.0f + 1.0f;
        polygon->SetOutlineVisible(1);
        polygon->SetOutlineColor(area->GetSelectionColor());
        polygon->SetOutlineThickness(std::min(3.0f * k, 6.0f));
    }
}

void CVSPSection::ComputeBoundingBox(CVState*, CVGLRenderArea* area, CVBox3f* box)
{
    if (!box)
        return;
    box->MakeEmpty();
    const float lift = float(GetLayer()) * kLayerLift;
    const float depth = extrusionDepth.GetValue();
    const bool raise = area && area->GetExtrudeSectionNodes() && std::isfinite(depth) && depth > 0.0f;
    for (const std::vector<Point3fStruct>& outline : Outlines())
        for (const Point3fStruct& p : outline) {
            box->Union(Point3fStruct{p.x, p.y + lift, p.z});
            if (raise)
                box->Union(Point3fStruct{p.x, p.y + lift + depth, p.z});
        }
}

void CVSPSection::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    if (!state || !area || !IsShown(area))
        return;
    const int pass = state->m_nRenderPass;
    if (!state->m_bPickMode && pass != PASS_MAIN && pass != PASS_NONE)
        return;
    const auto& geometry = GetGeometry(area->GetExtrudeSectionNodes());
    mProblem.Report(area, mTangled ? L"SPSection: an outline crosses itself too often (or has too many points) "
                                     L"to be filled; left out"
                                   : std::wstring());
    glPushMatrix();
    glTranslatef(0.0f, float(GetLayer()) * kLayerLift, 0.0f);
    if (state->m_bPickMode) {
        for (const auto& g : geometry)
            g->Render(state, area, nullptr);
        glPopMatrix();
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    Look look = SetTransparency(area, appearance);
    if (!area->GetSolidFixturesEnabled()) {
        look.colour.alpha = 0.9f;
        look.transparent = area->IsTransparencyEnabled();
        if (!look.ownColour)
            glColor4f(look.colour.red, look.colour.green, look.colour.blue, 0.9f);
    }
    if (look.transparent) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    for (const auto& g : geometry) {
        if (g->IsKindOf<CVPolygon>())
            SetPolygonOutlineProperties(area, static_cast<CVPolygon*>(g.get()));
        if (solid.GetValue())
            g->Render(state, area, appearance);
    }
    glPopAttrib();
    glPopMatrix();
}

#include "scene/nodes/Extrusion.h"

#include "scene/core/State.h"
#include "scene/nodes/Tessellator.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <cmath>
#include <new>

LUMO_IMPLEMENT_NODE(CVExtrusion, CVGeometry)
LUMO_IMPLEMENT_CLASS(CVExtrusionDetail, CVDetail)

using lumo::extrusion::Shading;
using lumo::extrusion::Sweep;
using lumo::extrusion::SweepInput;

namespace {

bool Finite(const CVVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The normal of a cap: its unit vector, or the spine's direction out of
// that end when the cap has no area.
CVVector CapNormal(CVVector n, const CVVector& fallback)
{
    const float len = n.Length();
    if (!(len > 0.0f) || !std::isfinite(len))
        return fallback;
    n *= 1.0f / len;
    return Finite(n) ? n : fallback;
}

// Twice the signed area of a polygon of the cross-section's plane.
double SignedArea(const std::vector<Point2fStruct>& p)
{
    double a = 0.0;
    for (size_t i = 0, n = p.size(); i < n; ++i) {
        const Point2fStruct& u = p[i];
        const Point2fStruct& v = p[(i + 1) % n];
        a += double(u.x) * v.y - double(v.x) * u.y;
    }
    return a;
}

} // namespace

CVExtrusion::CVExtrusion()
{
    beginCap.SetValue(1);
    ccw.SetValue(1);
    convex.SetValue(1);
    endCap.SetValue(1);
    solid.SetValue(1);
    lineWidth.SetValue(1.0f);
    SetAntialiasedFlag(1);
}

void CVExtrusion::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVExtrusion>(L"Extrusion")
        .Field(L"beginCap", &CVExtrusion::beginCap)
        .Field(L"ccw", &CVExtrusion::ccw)
        .Field(L"convex", &CVExtrusion::convex)
        .Field(L"creaseAngle", &CVExtrusion::creaseAngle)
        .Field(L"crossSection", &CVExtrusion::crossSection)
        .Field(L"endCap", &CVExtrusion::endCap)
        .Field(L"orientation", &CVExtrusion::orientation)
        .Field(L"scale", &CVExtrusion::scale)
        .Field(L"solid", &CVExtrusion::solid)
        .Field(L"spine", &CVExtrusion::spine);
}

CVDetail* CVExtrusion::GetPickDetail(unsigned int) { return new CVExtrusionDetail(this); }

void CVExtrusion::FillDefaultCrossSection()
{
    if (crossSection.GetNum() != 0)
        return;
    const Point2fStruct square[] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    crossSection.SetCapacity(5);
    for (const Point2fStruct& p : square)
        crossSection.Add(p);
}

SweepInput CVExtrusion::Input() const
{
    SweepInput in;
    in.spine = spine.GetValues();
    in.numSpine = spine.GetNum();
    in.cross = crossSection.GetValues();
    in.numCross = crossSection.GetNum();
    in.scale = scale.GetValues();
    in.numScale = scale.GetNum();
    in.orientation = orientation.GetValues();
    in.numOrientation = orientation.GetNum();
    return in;
}

std::wstring CVExtrusion::GetProblem() const
{
    const std::int64_t ns = spine.GetNum(), nc = crossSection.GetNum() ? crossSection.GetNum() : 5;
    const std::wstring who = GetName() && !GetName()->empty() ? L"Extrusion \"" + *GetName() + L"\": "
                                                                : std::wstring(L"Extrusion: ");
    if (ns < 2 || nc < 2)
        return L"";
    if (ns * nc > kMaxPoints)
        return who + std::to_wstring(ns) + L" spine points x " + std::to_wstring(nc) +
               L" cross-section points are more than " + std::to_wstring(kMaxPoints) + L"; nothing drawn";
    auto finite = [](float v) { return std::isfinite(v); };
    for (int j = 0; j < spine.GetNum(); ++j)
        if (!finite(spine[j].x) || !finite(spine[j].y) || !finite(spine[j].z))
            return who + L"its spine holds values that are no numbers; nothing drawn";
    for (int k = 0; k < crossSection.GetNum(); ++k)
        if (!finite(crossSection[k].x) || !finite(crossSection[k].y))
            return who + L"its cross-section holds values that are no numbers; nothing drawn";
    for (int k = 0; k < scale.GetNum(); ++k)
        if (!finite(scale[k].x) || !finite(scale[k].y))
            return who + L"its scale holds values that are no numbers; nothing drawn";
    return L"";
}

void CVExtrusion::CheckInputs()
{
    CVValueWatch& w = mWatch;
    w.Begin();
    const int bools[] = {beginCap.GetValue(), ccw.GetValue(),   convex.GetValue(),
                         endCap.GetValue(),   solid.GetValue(), IsVRMLCompliant()};
    const float floats[] = {creaseAngle.GetValue(), spineCreaseAngle.GetValue()};
    w.Add(bools);
    w.Add(floats);
    w.Add(spine.GetNum());
    w.Add(spine.GetValues(), sizeof(Point3fStruct) * size_t(spine.GetNum()));
    w.Add(crossSection.GetNum());
    w.Add(crossSection.GetValues(), sizeof(Point2fStruct) * size_t(crossSection.GetNum()));
    w.Add(scale.GetNum());
    w.Add(scale.GetValues(), sizeof(Point2fStruct) * size_t(scale.GetNum()));
    w.Add(orientation.GetNum());
    w.Add(orientation.GetValues(), sizeof(CVRotation) * size_t(orientation.GetNum()));
    if (w.End())
        ++mGeneration;
}

void CVExtrusion::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (!box)
        return;
    try {
        FillDefaultCrossSection();
        CheckInputs();
        if (mBoxGeneration != mGeneration) {
            mBox.MakeEmpty();
            mBoxGeneration = mGeneration;
            Sweep sweep;
            if (GetProblem().empty() && lumo::extrusion::SweepPositions(Input(), sweep))
                mBox = sweep.box;
        }
        *box = mBox;
    } catch (const std::bad_alloc&) {
        mBoxGeneration = ~std::uint64_t(0);
        box->MakeEmpty();
    }
}

void CVExtrusion::Draw(const Sweep& sweep)
{
    using lumo::extrusion::CalcAveragedNormal;
    lumo::extrusion::ShadingInput si;
    si.ccw = ccw.GetValue() != 0;
    si.creaseAngle = creaseAngle.GetValue();
    si.spineCreaseAngle = IsVRMLCompliant() ? creaseAngle.GetValue() : spineCreaseAngle.GetValue();
    si.stretchTexture = !IsVRMLCompliant();
    Shading sh;
    lumo::extrusion::SweepShading(Input(), sweep, si, sh);
    const int ns = sweep.ns, nc = sweep.nc;

    // The side: one quad per spine step and cross-section step. Edge flags
    // show the lines along the spine everywhere and the cross-section's
    // outline only at the two ends.
    glBegin(GL_QUADS);
    auto vertex = [&](int j, int k, int corner, bool edge) {
        const size_t v = size_t(j) * size_t(nc) + size_t(k);
        const CVVector n = CalcAveragedNormal(sweep, j, k, sh.faceNormals, sh.smooth[v], corner);
        glEdgeFlag(edge ? GL_TRUE : GL_FALSE);
        glNormal3f(n.x, n.y, n.z);
        glTexCoord2f(sh.sideTex[v].x, sh.sideTex[v].y);
        const Point3fStruct& p = sweep.positions[v];
        glVertex3f(p.x, p.y, p.z);
    };
    for (int j = 0; j + 1 < ns; ++j)
        for (int k = 0; k + 1 < nc; ++k) {
            vertex(j, k, 3, j == 0);
            vertex(j, k + 1, 2, true);
            vertex(j + 1, k + 1, 1, j == ns - 2);
            vertex(j + 1, k, 4, true);
        }
    glEnd();

    if (nc <= 2 || (!beginCap.GetValue() && !endCap.GetValue()))
        return; // a ribbon has no caps
    glEdgeFlag(GL_TRUE);
    const bool isCcw = ccw.GetValue() != 0;
    // The cross-section's own points, for the tessellator (a closing point
    // that repeats the first is left out).
    std::vector<lumo::TessPrimitive> pieces;
    std::vector<Point2fStruct> outline(crossSection.GetValues(), crossSection.GetValues() + nc);
    if (sweep.closedCross && outline.size() > 1)
        outline.pop_back();
    const double sectionArea = SignedArea(outline);
    if (!convex.GetValue()) {
        std::vector<Point3fStruct> flat;
        flat.reserve(outline.size());
        for (const Point2fStruct& p : outline)
            flat.push_back({p.x, 0.0f, p.y});
        const Point3fStruct up{0, 1, 0};
        pieces = lumo::Tessellate(flat, &up, true);
    }
    for (int end = 0; end < 2; ++end) {
        if (!(end == 0 ? beginCap.GetValue() : endCap.GetValue()))
            continue;
        const int j = end == 0 ? 0 : ns - 1;
        const lumo::extrusion::Row& row = sweep.rows[size_t(j)];
        // Negated for the begin cap with ccw, for the end cap without.
        const bool negate = (end == 0) == isCcw;
        CVVector n;
        if (convex.GetValue()) {
            const int third = nc / 3;
            const CVVector p0(sweep.At(j, 0)), p1(sweep.At(j, third)), p2(sweep.At(j, 2 * third));
            n = (p1 - p0) * (p2 - p1);
        } else {
            for (int k = 0; k < nc; ++k) { // Newell's normal of the row
                const Point3fStruct& p = sweep.At(j, k);
                const Point3fStruct& q = sweep.At(j, (k + 1) % nc);
                n.x += (p.y - q.y) * (p.z + q.z);
                n.y += (p.z - q.z) * (p.x + q.x);
                n.z += (p.x - q.x) * (p.y + q.y);
            }
        }
        if (negate)
            n = -n;
        const CVVector outward = end == 0 ? -row.tangent : row.tangent;
        n = CapNormal(n, isCcw ? outward : -outward);
        glNormal3f(n.x, n.y, n.z);
        if (convex.GetValue()) {
            // The begin cap runs backwards through the row, so that it faces
            // the other way.
            glBegin(GL_POLYGON);
            for (int i = 0; i < nc; ++i) {
                const int k = end == 0 ? nc - 1 - i : i;
                glTexCoord2f(sh.capTex[size_t(k)].x, sh.capTex[size_t(k)].y);
                const Point3fStruct& p = sweep.At(j, k);
                glVertex3f(p.x, p.y, p.z);
            }
            glEnd();
            continue;
        }
        // Tessellated: each triangle turned like the row in the cap's order.
        glBegin(GL_TRIANGLES);
        for (const lumo::TessPrimitive& piece : pieces)
            for (size_t t = 0; t + 2 < piece.vertices.size(); t += 3) {
                size_t order[3] = {t, t + 1, t + 2};
                const Point3fStruct& a = piece.vertices[t];
                const Point3fStruct& b = piece.vertices[t + 1];
                const Point3fStruct& c = piece.vertices[t + 2];
                const double area = (double(b.x) - a.x) * (double(c.z) - a.z) - (double(c.x) - a.x) * (double(b.z) - a.z);
                const bool reversed = end == 0;
                if ((area > 0.0) != ((sectionArea > 0.0) != reversed))
                    std::swap(order[1], order[2]);
                for (size_t v : order) {
                    const Point3fStruct& p = piece.vertices[v];
                    if (!piece.boundary.empty())
                        glEdgeFlag(piece.boundary[v] ? GL_TRUE : GL_FALSE);
                    const Point2fStruct tc = sh.CapTexAt(p.x, p.z);
                    glTexCoord2f(tc.x, tc.y);
                    const CVVector q = row.origin + row.xAxis * p.x + row.zAxis * p.z;
                    glVertex3f(q.x, q.y, q.z);
                }
            }
        glEnd();
        glEdgeFlag(GL_TRUE);
    }
}

void CVExtrusion::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    try {
        FillDefaultCrossSection();
        const std::wstring problem = GetProblem();
        mProblemNote.Report(area, problem);
        if (!problem.empty() || spine.GetNum() < 2 || crossSection.GetNum() < 2)
            return;
        const bool pick = state && state->m_bPickMode;
        PreRenderGL(state, area, appearance);
        struct Post {
            CVExtrusion* geometry;
            CVState* state;
            CVGLRenderArea* area;
            CVAppearance* appearance;
            ~Post()
            {
                glPopAttrib();
                geometry->PostRenderGL(state, area, appearance);
            }
        } post{this, state, area, appearance};
        glPushAttrib(GL_POLYGON_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_CURRENT_BIT);
        // Lines and points of wire drawing.
        float w = lineWidth.GetValue();
        if (!(w > 0.0f) || !std::isfinite(w))
            w = 1.0f;
        float factor = area ? area->GetGlobalScaleFactor() : 1.0f;
        if (!(factor > 0.0f) || !std::isfinite(factor) || (factor < 1.0f && w <= 1.0f))
            factor = 1.0f;
        w *= factor;
        if (IsAntialiased() && w > 0.3f)
            w -= 0.3f;
        glLineWidth(w);
        glPointSize(w);
        if (!solid.GetValue()) {
            glDisable(GL_CULL_FACE);
            glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
        }
        glFrontFace(ccw.GetValue() ? GL_CCW : GL_CW);

        CheckInputs();
        if (!pick && !IsModified() && mListGeneration == mGeneration && mList.IsReady()) {
            mList.Call();
            return;
        }
        Sweep sweep;
        if (!lumo::extrusion::SweepPositions(Input(), sweep))
            return;
        if (pick) { // selection mode never replays a list
            Draw(sweep);
            return;
        }
        struct Compile {
            CVGeometryList& list;
            bool on;
            ~Compile()
            {
                if (on)
                    list.End();
            }
        } compile{mList, mList.Begin(true)};
        mListGeneration = ~std::uint64_t(0);
        Draw(sweep);
        if (compile.on) {
            mListGeneration = mGeneration;
            SetModifiedFlag(0);
        }
    } catch (...) {
        SetModifiedFlag(1); // out of memory: nothing leaves a draw
    }
}

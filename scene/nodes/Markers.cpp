#include "scene/nodes/Markers.h"

#include "scene/core/State.h"
#include "scene/model/Box3f.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

LUMO_IMPLEMENT_NODE(CVHeart, CVMarker)
LUMO_IMPLEMENT_NODE(CVSpade, CVMarker)
LUMO_IMPLEMENT_NODE(CVClub, CVMarker)
LUMO_IMPLEMENT_NODE(CVStar, CVMarker)
LUMO_IMPLEMENT_NODE(CVHexagon, CVMarker)
LUMO_IMPLEMENT_NODE(CVPrism, CVMarker)
LUMO_IMPLEMENT_NODE(CVFlag, CVMarker)
LUMO_IMPLEMENT_NODE(CVCross, CVMarker)
LUMO_IMPLEMENT_NODE(CVDisc, CVMarker)
LUMO_IMPLEMENT_CLASS(CVXShape, CVCross)
LUMO_IMPLEMENT_CLASS(CVDiamond, CVBox)

namespace {

using Outline = std::vector<Point2fStruct>;

// The points first[from], first[from - 1] ... first[to] with x negated: the
// other half of a symmetric outline, walked back.
void AppendMirror(Outline& out, const Outline& half, int from, int to)
{
    for (int i = from; i >= to; --i)
        out.push_back({-half[size_t(i)].x, half[size_t(i)].y});
}

Outline HeartOutline()
{
    Outline half = {{0, -0.325f}, {0.05f, -0.35f}, {0.1f, -0.45f}, {0.2f, -0.5f},  {0.25f, -0.5f}, {0.35f, -0.45f},
                    {0.4f, -0.35f}, {0.4f, -0.15f}, {0.35f, 0},     {0.3f, 0.1f}, {0.2f, 0.25f},  {0, 0.5f}};
    Outline out = half;
    AppendMirror(out, half, 10, 1);
    return out;
}

Outline SpadeOutline()
{
    Outline out = {{0, -0.5f},    {0.2f, -0.3f}, {0.35f, -0.1f}, {0.4f, 0.05f},  {0.4f, 0.15f},
                   {0.35f, 0.25f}, {0.25f, 0.3f}, {0.15f, 0.3f},  {0.05f, 0.25f}, {0, 0.15f},
                   {0.05f, 0.35f}, {0.1f, 0.5f},  {-0.1f, 0.5f},  {-0.05f, 0.35f}, {0, 0.15f}};
    Outline lobe(out.begin(), out.begin() + 9);
    AppendMirror(out, lobe, 8, 1);
    return out;
}

Outline ClubOutline()
{
    Outline out = {// stem
                   {0, 0.1f}, {0.05f, 0.35f}, {0.1f, 0.5f}, {-0.1f, 0.5f}, {-0.05f, 0.35f}, {0, 0.1f}};
    Outline left = {{-0.1f, 0.25f},  {-0.2f, 0.3f},  {-0.3f, 0.3f},  {-0.4f, 0.25f}, {-0.45f, 0.15f},
                    {-0.45f, 0.05f}, {-0.4f, -0.05f}, {-0.3f, -0.1f}, {-0.2f, -0.1f}, {-0.05f, -0.05f}};
    Outline top = {{-0.15f, -0.15f}, {-0.2f, -0.25f}, {-0.2f, -0.35f}, {-0.15f, -0.45f},
                   {-0.05f, -0.5f},  {0.05f, -0.5f},  {0.15f, -0.45f}, {0.2f, -0.35f},
                   {0.2f, -0.25f},   {0.15f, -0.15f}, {0.05f, -0.05f}};
    out.insert(out.end(), left.begin(), left.end());
    out.insert(out.end(), top.begin(), top.end());
    // The right leaf mirrors the left one; its first point is the top
    // leaf's last.
    AppendMirror(out, left, 8, 0);
    return out;
}

Outline StarOutline()
{
    // Outer points (radius 0.5) and the notches between them (radius 0.25)
    // taken in turn, so that the outline goes point, notch, point...
    const Outline outer = {{0, -0.5f}, {0.4755f, -0.1546f}, {0.2939f, 0.4045f}, {-0.2939f, 0.4045f},
                           {-0.4755f, -0.1546f}};
    const Outline inner = {{0.1469f, -0.2023f}, {0.2378f, 0.0773f}, {0, 0.25f}, {-0.2378f, 0.0773f},
                           {-0.1469f, -0.2023f}};
    Outline out;
    for (size_t i = 0; i < outer.size(); ++i) {
        out.push_back(outer[i]);
        out.push_back(inner[i]);
    }
    return out;
}

const float kSixth = 1.0f / 6.0f;

} // namespace

#define LUMO_MARKER_DEFINE(name, element, plane, outline)                                      \
    void CV##name::AddToTypeNameSpace()                                                        \
    {                                                                                          \
        CVNodeTypeBuilder<CV##name>(element).Field(L"size", &CV##name::size);                  \
    }                                                                                          \
    CVMarkerShape& CV##name::GetShape() const                                                  \
    {                                                                                          \
        static CVMarkerShape shape(CVMarkerShape::plane, outline);                             \
        return shape;                                                                          \
    }

LUMO_MARKER_DEFINE(Heart, L"Heart", PLANE_XZ, HeartOutline())
LUMO_MARKER_DEFINE(Spade, L"Spade", PLANE_XZ, SpadeOutline())
LUMO_MARKER_DEFINE(Club, L"Club", PLANE_XZ, ClubOutline())
LUMO_MARKER_DEFINE(Star, L"Star", PLANE_XZ, StarOutline())
LUMO_MARKER_DEFINE(Hexagon, L"Hexagon", PLANE_XZ,
                   (Outline{{-0.25f, -0.5f}, {0.25f, -0.5f}, {0.5f, 0}, {0.25f, 0.5f}, {-0.25f, 0.5f}, {-0.5f, 0}}))
LUMO_MARKER_DEFINE(Prism, L"Prism", PLANE_XZ, (Outline{{0.5f, -0.5f}, {0, 0.5f}, {-0.5f, -0.5f}}))
LUMO_MARKER_DEFINE(Flag, L"Flag", PLANE_XZ, (Outline{{0, 0.3f}, {0, -0.3f}, {0.6f, 0}}))
LUMO_MARKER_DEFINE(Cross, L"Cross", PLANE_XY,
                   (Outline{{-kSixth, -0.5f},
                            {kSixth, -0.5f},
                            {kSixth, -kSixth},
                            {0.5f, -kSixth},
                            {0.5f, kSixth},
                            {kSixth, kSixth},
                            {kSixth, 0.5f},
                            {-kSixth, 0.5f},
                            {-kSixth, kSixth},
                            {-0.5f, kSixth},
                            {-0.5f, -kSixth},
                            {-kSixth, -kSixth}}))
LUMO_MARKER_DEFINE(Disc, L"Disc", PLANE_XY,
                   (Outline{{-0.5f, 0}, {-0.25f, -0.5f}, {0.25f, -0.5f}, {0.5f, 0}, {0.25f, 0.5f}, {-0.25f, 0.5f}}))

#undef LUMO_MARKER_DEFINE

CVHeart::CVHeart() = default;
CVSpade::CVSpade() = default;
CVClub::CVClub() = default;
CVStar::CVStar() = default;
CVHexagon::CVHexagon() = default;
CVPrism::CVPrism() = default;
CVFlag::CVFlag() = default;
CVCross::CVCross() = default;
CVDisc::CVDisc() { SetAntialiasedFlag(0); }

void CVDisc::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    float scale[3];
    if (!DrawingScale(scale))
        return;
    bool pick = state && state->m_bPickMode;
    glPushMatrix();
    glScalef(scale[0], scale[1], scale[2]);
    if (!pick)
        PreRenderGL(state, area, appearance);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_CULL_FACE);
    glBegin(GL_POLYGON);
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (const Point2fStruct& p : GetShape().GetOutline()) {
        glTexCoord2f(p.x + 0.5f, p.y + 0.5f);
        glVertex3f(p.x, p.y, 0.0f);
    }
    glEnd();
    glPopAttrib();
    if (!pick)
        PostRenderGL(state, area, appearance);
    glPopMatrix();
}

namespace {
const float kSin45 = 0.70710678f;
}

void CVXShape::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    glPushMatrix();
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    CVCross::Render(state, area, appearance);
    glPopMatrix();
}

void CVXShape::ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box)
{
    CVCross::ComputeBoundingBox(state, area, box);
    CVVector e = box->GetSize();
    // The scaled outline's corners, turned.
    float half = 0.0f;
    for (const Point2fStruct& p : GetShape().GetOutline()) {
        float x = p.x * e.x, y = p.y * e.y;
        half = std::max({half, std::fabs((x - y) * kSin45), std::fabs((x + y) * kSin45)});
    }
    box->SetSize(CVVector(2.0f * half, 2.0f * half, e.z));
}

CVDiamond::CVDiamond() { SetAntialiasedFlag(1); }

void CVDiamond::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    glPushMatrix();
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    CVBox::Render(state, area, appearance);
    glPopMatrix();
}

void CVDiamond::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    const Point3fStruct& s = size.GetValue();
    auto magnitude = [](float v) { return std::isfinite(v) ? std::fabs(v) : 0.0f; };
    float xy = (magnitude(s.x) + magnitude(s.y)) * kSin45;
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(CVVector(xy, xy, magnitude(s.z)));
}

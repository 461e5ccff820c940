#include "scene/nodes/SPGeometry.h"

#include "scene/core/State.h"
#include "scene/nodes/Appearance.h"
#include "scene/nodes/BitmapFontStyle.h"
#include "scene/nodes/Box.h"
#include "scene/nodes/Cone.h"
#include "scene/nodes/Cylinder.h"
#include "scene/nodes/FontStyle.h"
#include "scene/nodes/ImageTexture.h"
#include "scene/nodes/Markers.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Sphere.h"
#include "scene/nodes/Text.h"
#include "scene/render/ControllerValues.h"
#include "scene/render/GLRenderArea.h"
#include "scene/text/MarkupReader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cwctype>

LUMO_IMPLEMENT_CLASS(CVSPGeometry, CVGeometry)

namespace {

std::wstring Upper(const std::wstring& s)
{
    std::wstring out(s);
    for (wchar_t& c : out)
        c = wchar_t(std::towupper(wint_t(c)));
    return out;
}

bool Positive(float v) { return std::isfinite(v) && v > 0.0f; }

// Texture image per face (top, bottom, front, back, right, left) of a
// texture with several images: front the first, left the second, right the
// third, top the fourth, back the fifth, bottom the sixth.
const int kFaceImage[6] = {3, 5, 0, 4, 2, 1};

} // namespace

CVSPGeometry::CVSPGeometry()
{
    size.SetValue(1.0f, 1.0f, 1.0f);
    solid.SetValue(1);
    outline.SetValue(1);
    outlineColor.SetValue(-1.0f, 0.0f, 0.0f);
    outlineThickness.SetValue(1.0f);
}

CVText* CVSPGeometry::GetLabelText()
{
    // Made on first use: most objects of a large plan never show a label.
    if (!mLabel)
        mLabel = CVRefPtr<CVText>(new CVText);
    return mLabel.get();
}

CVSPGeometry::~CVSPGeometry() = default;

void CVSPGeometry::ComputeBoundingBox(CVState*, CVGLRenderArea*, CVBox3f* box)
{
    if (!box)
        return;
    const Point3fStruct& s = size.GetValue();
    box->SetCenter(CVVector(0, 0, 0));
    box->SetSize(CVVector(std::fabs(s.x), std::fabs(s.y), std::fabs(s.z)));
}

void CVSPGeometry::SetCachedGeometry(CVGeometry* geometry) { mLineShapeGeometry = CVRefPtr<CVGeometry>(geometry); }

CVSPGeometry::ShapeBody CVSPGeometry::GetShapeGeometry(CVGLRenderArea* area, const std::wstring& shapeName,
                                                     const Point3fStruct& s, int solidBody)
{
    ShapeBody body;
    const std::wstring name = Upper(shapeName);
    if (name.empty() || name == L"BOX")
        return body;
    const float w = std::fabs(s.x), h = std::fabs(s.y), d = std::fabs(s.z);
    if (name.size() >= 5 && name.compare(name.size() - 4, 4, L".SHP") == 0) {
        // Read once per name; the body is made again from the kept segments
        // when the size or the solid flag changes. A name that failed is
        // remembered, so that a missing file is not searched every frame.
        if (shapeName != mLineShapeKey) {
            mLineShapeKey = shapeName;
            mLineShape.reset();
            mLineShapeGeometry = CVRefPtr<CVGeometry>();
            mLineShapeFailed = false;
        }
        if (!mLineShape && !mLineShapeFailed) {
            auto shape = std::make_unique<CVSPLineShape>();
            if (area && shape->CreateFromFile(area->GetTextureImageSearchPath(), shapeName, area->GetIUnknownInterface()) &&
                shape->GetSegments().size() >= 2) {
                mLineShape = std::move(shape);
                mShapeProblem.Report(area, std::wstring());
            } else if (area) {
                mLineShapeFailed = true;
                mShapeProblem.Report(area, L"shape file \"" + shapeName +
                                               L"\" not found, not readable, over the size bounds or with fewer "
                                               L"than two segments; drawn as a box");
            }
        }
        if (!mLineShape)
            return body;
        const BodyKey key{std::wstring(), w, h, d, solidBody ? 1 : 0};
        if (!mLineShapeGeometry || !(key == mLineShapeBuiltFor)) {
            mLineShapeGeometry = CVRefPtr<CVGeometry>(mLineShape->CreateGeometry(solidBody, w, h, d));
            mLineShapeBuiltFor = key;
        }
        body.geometry = mLineShapeGeometry.get();
        return body;
    }
    if (!Positive(w) || !Positive(h) || !Positive(d))
        return body;
    BodyKey key{name, w, h, d, int(GetStippleIndex())};
    if (!(key == mPrimitiveKey) || !mPrimitive) {
        CVGeometry* g = nullptr;
        if (name == L"CYLINDER" || name == L"CONE") {
            const float r = std::min(w, d) / 2.0f;
            if (name == L"CYLINDER") {
                auto* c = new CVCylinder;
                c->radius.SetValue(r);
                c->height.SetValue(h);
                g = c;
            } else {
                auto* c = new CVCone;
                c->bottomRadius.SetValue(r);
                c->height.SetValue(h);
                g = c;
            }
        } else if (name == L"SPHERE") {
            auto* sphere = new CVSphere;
            sphere->radius.SetValue(std::min({w, h, d}) / 2.0f);
            g = sphere;
        } else if (name == L"HEXAGON" || name == L"PRISM" || name == L"STAR") {
            CVMarker* m = name == L"HEXAGON" ? static_cast<CVMarker*>(new CVHexagon)
                          : name == L"PRISM" ? static_cast<CVMarker*>(new CVPrism)
                                             : static_cast<CVMarker*>(new CVStar);
            m->size.SetValue(w, h, d);
            g = m;
        } else if (name == L"STIPPLEBOX") {
            auto* box = new CVBox;
            box->size.SetValue(w, h, d);
            box->SetStippledFlag(1);
            box->SetPartialSelectionFlag(1);
            box->SetStippleIndex(GetStippleIndex());
            box->SetStipplePercent(100);
            g = box;
        }
        if (!g)
            return body; // any other name: the plain box
        g->SetVRMLCompliantFlag(0);
        mPrimitive = CVRefPtr<CVGeometry>(g);
        mPrimitiveKey = std::move(key);
    }
    body.geometry = mPrimitive.get();
    if (name == L"CYLINDER" || name == L"CONE") {
        body.scale[0] = std::max(w / d, 1.0f);
        body.scale[2] = std::max(d / w, 1.0f);
    } else if (name == L"SPHERE") {
        const float diameter = std::min({w, h, d});
        body.scale[0] = std::max(w / diameter, 1.0f);
        body.scale[1] = std::max(h / diameter, 1.0f);
        body.scale[2] = std::max(d / diameter, 1.0f);
    }
    return body;
}

void CVSPGeometry::RenderSolidBox(CVState* state, CVGLRenderArea* area, CVAppearance* appearance,
                                  const Point3fStruct& s, const Point3fStruct* repeats)
{
    PreRenderGL(state, area, appearance);
    glPushAttrib(GL_POLYGON_BIT);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.5f, 1.0f);
    glPushMatrix();
    glScalef(s.x, s.y, s.z);
    auto* image = appearance && area && area->IsTexturingEnabled() && appearance->GetDrawnTexture(area) &&
                          appearance->texture->IsKindOf<CVImageTexture>()
                      ? static_cast<CVImageTexture*>(appearance->texture.GetValue())
                      : nullptr;
    const bool severalImages = image && image->url.GetNum() > 1;
    const bool repeat = image && repeats && (repeats->x > 1 || repeats->y > 1 || repeats->z > 1);
    for (int f = 0; f < 6; ++f) {
        if (severalImages)
            image->BindImage(kFaceImage[f]);
        if (repeat || severalImages) {
            float a = 1.0f, b = 1.0f;
            if (repeats) {
                if (f <= CVBox::BOTTOM) {
                    a = repeats->x;
                    b = repeats->z;
                } else if (f <= CVBox::BACK) {
                    a = repeats->x;
                    b = repeats->y;
                } else {
                    a = repeats->z;
                    b = repeats->y;
                }
            }
            PushTextureScale(std::max(a, 1.0f), std::max(b, 1.0f));
            CVBox::DrawUnitFace(f, true);
            PopTextureScale();
        } else {
            CVBox::DrawUnitFace(f, true);
        }
    }
    glPopMatrix();
    glPopAttrib();
    PostRenderGL(state, area, appearance);
}

void CVSPGeometry::EmitBoxEdges(const Point3fStruct& s)
{
    const float x = s.x / 2.0f, y = s.y / 2.0f, z = s.z / 2.0f;
    const float c[8][3] = {{-x, -y, z}, {x, -y, z}, {x, y, z}, {-x, y, z},
                           {-x, -y, -z}, {x, -y, -z}, {x, y, -z}, {-x, y, -z}};
    static const int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                      {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& e : kEdges) {
        glVertex3fv(c[e[0]]);
        glVertex3fv(c[e[1]]);
    }
}

void CVSPGeometry::RenderOutline(const Point3fStruct& s, int front)
{
    glBegin(GL_LINES);
    EmitBoxEdges(s);
    if (front) {
        // The front rectangle again, on top of the rest.
        const float x = s.x / 2.0f, y = s.y / 2.0f, z = s.z / 2.0f;
        const float c[4][3] = {{-x, -y, z}, {x, -y, z}, {x, y, z}, {-x, y, z}};
        for (int i = 0; i < 4; ++i) {
            glVertex3fv(c[i]);
            glVertex3fv(c[(i + 1) % 4]);
        }
    }
    glEnd();
}

void CVSPGeometry::RenderShapeOutline(CVState* state, CVGLRenderArea* area, const ShapeBody& body)
{
    if (!body.geometry)
        return;
    glPushAttrib(GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glPushMatrix();
    glScalef(body.scale[0], body.scale[1], body.scale[2]);
    body.geometry->Render(state, area, nullptr);
    glPopMatrix();
    glPopAttrib();
}

void CVSPGeometry::DoPickBox(const Point3fStruct& s)
{
    glPushMatrix();
    glScalef(s.x, s.y, s.z);
    for (int f = 0; f < 6; ++f)
        CVBox::DrawUnitFace(f, false);
    glPopMatrix();
}

float CVSPGeometry::SetLineWidthAndColor(CVGLRenderArea* area)
{
    const float thickness = std::fabs(outlineThickness.GetValue());
    float g = area ? area->GetGlobalScaleFactor() : 1.0f;
    if (!std::isfinite(g) || (g < 1.0f && thickness <= 1.0f))
        g = 1.0f;
    float width = std::isfinite(thickness) ? std::min(thickness * g, 64.0f) : 1.0f;
    if (IsAntialiased() && width > 0.3f)
        width -= 0.3f;
    glLineWidth(std::max(width, 0.1f));
    if (solid.GetValue()) {
        const RGBColorStruct& c = outlineColor.GetValue();
        const RGBColorStruct own = c.red < 0.0f && area ? area->GetSPOutlineColor() : c;
        glColor3f(own.red, own.green, own.blue);
    }
    return width;
}

bool CVSPGeometry::InvertColor(const RGBColorStruct& body)
{
    return 0.299f * body.red + 0.587f * body.green + 0.114f * body.blue <= 0.56863f;
}

CVBaseFontStyle* CVSPGeometry::GetFontStyleNode(CVGLRenderArea* area, CVDefaultFontStyle which, int& own)
{
    own = 1;
    if (CVBitmapFontStyle* b = bitmapFontStyle.GetValue())
        return b;
    if (CVFontStyle* f = fontStyle.GetValue())
        return f;
    own = 0;
    if (!area)
        return nullptr;
    switch (which) {
    case kProductFontStyle:
        return area->GetProductFontStyle();
    case kFixtureFontStyle:
        return area->GetFixtureFontStyle();
    case kSubfixtureFontStyle:
        return area->GetSubfixtureFontStyle();
    case kAnnotationFontStyle:
        return area->GetAnnotationFontStyle();
    }
    return nullptr;
}

void CVSPGeometry::RenderLabel(CVState* state, CVGLRenderArea* area, const CVBox3f& box, CVDefaultFontStyle which,
                               const RGBAColorStruct& colour)
{
    if (label.GetNum() == 0 || box.IsEmpty())
        return;
    int own = 0;
    CVBaseFontStyle* style = GetFontStyleNode(area, which, own);
    if (!style)
        return;
    if (!own && style->IsKindOf<CVBitmapFontStyle>()) {
        // The area's style is shared by every label of the kind: each
        // label sets its own colours before it draws.
        auto* b = static_cast<CVBitmapFontStyle*>(style);
        const RGBColorStruct body{colour.red, colour.green, colour.blue};
        b->backColor.SetValue(body);
        const float ink = InvertColor(body) ? 1.0f : 0.0f;
        b->textColor.SetValue(ink, ink, ink);
    }
    CVText* text = UpdateLabelText(false);
    if (text->fontStyle.GetValue() != style)
        text->fontStyle.SetValue(style);
    const CVVector& c = box.GetCenter();
    const CVVector& s = box.GetSize();
    text->SetMaxWidth(s.x);
    text->SetMaxHeight(s.y);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    // Just in front of the box's front face.
    glTranslatef(c.x, c.y, c.z + s.z / 2.0f + 0.001f);
    text->Render(state, area, nullptr);
    glPopMatrix();
    glPopAttrib();
    // The area's styles live with the area: the text does not keep one.
    if (!own)
        text->fontStyle.SetValue(nullptr);
}

CVText* CVSPGeometry::UpdateLabelText(bool markup)
{
    mLabelWatch.Begin();
    mLabelWatch.Add(markup);
    for (int i = 0; i < label.GetNum(); ++i) {
        const std::wstring& s = label[i];
        mLabelWatch.Add(s.size());
        if (!s.empty())
            mLabelWatch.Add(s.data(), s.size() * sizeof(wchar_t));
    }
    CVText* text = GetLabelText();
    if (!mLabelWatch.End())
        return text;
    text->string.RemoveAll();
    for (int i = 0; i < label.GetNum(); ++i)
        text->string.Add(label[i]);
    std::vector<CVRichTextFragment> fragments;
    if (markup)
        lumo::text::ReadMarkup(text->string, &fragments);
    text->SetRichTextFragments(fragments);
    text->SetModifiedFlag(1);
    return text;
}

bool CVSPGeometry::HighlightDragDrop(CVGLRenderArea* area) const
{
    const CVControllerValues* controller = area ? area->GetControllerValues() : nullptr;
    return controller && controller->IsDraggedGeometry(this);
}

bool CVSPGeometry::HiddenByCrossSection(CVGLRenderArea* area) const
{
    if (!area || !area->GetCrossSectionViewEnabled())
        return false;
    const CVControllerValues* controller = area->GetControllerValues();
    return controller && !controller->IsNodeInCrossSection(this);
}

CVSPGeometry::Look CVSPGeometry::SetTransparency(CVGLRenderArea* area, CVAppearance* appearance)
{
    Look look;
    CVMaterial* material = appearance ? appearance->material.GetValue() : nullptr;
    const bool texture = appearance && area && area->IsTexturingEnabled() && appearance->GetDrawnTexture(area);
    look.ownColour = material || texture;
    if (material) {
        const RGBColorStruct& d = material->diffuseColor.GetValue();
        look.colour = {d.red, d.green, d.blue, 1.0f - material->transparency.GetValue()};
        look.transparent = material->transparency.GetValue() > 0.0f;
    } else if (texture && area) {
        // Labels of a textured body stand on the kind's colour.
        look.colour = KindColour(area);
        look.colour.alpha = 1.0f;
    } else if (area) {
        look.colour = KindColour(area);
        look.transparent = look.colour.alpha < 1.0f;
    }
    if (texture && appearance->GetDrawnTexture(area)->IsTextureTransparent())
        look.transparent = true;
    if (FadesWithSolidFixtures(area)) {
        look.colour.alpha = 0.5f;
        look.transparent = true;
    }
    if (HighlightDragDrop(area)) {
        look.colour.alpha = 0.6f;
        look.transparent = true;
    }
    if (area && !area->IsTransparencyEnabled())
        look.transparent = false;
    // A texture shows its own colours (modulated by white).
    const float alpha = look.transparent ? look.colour.alpha : 1.0f;
    if (texture && !material)
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
    else if (!material)
        glColor4f(look.colour.red, look.colour.green, look.colour.blue, alpha);
    return look;
}

void CVSPGeometry::RenderPickTarget(CVState* state, CVGLRenderArea* area)
{
    ShapeBody body = GetShapeGeometry(area, shape.GetValue(), size.GetValue(), solid.GetValue());
    if (body.geometry) {
        glPushMatrix();
        glScalef(body.scale[0], body.scale[1], body.scale[2]);
        body.geometry->Render(state, area, nullptr);
        glPopMatrix();
    } else {
        DoPickBox(size.GetValue());
    }
}

void CVSPGeometry::RenderBody(CVState* state, CVGLRenderArea* area, CVAppearance* appearance, const Look&)
{
    ShapeBody body = GetShapeGeometry(area, shape.GetValue(), size.GetValue(), 1);
    if (body.geometry) {
        glPushMatrix();
        glScalef(body.scale[0], body.scale[1], body.scale[2]);
        body.geometry->Render(state, area, appearance);
        glPopMatrix();
    } else {
        RenderSolidBox(state, area, appearance, size.GetValue(), nullptr);
    }
}

void CVSPGeometry::RenderEdges(CVState* state, CVGLRenderArea* area, const Look&)
{
    SetLineWidthAndColor(area);
    ShapeBody body = GetShapeGeometry(area, shape.GetValue(), size.GetValue(), solid.GetValue());
    if (body.geometry)
        RenderShapeOutline(state, area, body);
    else
        RenderOutline(size.GetValue());
}

void CVSPGeometry::Render(CVState* state, CVGLRenderArea* area, CVAppearance* appearance)
{
    if (!state || !area || !IsShown(area))
        return;
    if (state->m_bPickMode) {
        RenderPickTarget(state, area);
        return;
    }
    const int pass = state->m_nRenderPass;
    if (pass == PASS_SHADOW) {
        if (solid.GetValue())
            RenderBody(state, area, nullptr, Look{});
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_COLOR_BUFFER_BIT);
    const Look look = SetTransparency(area, appearance);
    const bool main = pass == PASS_MAIN || pass == PASS_NONE;
    const bool late = pass == PASS_TRANSPARENT || pass == PASS_NONE;
    if (solid.GetValue() && ((main && !look.transparent) || (late && look.transparent))) {
        if (look.transparent) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glDepthMask(GL_FALSE);
        }
        RenderBody(state, area, appearance, look);
        glDepthMask(GL_TRUE);
    }
    if (late) {
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        if (outline.GetValue() || !solid.GetValue())
            RenderEdges(state, area, look);
        RenderExtras(state, area, look);
    }
    glPopAttrib();
}

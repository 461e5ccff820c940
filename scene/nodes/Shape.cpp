#include "scene/nodes/Shape.h"

#include "scene/core/State.h"
#include "scene/nodes/Material.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <algorithm>

LUMO_IMPLEMENT_NODE(CVShape, CVChild)

void CVShape::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVShape>(L"Shape")
        .Field(L"appearance", &CVShape::appearance)
        .Field(L"geometry", &CVShape::geometry);
}

void CVShape::ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box)
{
    if (CVGeometry* g = geometry.GetValue())
        g->ComputeBoundingBox(state, area, box);
}

CVDetail* CVShape::GetPickDetail(unsigned int name)
{
    CVGeometry* g = geometry.GetValue();
    return g ? g->GetPickDetail(name) : nullptr;
}

void CVShape::Render(CVState* state, CVGLRenderArea* area)
{
    CVGeometry* g = geometry.GetValue();
    if (!g || !state || !area)
        return;
    if (state->m_bPickMode) {
        if (g->IsNotSelectable())
            return;
        glPushName(0xFFFFFFFFu);
        g->Render(state, area, nullptr);
        glPopName();
        return;
    }
    if (g->IsNotVisible())
        return;
    int pass = state->m_nRenderPass;
    int mode = area->GetAntialiasingMode();
    if (mode > 0 && (pass == PASS_MAIN || pass == PASS_ANNOTATION)) {
        // Jittered passes draw everything but text; the final pass only text
        // and post-jitter geometry.
        int skipIn = g->IsKind(CVGeometry::KIND_TEXT) || g->IsPostJitter() ? 1 : 2;
        if (mode == skipIn)
            return;
    }
    if (pass == PASS_MAIN) {
        DrawShadow(state, area, g);
        CVAppearance* a = appearance.GetValue();
        // A see-through texture counts like a transparent material: the
        // shape is drawn sorted, after the opaque ones.
        if (a && (a->GetTransparency() > 0.0f || a->HasTransparentTexture(state, area)))
            g->SetTransparentFlag(1);
        if (g->IsKind(CVGeometry::KIND_SP_GEOMETRY)) {
            if (g->IsKind(CVGeometry::KIND_SP_ANNOTATION))
                area->AddToAnnotationNodeList(this, state);
            else if (!g->IsKind(CVGeometry::KIND_SP_SECTION))
                area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_BLENDED);
        } else if (Deferred(state, area, g)) {
            return;
        }
    }
    Draw(state, area, g);
    DrawHighlight(state, area, g);
    // The texture stays bound for nothing else drawn after the shape.
    if (CVAppearance* a = appearance.GetValue(); a && a->GetDrawnTexture(area))
        glBindTexture(GL_TEXTURE_2D, 0);
}

bool CVShape::Deferred(CVState* state, CVGLRenderArea* area, CVGeometry* g)
{
    if (!g->NeedsSorting())
        return false;
    if (g->IsForceSorted() && g->IsKind(CVGeometry::KIND_LINE_BOX)) {
        area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_LINE_BOX);
        return true;
    }
    GLint modes[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    if (g->IsAntialiased() && area->IsLineAntialiasingEnabled() &&
        (modes[0] == GL_LINE || g->IsKind(CVGeometry::KIND_INDEXED_LINE_SET))) {
        area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_BLENDED);
        return true;
    }
    if (modes[0] == GL_FILL) {
        if ((g->IsTransparent() && area->IsTransparencyEnabled()) || g->IsDropShadowed()) {
            area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_BLENDED);
            return true;
        }
        if (g->IsAntialiased() && g->IsKind(CVGeometry::KIND_TEXT)) {
            area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_TEXT);
            return true;
        }
        if (g->IsForceSorted()) {
            area->AddToTransparentNodeList(this, state, CVGLRenderArea::KIND_SORTED);
            return true;
        }
    }
    return false;
}

void CVShape::DrawShadow(CVState* state, CVGLRenderArea* area, CVGeometry* g)
{
    if (!area->IsDropShadowsEnabled() || !g->IsDropShadowed() || g->IsKind(CVGeometry::KIND_INDEXED_LINE_SET))
        return;
    GLint modes[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    if (modes[0] == GL_LINE)
        return;
    // The stipple pattern is saved too: the shadow's checkerboard replaces it.
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_POLYGON_STIPPLE_BIT);
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glEnable(GL_POLYGON_STIPPLE);
    glPolygonStipple(CVGLRenderArea::GetDropShadowStipple());
    const RGBAColorStruct& c = area->GetDropShadowColor();
    glColor3f(c.red, c.green, c.blue);
    glMultMatrixf(area->GetShadowMatrix());
    state->m_nRenderPass = PASS_SHADOW;
    g->Render(state, area, nullptr);
    state->m_nRenderPass = PASS_MAIN;
    glPopMatrix();
    glPopAttrib();
}

void CVShape::Draw(CVState* state, CVGLRenderArea* area, CVGeometry* g)
{
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    if (CVAppearance* a = appearance.GetValue()) {
        a->Render(state, area);
        CVTextureTransform* t = area->IsTexturingEnabled() ? a->textureTransform.GetValue() : nullptr;
        if (t) {
            CVTextureTransform::PushMatrix();
            t->Apply();
        }
        g->Render(state, area, a);
        if (t)
            CVTextureTransform::PopMatrix();
    } else {
        if (!g->IsKind(CVGeometry::KIND_SP_GEOMETRY))
            glColor3f(0.8f, 0.8f, 0.8f);
        g->Render(state, area, nullptr);
    }
}

void CVShape::DrawHighlight(CVState* state, CVGLRenderArea* area, CVGeometry* g)
{
    if (!g->IsStippled() || g->IsPartialSelection())
        return;
    const RGBColorStruct& s = area->GetSelectionColor();
    glColor3f(s.red, s.green, s.blue);
    float c = std::min(g->GetStipplePercent() * 0.01f, 1.0f);
    float d = c + 0.0005f;
    glPushMatrix();
    if (g->IsYAxisExtrusion())
        glScalef(d, 1.0005f, d);
    else
        glScalef(d, d, 1.0005f);
    glEnable(GL_POLYGON_STIPPLE);
    g->Render(state, area, appearance.GetValue());
    glDisable(GL_POLYGON_STIPPLE);
    glPopMatrix();
}

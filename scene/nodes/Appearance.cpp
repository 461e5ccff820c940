#include "scene/nodes/Appearance.h"

#include "scene/nodes/Material.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

LUMO_IMPLEMENT_NODE(CVAppearance, CVNode)
LUMO_IMPLEMENT_NODE(CVMaterial, CVNode)
LUMO_IMPLEMENT_CLASS(CVMaterialTwoSided, CVMaterial)
CVNodeType* CVMaterialTwoSided::nodeType = nullptr;

void CVAppearance::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVAppearance>(L"Appearance")
        .Field(L"material", &CVAppearance::material)
        .Field(L"texture", &CVAppearance::texture)
        .Field(L"textureTransform", &CVAppearance::textureTransform);
}

float CVAppearance::GetTransparency() const
{
    return material.GetValue() ? material->transparency.GetValue() : 0.0f;
}

void CVAppearance::Render(CVState* state, CVGLRenderArea* area)
{
    CVMaterial* m = material.GetValue();
    if (m)
        m->Render(state, area);
    CVTexture* t = texture.GetValue();
    if (!t || !area || !area->IsTexturingEnabled())
        return;
    if (!area->IsTextureColorBlendEnabled())
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f - GetTransparency());
    t->Render(state, area);
    if (t->GetTextureRendered())
        return;
    if (m) {
        m->Render(state, area);
    } else {
        const RGBColorStruct& c = t->GetFallBackColor();
        glColor4f(c.red, c.green, c.blue, 1.0f);
    }
}

CVTexture* CVAppearance::GetDrawnTexture(const CVGLRenderArea* area) const
{
    CVTexture* t = texture.GetValue();
    return t && area && area->IsTexturingEnabled() && t->GetTextureRendered() ? t : nullptr;
}

bool CVAppearance::HasTransparentTexture(CVState* state, CVGLRenderArea* area) const
{
    CVTexture* t = texture.GetValue();
    if (!t || !area || !area->IsTexturingEnabled())
        return false;
    t->PrepareTexture(state, area);
    return t->GetTextureRendered() && t->IsTextureTransparent();
}

CVMaterial::CVMaterial()
{
    // Colour fields start at 0.8 grey; emission and specular start black.
    emissiveColor.SetValue(0.0f, 0.0f, 0.0f);
    specularColor.SetValue(0.0f, 0.0f, 0.0f);
    ambientIntensity.SetValue(0.8f);
    shininess.SetValue(0.2f);
}

void CVMaterial::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVMaterial>(L"Material")
        .Field(L"ambientIntensity", &CVMaterial::ambientIntensity)
        .Field(L"diffuseColor", &CVMaterial::diffuseColor)
        .Field(L"emissiveColor", &CVMaterial::emissiveColor)
        .Field(L"shininess", &CVMaterial::shininess)
        .Field(L"specularColor", &CVMaterial::specularColor)
        .Field(L"transparency", &CVMaterial::transparency);
}

namespace {
void SetFace(GLenum face, const RGBColorStruct& diffuse, float ambientIntensity, const RGBColorStruct& specular,
             float shininess, const RGBColorStruct& emissive, float a)
{
    const GLfloat ambient[4] = {diffuse.red * ambientIntensity, diffuse.green * ambientIntensity,
                                diffuse.blue * ambientIntensity, a};
    const GLfloat shine[4] = {specular.red, specular.green, specular.blue, a};
    const GLfloat emission[4] = {emissive.red, emissive.green, emissive.blue, a};
    glMaterialfv(face, GL_AMBIENT, ambient);
    glMaterialfv(face, GL_SPECULAR, shine);
    glMaterialf(face, GL_SHININESS, shininess * 128.0f);
    glMaterialfv(face, GL_EMISSION, emission);
}
} // namespace

void CVMaterial::Render(CVState*, CVGLRenderArea*)
{
    float a = 1.0f - transparency.GetValue();
    const RGBColorStruct& d = diffuseColor.GetValue();
    glColor4f(d.red, d.green, d.blue, a);
    SetFace(GL_FRONT_AND_BACK, d, ambientIntensity.GetValue(), specularColor.GetValue(), shininess.GetValue(),
            emissiveColor.GetValue(), a);
}

CVMaterialTwoSided::CVMaterialTwoSided()
{
    backEmissiveColor.SetValue(0.0f, 0.0f, 0.0f);
    backSpecularColor.SetValue(0.0f, 0.0f, 0.0f);
    backAmbientIntensity.SetValue(0.8f);
    backShininess.SetValue(0.2f);
}

void CVMaterialTwoSided::AddToTypeNameSpace()
{
    CVNodeTypeBuilder<CVMaterialTwoSided>(L"MaterialTwoSided")
        .Field(L"ambientIntensity", &CVMaterialTwoSided::ambientIntensity)
        .Field(L"diffuseColor", &CVMaterialTwoSided::diffuseColor)
        .Field(L"emissiveColor", &CVMaterialTwoSided::emissiveColor)
        .Field(L"shininess", &CVMaterialTwoSided::shininess)
        .Field(L"specularColor", &CVMaterialTwoSided::specularColor)
        .Field(L"transparency", &CVMaterialTwoSided::transparency);
}

void CVMaterialTwoSided::Render(CVState* state, CVGLRenderArea* area)
{
    CVMaterial::Render(state, area);
    if (!separateBack.GetValue())
        return;
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    float b = 1.0f - backTransparency.GetValue();
    const RGBColorStruct& d = backDiffuseColor.GetValue();
    const GLfloat diffuse[4] = {d.red, d.green, d.blue, b};
    glMaterialfv(GL_BACK, GL_DIFFUSE, diffuse);
    SetFace(GL_BACK, d, backAmbientIntensity.GetValue(), backSpecularColor.GetValue(), backShininess.GetValue(),
            backEmissiveColor.GetValue(), b);
}

// Surface colours of a shape, and a variant with separate back-face colours.
#pragma once

#include "scene/core/Node.h"
#include "scene/core/NodeType.h"
#include "scene/model/SFields.h"

class CVMaterial : public CVNode {
    LUMO_DECLARE_NODE(CVMaterial)

public:
    CVMaterial();

    CVSFFloat ambientIntensity;
    CVSFColor diffuseColor;
    CVSFColor emissiveColor;
    CVSFFloat shininess;
    CVSFColor specularColor;
    CVSFFloat transparency;

    void Render(CVState* state, CVGLRenderArea* area) override;
};

// Not a document element: program code creates it and sets its members.
class CVMaterialTwoSided : public CVMaterial {
    LUMO_DECLARE_CLASS(CVMaterialTwoSided)

public:
    CVMaterialTwoSided();

    CVSFFloat backAmbientIntensity;
    CVSFColor backDiffuseColor;
    CVSFColor backEmissiveColor;
    CVSFFloat backShininess;
    CVSFColor backSpecularColor;
    CVSFFloat backTransparency;
    // While FALSE the back fields have no effect.
    CVSFBool separateBack;

    void Render(CVState* state, CVGLRenderArea* area) override;
    // The class has a field list for program code, but no document element:
    // the type is created in the top space only when asked for; until then
    // its fields are not found by name.
    static CVNodeType* nodeType;
    static void AddToTypeNameSpace();
    CVField* GetField(const wchar_t* name) override { return nodeType ? nodeType->GetField(this, name) : nullptr; }
};

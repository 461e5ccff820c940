// How a shape looks: its material, its texture and its texture transform.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/nodes/Material.h"
#include "scene/nodes/Texture.h"
#include "scene/nodes/TextureTransform.h"

class CVAppearance : public CVNode {
    LUMO_DECLARE_NODE(CVAppearance)

public:
    CVSFNode<CVMaterial> material{this};
    CVSFNode<CVTexture> texture{this};
    CVSFNode<CVTextureTransform> textureTransform{this};

    // The material, then (with the area's texturing on) the texture: white
    // under the texture unless texture colour blending is on; when no
    // texture could be made, the material again (or the texture's fall-back
    // colour without one). The texture transform is the shape's to apply.
    void Render(CVState* state, CVGLRenderArea* area) override;
    // The material's transparency, 0 without a material.
    float GetTransparency() const;
    // The texture when the area textures and the last Render bound one.
    CVTexture* GetDrawnTexture(const CVGLRenderArea* area) const;
    // Whether the texture the area would draw has transparent pixels
    // (finding or loading it first).
    bool HasTransparentTexture(CVState* state, CVGLRenderArea* area) const;
};

// How a shape looks: its material and (with the texture nodes) its texture
// and texture transform.
#pragma once

#include "scene/core/NodeFields.h"
#include "scene/core/NodeType.h"
#include "scene/nodes/Material.h"

class CVAppearance : public CVNode {
    LUMO_DECLARE_NODE(CVAppearance)

public:
    CVSFNode<CVMaterial> material{this};
    // Texture nodes (ImageTexture) and texture transforms; held as nodes
    // until their classes take part in drawing.
    CVSFNode<CVNode> texture{this};
    CVSFNode<CVNode> textureTransform{this};

    void Render(CVState* state, CVGLRenderArea* area) override;
    // The material's transparency, 0 without a material.
    float GetTransparency() const;
};

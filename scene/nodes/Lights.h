// Lights and the lighting model, user clip planes, polygon draw style and
// polygon offset: nodes that set OpenGL state for what follows them.
#pragma once

#include "scene/core/Child.h"
#include "scene/core/NodeType.h"
#include "scene/model/SFields.h"

class CVLight : public CVChild {
    LUMO_DECLARE_CLASS(CVLight)

public:
    CVSFFloat ambientIntensity;
    CVSFColor color;
    CVSFFloat intensity;
    CVSFBool on;

protected:
    CVLight();
    // The first light not enabled among maxLights; 0 when all are in use.
    static int FindUnusedGLLight(unsigned& id, int maxLights);
};

// The one light type: a light at infinity shining along its direction; also
// the render action's headlight.
class CVDirectionalLight : public CVLight {
    LUMO_DECLARE_NODE(CVDirectionalLight)

public:
    CVDirectionalLight();
    CVSFVec3f direction;
    void Render(CVState* state, CVGLRenderArea* area) override;
};

class CVLightModel : public CVChild {
    LUMO_DECLARE_CLASS(CVLightModel)

public:
    CVLightModel();
    CVSFInt32 lightingOn;
    CVSFInt32 viewerMode;
    CVSFColor ambientColor;
    CVSFBool twoSided;
    void Render(CVState* state, CVGLRenderArea* area) override;
};

// Keeps the half-space normal . p >= distance.
class CVClipPlane : public CVChild {
    LUMO_DECLARE_CLASS(CVClipPlane)

public:
    CVClipPlane();
    CVSFBool on;
    CVSFVec3f normal;
    CVSFFloat distance;
    void Render(CVState* state, CVGLRenderArea* area) override;
    // Empty, carrying the plane in its clip list when on.
    void ComputeBoundingBox(CVState* state, CVGLRenderArea* area, CVBox3f* box) override;

protected:
    static int FindUnusedGLClipPlane(unsigned& id);
};

class CVDrawStyle : public CVChild {
    LUMO_DECLARE_CLASS(CVDrawStyle)

public:
    enum Style { FILLED = 0, LINES = 1, POINTS = 2, INVISIBLE = 3 };
    CVDrawStyle();
    CVSFInt32 style;
    CVSFFloat lineWidth; // stored only
    void Render(CVState* state, CVGLRenderArea* area) override;
};

class CVPolygonOffset : public CVChild {
    LUMO_DECLARE_CLASS(CVPolygonOffset)

public:
    CVSFBool fillOffset;
    CVSFBool lineOffset;
    CVSFBool pointOffset;
    CVSFFloat factor;
    CVSFFloat units;
    void Render(CVState* state, CVGLRenderArea* area) override;
};

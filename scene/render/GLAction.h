// A traversal that needs an OpenGL render area; holds one reference on it.
// Group state pushes save and restore the enable, lighting and polygon state,
// and matrix pushes the matrices, as deep as the scene nests (past the
// driver's shallow stacks too).
#pragma once

#include "scene/core/Action.h"
#include "scene/render/GLStateStack.h"

class CVGLDevice;
class CVGLRenderArea;

class CVGLAction : public CVAction {
public:
    explicit CVGLAction(CVGLRenderArea* area);
    // Creates a new render area for the device.
    explicit CVGLAction(CVGLDevice* device);
    ~CVGLAction() override;

    void PushState() override;
    void PopState() override;
    void PushModelView() override;
    void PopModelView() override;
    void PushProjection() override;
    void PopProjection() override;

    virtual void SetRenderArea(CVGLRenderArea* area);
    virtual CVGLRenderArea* GetRenderArea() const { return m_pRenderArea; }

protected:
    // True when the area has a usable context, made current; actions on an
    // area without one do nothing.
    bool PrepareContext();

    CVGLRenderArea* m_pRenderArea = nullptr;
    CVGLStateStack mGLStack;
};

#include "scene/actions/RenderImageMapAction.h"

#include "scene/cache/CacheManager.h"
#include "scene/nodes/ElevationGrid.h"
#include "scene/nodes/Geometry.h"
#include "scene/nodes/Shape.h"
#include "scene/render/GLDevice.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <new>

CVRenderImageMapAction::CVRenderImageMapAction(HDC reference)
    : CVGLAction(static_cast<CVGLRenderArea*>(nullptr)), mReference(reference)
{
    SetViewport(0, 0, 32, 32);
}

int CVRenderImageMapAction::SetViewport(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return 0;
    auto dib = std::make_unique<CSimpleDIB>();
    try {
        dib->Create(w, h, mReference);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    CVBitmapDevice device(dib->GetDC());
    auto* area = new CVGLRenderArea(&device);
    area->SetRenderAreaToBitmap(1);
    SetRenderArea(area);
    mDIB = std::move(dib);
    mViewport[0] = x, mViewport[1] = y, mViewport[2] = w, mViewport[3] = h;
    return 1;
}

int CVRenderImageMapAction::Apply(CVNode* node, CVNode* second)
{
    if (!node || !m_pRenderArea || !m_pRenderArea->IsSuccess())
        return 0;
    m_pRenderArea->SetViewport(mViewport[0], mViewport[1], mViewport[2], mViewport[3]);
    if (!m_pRenderArea->MakeCurrent())
        return 0;
    Reset();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    PushModelView();
    PushState();
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glShadeModel(GL_FLAT);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Walked in pick mode: shapes draw without their appearance and groups
    // that are not selectable stay out.
    m_pState->m_bPickMode = 1;
    node->Traverse(this, nullptr, 0);
    if (second)
        second->Traverse(this, nullptr, 0);
    m_pState->m_bPickMode = 0;
    glEnable(GL_LIGHTING);
    glEnable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    PopModelView();
    PopState();
    glFinish();
    m_pRenderArea->SwapBuffers();
    return 1;
}

void CVRenderImageMapAction::PreActOn(CVNode* node)
{
    if (!node->IsKindOf<CVShape>()) {
        node->Render(m_pState, m_pRenderArea);
        return;
    }
    CVGeometry* g = static_cast<CVShape*>(node)->geometry.GetValue();
    if (!g)
        return;
    const std::uint32_t kinds = CVGeometry::DATA_POINT | CVGeometry::GRAPH_SHAPE | CVGeometry::ANNOTATION |
                                CVGeometry::TOPO_CHART;
    const std::uint32_t indexed = CVGeometry::DETAIL_PIE_SLICE | CVGeometry::GRAPH_SHAPE | CVGeometry::ANNOTATION |
                                  CVGeometry::TOPO_CHART;
    std::uint32_t flags = g->GetFlags();
    int index = g->GetCrdIndex(); // the part index the host gave the geometry
    if (!(flags & kinds) || !(index >= 0 || (flags & indexed)))
        return;
    CVCacheManager* cache = CVGetCacheManagerPtr();
    if (!cache || !cache->SetImageMapColor(mBitsPerPixel, index, g->GetImageMapClass()))
        return;
    GLfloat width = 1.0f;
    bool thicken = g->IsTopoChart() && g->IsKind(CVGeometry::KIND_INDEXED_LINE_SET);
    if (thicken) {
        glGetFloatv(GL_LINE_WIDTH, &width);
        if (width < 3.0f)
            glLineWidth(3.0f);
    }
    // A topographic grid colours each of its cells by the cell's own index.
    CVElevationGrid* grid = g->IsTopoChart() && g->IsKindOf<CVElevationGrid>() ? static_cast<CVElevationGrid*>(g)
                                                                                 : nullptr;
    if (grid)
        grid->SetImageMapColorInfo(mBitsPerPixel);
    node->Render(m_pState, m_pRenderArea);
    if (grid) {
        grid->UnsetImageMapColorInfo();
        grid->SetModifiedFlag(1);
    }
    if (thicken)
        glLineWidth(width);
}

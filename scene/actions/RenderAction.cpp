#include "scene/actions/RenderAction.h"

#include "platform/text/Utf8.h"
#include "scene/io/PackedDIB.h"
#include "scene/io/SearchPath.h"
#include "scene/nodes/Lights.h"
#include "scene/render/GLRenderArea.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {

// Sub-pixel offsets of the three antialiasing passes.
const float kJitter[3][2] = {{0.10339227f, 0.43179670f}, {0.38060161f, -0.14956191f}, {-0.17381711f, 0.01315534f}};

const GLbitfield kDeferredAttributes = GL_ENABLE_BIT | GL_POLYGON_BIT | GL_LINE_BIT | GL_POINT_BIT;

} // namespace

CVRenderAction::CVRenderAction(CVGLDevice* device) : CVGLAction(device) { Init(); }

CVRenderAction::CVRenderAction(CVGLRenderArea* area) : CVGLAction(area) { Init(); }

CVRenderAction::~CVRenderAction()
{
    if (mOwnsBackground && mBackground)
        DeleteObject(mBackground);
    if (mHeadlight)
        mHeadlight->Unref();
}

void CVRenderAction::Init()
{
    mSwapAfterRender = 1;
    mClearColor = 1;
    mClearDepth = 1;
    if (!mHeadlight) {
        mHeadlight = new CVDirectionalLight;
        mHeadlight->Ref();
    }
    mHeadlight->on.SetValue(0);
    mHeadlight->intensity.SetValue(1.0f);
    mHeadlight->ambientIntensity.SetValue(0.2f);
    mHeadlight->color.SetValue(1.0f, 1.0f, 1.0f);
    mHeadlight->direction.SetValue(0.0f, 0.0f, -1.0f);
    mClear = {0, 0, 0, 1};
    if (m_pRenderArea)
        mViewport = m_pRenderArea->GetViewport();
}

void CVRenderAction::Clone(const CVRenderAction* other)
{
    if (!other)
        return;
    mViewport = other->mViewport;
    mClear = other->mClear;
    mSwapAfterRender = other->mSwapAfterRender;
    mClearColor = other->mClearColor;
    SetHeadlightOn(other->IsHeadlightOn());
}

void CVRenderAction::SetHeadlightOn(int on) { mHeadlight->on.SetValue(on ? 1 : 0); }

int CVRenderAction::IsHeadlightOn() const { return mHeadlight->on.GetValue(); }

void CVRenderAction::GetViewport(int& x, int& y, int& w, int& h) const
{
    x = mViewport.GetLeft();
    y = mViewport.GetBottom();
    w = mViewport.GetWidth();
    h = mViewport.GetHeight();
}

int CVRenderAction::SetRenderCache(CVGLRenderArea* cache)
{
    return m_pRenderArea ? m_pRenderArea->SetRenderCache(cache) : 0;
}

CVGLRenderArea* CVRenderAction::GetRenderCache() const
{
    return m_pRenderArea ? m_pRenderArea->GetRenderCache() : nullptr;
}

void CVRenderAction::DoSetViewport()
{
    if (m_pRenderArea)
        m_pRenderArea->SetViewport(mViewport);
}

void CVRenderAction::PreActOn(CVNode* node)
{
    node->Render(m_pState, m_pRenderArea);
    // Hand the driver what it has every so many nodes: a software renderer
    // then rasterises while the walk goes on and does not collect a whole
    // large frame first (a 2,000-shape frame peaked 45 MiB higher without).
    if (++mNodesSinceFlush >= kNodesPerFlush) {
        glFlush();
        mNodesSinceFlush = 0;
    }
}

int CVRenderAction::Apply(CVNode* root) { return Apply(root, 1); }

int CVRenderAction::Apply(CVNode* root, int setViewport)
{
    if (!root || !m_pRenderArea || !m_pRenderArea->IsSuccess())
        return 0;
    if (setViewport)
        DoSetViewport();
    if (!m_pRenderArea->MakeCurrent())
        return 0;
    CVGLRenderArea* area = m_pRenderArea;
    if (area->IsDropShadowsEnabled())
        area->InitShadowMatrix();

    bool antialias = area->IsSceneAntialiasingEnabled() != 0;
    if (antialias) {
        int x, y, w, h;
        area->GetGLViewport(x, y, w, h);
        area->SetAntialiasingMode(1);
        for (int pass = 0; pass < 3; ++pass) {
            area->MakeCurrent();
            glPushMatrix();
            glTranslatef(kJitter[pass][0] * 5.5f / float(w > 0 ? w : 1), kJitter[pass][1] * 3.0f / float(h > 0 ? h : 1),
                         0.0f);
            DrawScene(root);
            glPopMatrix();
            area->Accum(pass == 0 ? GL_LOAD : GL_ACCUM, 0.33333334f);
        }
        area->Accum(GL_RETURN, 1.0f);
        area->SetAntialiasingMode(2);
        mClearColor = 0;
        mClearDepth = 0;
    }
    // The final pass: with antialiasing only text and post-jitter shapes draw.
    DrawScene(root);
    if (antialias) {
        area->SetAntialiasingMode(0);
        mClearColor = 1;
        mClearDepth = 1;
    }
    // A bitmap area has no front buffer to keep: its bitmap holds the frame
    // when the action returns, whether or not the swap is wanted.
    if (mSwapAfterRender || area->RenderAreaIsBitmap()) {
        glFinish();
        area->SwapBuffers();
    }
    return 1;
}

void CVRenderAction::DrawScene(CVNode* root)
{
    Reset();
    PreApplyGL();
    root->Traverse(this, nullptr, 0);
    RenderTransparentNodes();
    RenderAnnotationNodes();
    RenderTransparentNodes(); // what the annotations queued
    PostApplyGL();
}

void CVRenderAction::PreApplyGL()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    PushModelView();
    PushState();
    m_pState->m_nRenderPass = PASS_MAIN;

    bool scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor)
        glDisable(GL_SCISSOR_TEST);
    if (mClearColor && mClearDepth && mFillStyle == 0) {
        glClearColor(mClear.red, mClear.green, mClear.blue, mClear.alpha);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        if (mClearColor) {
            glClearColor(mClear.red, mClear.green, mClear.blue, mClear.alpha);
            if (mFillStyle == 1)
                RenderGradientBackground();
            else
                glClear(GL_COLOR_BUFFER_BIT);
        }
        if (mClearDepth)
            glClear(GL_DEPTH_BUFFER_BIT);
    }
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    // The headlight takes the first free light in eye coordinates.
    mHeadlight->Render(m_pState, m_pRenderArea);
}

void CVRenderAction::PostApplyGL()
{
    PopModelView();
    PopState();
    m_pState->m_nRenderPass = PASS_NONE;
}

void CVRenderAction::RenderGradientBackground()
{
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glColor4f(mClear.red * 0.7f, mClear.green * 0.7f, mClear.blue * 0.7f, mClear.alpha);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glColor4f(mClear.red * 1.3f, mClear.green * 1.3f, mClear.blue * 1.3f, mClear.alpha);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void CVRenderAction::BeginDeferredPass(int pass)
{
    m_pState->m_nRenderPass = pass;
    glPushAttrib(kDeferredAttributes);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixd(m_pRenderArea->GetProjectionMatrix());
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_LIGHTING);
    // Each queued shape gets back the lights it had when it was queued (the
    // headlight and the scene's lights alike), so it is lit as in the main pass.
}

void CVRenderAction::EndDeferredPass()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

namespace {
void LoadMatrices(const double* projection, const float* modelView)
{
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelView);
}
} // namespace

void CVRenderAction::RenderTransparentNodes()
{
    CVGLRenderArea* area = m_pRenderArea;
    if (area->GetTransparentNodeListSize() == 0)
        return;
    BeginDeferredPass(PASS_TRANSPARENT);
    for (int i = 0; i < area->GetTransparentNodeListSize(); ++i) {
        TranspNodeInfoStruct r = *area->GetTransparentNodeInfo(i);
        glPushAttrib(kDeferredAttributes);
        area->RestoreQueuedLights(r.lights);
        LoadMatrices(r.projection, r.modelView);
        if (r.kind == CVGLRenderArea::KIND_TEXT || r.kind == CVGLRenderArea::KIND_LINE_BOX) {
            PreActOn(r.node);
            glPopAttrib();
            continue;
        }
        if (r.kind == CVGLRenderArea::KIND_BLENDED) {
            glEnable(GL_LINE_SMOOTH);
            glEnable(GL_POINT_SMOOTH);
            glEnable(GL_BLEND);
            if (r.polygonMode == GL_LINE) {
                glDepthMask(GL_FALSE);
                float w = r.lineWidth > 0.3f ? r.lineWidth - 0.3f : r.lineWidth;
                glLineWidth(w);
                glPointSize(w);
            }
        }
        for (int p = 0; p < r.clipPlaneCount; ++p)
            glEnable(GLenum(GL_CLIP_PLANE0 + p));
        glPolygonMode(GL_FRONT_AND_BACK, GLenum(r.polygonMode ? r.polygonMode : GL_FILL));
        if (!r.lighting)
            glDisable(GL_LIGHTING);
        if (r.twoSidedLighting)
            glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
        if (r.polygonOffsetMode) {
            glEnable(GLenum(r.polygonOffsetMode));
            glPolygonOffset(r.polygonOffsetFactor, r.polygonOffsetUnits);
        }
        PreActOn(r.node);
        glDepthMask(GL_TRUE);
        if (r.twoSidedLighting)
            glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
        glPopAttrib();
    }
    EndDeferredPass();
    area->ResetTransparentNodeList();
}

void CVRenderAction::RenderAnnotationNodes()
{
    CVGLRenderArea* area = m_pRenderArea;
    if (area->GetAnnotationNodeListSize() == 0)
        return;
    BeginDeferredPass(PASS_ANNOTATION);
    for (int i = 0; i < area->GetAnnotationNodeListSize(); ++i) {
        AnnotateNodeInfoStruct r = *area->GetAnnotationNodeInfo(i);
        glPushAttrib(kDeferredAttributes);
        area->RestoreQueuedLights(r.lights);
        LoadMatrices(r.projection, r.modelView);
        r.node->Traverse(this, nullptr, 0); // annotations are walked, not only rendered
        glPopAttrib();
    }
    EndDeferredPass();
    area->ResetAnnotationNodeList();
}

void CVRenderAction::LoadBackgroundTextureImage()
{
    const std::wstring prefix = L"HBITMAP:";
    if (mImageFile.compare(0, prefix.size(), prefix) == 0) {
        // A bitmap handed over by the host. Only a handle that names a live
        // bitmap of this process is used: arbitrary numbers are not memory.
        void* handle = reinterpret_cast<void*>(std::wcstoull(mImageFile.c_str() + prefix.size(), nullptr, 10));
        if (!IsLiveBitmap(handle))
            return;
        if (mOwnsBackground && mBackground && mBackground != handle)
            DeleteObject(mBackground);
        mBackground = static_cast<HBITMAP>(handle);
        mOwnsBackground = false;
        mImageWidth = mBackground->width;
        mImageHeight = mBackground->height;
        return;
    }
    if (mImageFile == mLoadedImage && mBackground)
        return;
    mLoadedImage = mImageFile;
    if (mOwnsBackground && mBackground)
        DeleteObject(mBackground);
    mBackground = nullptr;
    mOwnsBackground = false;
    mImageWidth = mImageHeight = 0;
    mImageHasAlpha = 0;
    if (mImageFile.empty())
        return;
    std::wstring path = mImageFile;
    bool fullPath = path.size() >= 3 && (path.compare(0, 2, L"\\\\") == 0 || path.compare(0, 2, L"//") == 0 ||
                                         path[1] == L':' || path[0] == L'/');
    if (!fullPath) {
        path = CVGetURLSearchPath(m_pRenderArea ? m_pRenderArea->GetIUnknownInterface() : nullptr,
                                  m_pRenderArea ? m_pRenderArea->GetTextureImageSearchPath() : std::wstring(),
                                  mImageFile);
        if (path.empty())
            return;
    }
    CVImage image;
    if (!lumo::image::ReadImageFile(lumo::ToUtf8(path), image) || image.width < 1 || image.height < 1)
        return;
    // The bitmap is stored bottom-up: its first stored row is the image's
    // bottom row.
    HBITMAP bitmap = CreateBitmap32(image.width, image.height);
    if (!bitmap)
        return;
    size_t row = size_t(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::copy(image.Row(y), image.Row(y) + row,
                  bitmap->bits.begin() + std::ptrdiff_t(size_t(image.height - 1 - y) * row));
    mBackground = bitmap;
    mOwnsBackground = true;
    mImageWidth = image.width;
    mImageHeight = image.height;
    mImageHasAlpha = image.hasAlpha ? 1 : 0;
}

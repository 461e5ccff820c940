// Draws one frame of a scene into a render area: clears (or a gradient
// background), the headlight, the traversal, the transparent and annotation
// passes, optional scene antialiasing by jittered accumulation, and the swap.
#pragma once

#include "platform/gdi/DeviceContext.h"
#include "scene/io/image/Image.h"
#include "scene/model/Structs.h"
#include "scene/model/Viewport.h"
#include "scene/render/GLAction.h"

#include <string>

class CVDirectionalLight;

class CVRenderAction : public CVGLAction {
public:
    explicit CVRenderAction(CVGLDevice* device);
    explicit CVRenderAction(CVGLRenderArea* area);
    ~CVRenderAction() override;

    // Apply(root, 1).
    int Apply(CVNode* root) override;
    // Draws a frame; 0 for a null root or an area without a context.
    int Apply(CVNode* root, int setViewport);
    // Every node renders itself when the walk reaches it.
    void PreActOn(CVNode* node) override;

    virtual void SetSwapBuffersAfterRender(int on) { mSwapAfterRender = on; }
    virtual int GetSwapBuffersAfterRender() const { return mSwapAfterRender; }
    virtual void SetClearColorBeforeRender(int on) { mClearColor = on; }
    virtual int GetClearColorBeforeRender() const { return mClearColor; }
    virtual void SetClearColor(const RGBAColorStruct& c) { mClear = c; }
    virtual void SetClearColor(float r, float g, float b, float a) { mClear = {r, g, b, a}; }
    virtual const RGBAColorStruct& GetClearColor() const { return mClear; }
    virtual void SetHeadlightOn(int on);
    virtual int IsHeadlightOn() const;
    virtual void SetViewport(int x, int y, int w, int h) { mViewport = CVViewport(x, y, w, h); }
    virtual void GetViewport(int& x, int& y, int& w, int& h) const;
    virtual int SetRenderCache(CVGLRenderArea* cache);
    virtual CVGLRenderArea* GetRenderCache() const;
    // Hands the action's viewport to the area.
    void DoSetViewport();

    void SetFillStyle(int style) { mFillStyle = style; }
    int GetFillStyle() const { return mFillStyle; }
    void SetImageFilename(const std::wstring& name) { mImageFile = name; }
    void SetImageFitStyle(int style) { mImageFitStyle = style; }
    void SetImageOffset(int x, int y) { mImageOffset[0] = x, mImageOffset[1] = y; }
    void SetImageScale(float scale) { mImageScale = scale; }
    void SetGradientType(int type) { mGradientType = type; }
    void SetStartGradientColor(const RGBAColorStruct& c) { mStartGradient = c; }
    void SetEndGradientColor(const RGBAColorStruct& c) { mEndGradient = c; }
    CVDirectionalLight* GetHeadlight() const { return mHeadlight; }
    // The loaded background image, stored bottom-up (its first stored row is
    // the image's bottom row), as LoadBackgroundTextureImage left it.
    HBITMAP GetBackgroundBitmap() const { return mBackground; }
    int GetBackgroundWidth() const { return mImageWidth; }
    int GetBackgroundHeight() const { return mImageHeight; }
    int BackgroundHasAlpha() const { return mImageHasAlpha; }
    // Loads the background image named by SetImageFilename (a file, a name
    // found along the area's texture search path, or "HBITMAP:<handle>").
    void LoadBackgroundTextureImage();

    void RenderGradientBackground();
    void PreApplyGL();
    void PostApplyGL();
    void RenderTransparentNodes();
    void RenderAnnotationNodes();

protected:
    void Init();
    // Copies viewport, clear colour, swap and clear flags and headlight switch.
    void Clone(const CVRenderAction* other);

private:
    void DrawScene(CVNode* root);
    void BeginDeferredPass(int pass);
    void EndDeferredPass();

    static constexpr int kNodesPerFlush = 128;
    int mNodesSinceFlush = 0;
    int mSwapAfterRender = 1;
    int mClearColor = 1;
    int mClearDepth = 1;
    CVDirectionalLight* mHeadlight = nullptr;
    RGBAColorStruct mClear{0, 0, 0, 1};
    CVViewport mViewport;
    int mFillStyle = 0;
    std::wstring mImageFile;
    std::wstring mLoadedImage;
    int mImageFitStyle = 1;
    int mImageOffset[2] = {0, 0};
    int mImageWidth = 0, mImageHeight = 0;
    float mImageScale = 1.0f;
    int mImageHasAlpha = 0;
    HBITMAP mBackground = nullptr;
    bool mOwnsBackground = false;
    int mGradientType = 7;
    RGBAColorStruct mStartGradient{0, 0, 0, 1};
    RGBAColorStruct mEndGradient{1, 1, 1, 1};
};

// The library's handle on one OpenGL rendering context: the context on a
// device, the viewport, the display options node Render code consults, the
// deferred-drawing queues of a frame, the drop-shadow matrix, the polygon
// stipple of fill patterns, the font and texture caches and a short report
// of what could not be drawn. Shared by reference count.
#pragma once

#include "platform/com/Unknown.h"
#include "platform/win/GdiTypes.h"
#include "scene/model/RefCount.h"
#include "scene/model/Structs.h"
#include "scene/model/Viewport.h"
#include "scene/render/Cache.h"
#include "scene/render/ErrorReport.h"
#include "scene/render/LightingState.h"

#include <cstdint>
#include <string>
#include <vector>

class CVBitmapFontStyle;
class CVController;
class CVControllerValues;
class CVFontStyle;
class CVGLDevice;
class CVNode;
class CVState;

// One deferred shape of the transparent queue.
struct TranspNodeInfoStruct {
    CVNode* node = nullptr;
    double projection[16];
    float modelView[16];
    int polygonMode = 0;
    float depthKey = 0.0f;
    float lineWidth = 1.0f;
    int polygonOffsetMode = 0;
    float polygonOffsetFactor = 0.0f;
    float polygonOffsetUnits = 0.0f;
    int clipPlaneCount = 0;
    unsigned char lighting = 0;
    unsigned char twoSidedLighting = 0;
    int kind = 0; // 0 sorted, 1 blended, 2 antialiased text, 3 forced line box
    int lights = -1; // the lights it had when queued (index into the area's list)
};

// One deferred node of the annotation queue.
struct AnnotateNodeInfoStruct {
    CVNode* node = nullptr;
    double projection[16];
    float modelView[16];
    int lights = -1; // the lights it had when queued (index into the area's list)
};

// Declares a stored display property with its setter and getter.
#define LUMO_AREA_PROPERTY(Type, Setter, Getter, member, initial) \
public:                                                          \
    void Setter(Type value) { member = value; }                  \
    Type Getter() const { return member; }                       \
                                                                 \
private:                                                         \
    Type member = initial;

class CVGLRenderArea : public CVRefCount {
    LUMO_DECLARE_CLASS(CVGLRenderArea)

public:
    enum TextureFunction { DECAL = 0, MODULATE = 1, BLEND = 2 };
    enum TextureFilter { NEAREST = 0, LINEAR = 1 };
    enum TranspKind { KIND_SORTED = 0, KIND_BLENDED = 1, KIND_TEXT = 2, KIND_LINE_BOX = 3 };

    explicit CVGLRenderArea(CVGLDevice* device);
    // A new area for the device with the other area's viewport.
    CVGLRenderArea(CVGLDevice* device, CVGLRenderArea* other);
    ~CVGLRenderArea() override;

    // Context and target.
    int MakeCurrent();
    int SwapBuffers();
    HDC GetHdc() const { return mDC; }
    HGLRC GetHGLRC() const { return mContext; }
    HPALETTE GetPalette() const { return mPalette; }
    void GetPFD(PIXELFORMATDESCRIPTOR& pfd) const { pfd = mPFD; }
    void GetChosenPFD(PIXELFORMATDESCRIPTOR& pfd) const { pfd = mChosenPFD; }
    int GetMaxLights() const { return mMaxLights; }
    int IsSuccess() const { return mSuccess; }
    // Shares display lists and textures with another area; 0 for null or on
    // failure. The context is made anew in the other's share group: this
    // area's caches are emptied first (their objects deleted in the old
    // context), and areas that used this one as their render cache no longer
    // share its objects, so they lose it. An area that is destroyed is taken
    // from every area that uses it, so the pointer never dangles.
    int SetRenderCache(CVGLRenderArea* other);
    CVGLRenderArea* GetRenderCache() const { return mRenderCache; }
    // The area in which display lists and textures for this area are made:
    // its render cache when it has one, else the area itself.
    static CVGLRenderArea* MakeCacheCurrent(CVGLRenderArea* area)
    {
        return area && area->mRenderCache ? area->mRenderCache : area;
    }
    static void UnMakeCacheCurrent(CVGLRenderArea*) {}
    // The caches of glyph sets and textures made in this area's share group
    // (nodes reach them through MakeCacheCurrent(area)).
    CVCache* GetFontCache() { return &mFontCache; }
    CVCache* GetTextureCache() { return &mTextureCache; }
    // Runs f with this area's context current, then makes current again the
    // context that was (none when none was): for deleting this area's
    // objects from anywhere. False, without running f, when the area has no
    // context or it cannot be made current.
    template <class F>
    bool RunInContext(F&& f)
    {
        HGLRC previous = nullptr;
        if (!EnterContext(previous))
            return false;
        f();
        LeaveContext(previous);
        return true;
    }
    // What the area could not do (missing or damaged images...), for the host.
    CVErrorReport& GetErrorReport() { return mErrors; }
    const CVErrorReport& GetErrorReport() const { return mErrors; }
    void ReportError(const std::wstring& message) { mErrors.Add(message); }
    void SetIUnknownInterface(IUnknown* host) { mHost = host; }
    IUnknown* GetIUnknownInterface() const { return mHost; }
    void SetController(CVController* c) { mController = c; }
    CVController* GetController() const { return mController; }
    // The last light drawn (its direction places drop shadows). Held with a
    // counted reference: the next frame reads it, whatever became of the
    // scene it came from.
    void SetLightNode(CVNode* light);
    // The controller's view values as drawing code reads them; the
    // controller hands itself over here when it is set (null: none).
    void SetControllerValues(CVControllerValues* values) { mControllerValues = values; }
    CVControllerValues* GetControllerValues() const { return mControllerValues; }
    CVNode* GetLightNode() const { return mLightNode; }
    // Selects and realises the palette; 1 when realising changed entries.
    int InstallPalette(int background);
    // The palette a pixel format needing one gets (2^colour bits entries).
    static std::vector<COLORREF> BuildRGBPalette(const PIXELFORMATDESCRIPTOR& pfd);

    // Viewport and scissor.
    void SetViewport(int x, int y, int w, int h);
    void SetViewport(const CVViewport& vp) { SetViewport(vp.GetLeft(), vp.GetBottom(), vp.GetWidth(), vp.GetHeight()); }
    const CVViewport& GetViewport() const { return mViewport; }
    void GetViewport(int& x, int& y, int& w, int& h) const;
    void GetViewport(int* rect) const;
    float GetViewportAspectRatio() const { return mViewport.GetAspectRatio(); }
    bool PointInViewport(int x, int y) const { return mViewport.PointInViewport(x, y); }
    void SetScissor(int x, int y, int w, int h);
    // The stored rectangle, enlarged by the world inflation.
    void GetGLViewport(int& x, int& y, int& w, int& h) const;
    void GetGLViewport(int* rect) const;
    double* GetProjectionMatrix() { return mProjection; }

    static void SetInflateWorld(int inflate) { m_fWorldInflation = inflate ? 3.0f : 1.0f; }
    static float GetWorldInflationFactor() { return m_fWorldInflation; }

    // Drawing state.
    void SetTextureFunction(int function);
    int GetTextureFunction() const { return mTextureFunction; }
    void SetTextureFilter(int filter);
    int GetTextureFilter() const { return mTextureFilter; }
    // Installs one of the twelve fill patterns (0..11) as polygon stipple.
    void SetStipplePattern(int pattern);
    int GetStipplePattern() const { return mStipplePattern; }
    static const unsigned char* GetDropShadowStipple();
    // Builds the planar projection that flattens shapes into their drop shadow.
    void InitShadowMatrix();
    const float* GetShadowMatrix() const { return mShadowMatrix; }
    // The accumulation buffer's arithmetic (GL_LOAD, GL_ACCUM, GL_MULT,
    // GL_ADD, GL_RETURN over the whole surface), which EGL configurations do
    // not provide; float storage held by the area. 0 without a context.
    int Accum(unsigned op, float value);
    // Reads and drops pending OpenGL errors, closing a begin/end block left open.
    void ReportOGLErrors();

    // Deferred queues of a frame. Get...Info throws std::out_of_range for an
    // index outside the queue; records stay valid until the queue changes.
    void AddToTransparentNodeList(CVNode* node, CVState* state, int kind);
    const TranspNodeInfoStruct* GetTransparentNodeInfo(int index) const;
    int GetTransparentNodeListSize() const { return int(mTransparent.size()); }
    void ResetTransparentNodeList();
    void AddToAnnotationNodeList(CVNode* node, CVState* state);
    const AnnotateNodeInfoStruct* GetAnnotationNodeInfo(int index) const;
    int GetAnnotationNodeListSize() const { return int(mAnnotations.size()); }
    void ResetAnnotationNodeList();
    // Turns on the lights a queued record had in the main pass (and only
    // those), so that a shape is lit alike in every pass.
    void RestoreQueuedLights(int lights) const;

    // Animation bookkeeping.
    void IncrementAnimationNodeCounter() { ++mAnimationNodes; }
    void ResetAnimationNodeCounter() { mAnimationNodes = 0; }
    int GetAnimationNodeCounter() const { return mAnimationNodes; }
    void SetCurrentAnimationTime();
    const SYSTEMTIME& GetCurrentAnimationTime() const { return mAnimationTime; }

    // The font styles of labels, made on first use and held by the area
    // (defined with the font style classes, scene/nodes/LabelFontStyles.cpp):
    // stroke text (outline, 0.1 units, bold serif, centred), product,
    // fixture and subfixture labels (raster, opaque, best fit, bold serif,
    // centred, constant size) and annotations (raster, antialiased, best fit,
    // bold serif, from the top left, scaling with the view).
    CVFontStyle* GetStrokeFontStyle() const;
    CVBitmapFontStyle* GetProductFontStyle() const;
    CVBitmapFontStyle* GetFixtureFontStyle() const;
    CVBitmapFontStyle* GetSubfixtureFontStyle() const;
    CVBitmapFontStyle* GetAnnotationFontStyle() const;

    void SetDropShadowColor(const RGBAColorStruct& c) { mDropShadowColor = c; }
    // Keeps the alpha.
    void SetDropShadowColor(const RGBColorStruct& c);
    const RGBAColorStruct& GetDropShadowColor() const { return mDropShadowColor; }
    void SetTextureImageSearchPath(const std::wstring& path) { mTextureSearchPath = path; }
    const std::wstring& GetTextureImageSearchPath() const { return mTextureSearchPath; }
    void SetLineShapeSearchPath(const std::wstring& path) { mLineShapeSearchPath = path; }
    const std::wstring& GetLineShapeSearchPath() const { return mLineShapeSearchPath; }

    LUMO_AREA_PROPERTY(float, SetGlobalScaleFactor, GetGlobalScaleFactor, mGlobalScale, 1.0f)
    LUMO_AREA_PROPERTY(float, SetViewportFontScaleFactor, GetViewportFontScaleFactor, mViewportFontScale, 1.0f)
    LUMO_AREA_PROPERTY(float, SetPrintFontScale, GetPrintFontScale, mPrintFontScale, 0.0f)
    LUMO_AREA_PROPERTY(float, SetGlobalStretchFactor, GetGlobalStretchFactor, mGlobalStretch, 1.0f)
    LUMO_AREA_PROPERTY(float, SetAnnotationPlaneZ, GetAnnotationPlaneZ, mAnnotationPlaneZ, 0.0f)
    LUMO_AREA_PROPERTY(int, SetExcludeAnnotationsFromBoundingBox, GetExcludeAnnotationsFromBoundingBox, mExcludeAnnotations, 0)
    LUMO_AREA_PROPERTY(int, SetIncludePegHooksInBoundingBox, GetIncludePegHooksInBoundingBox, mIncludePegHooks, 0)
    LUMO_AREA_PROPERTY(int, SetViewportFontScalingEnabled, IsViewportFontScalingEnabled, mViewportFontScaling, 0)
    LUMO_AREA_PROPERTY(int, SetRenderAreaToBitmap, RenderAreaIsBitmap, mIsBitmap, 0)
    LUMO_AREA_PROPERTY(int, SetTexturingEnabled, IsTexturingEnabled, mTexturing, 1)
    LUMO_AREA_PROPERTY(int, SetLineAntialiasingEnabled, IsLineAntialiasingEnabled, mLineAntialiasing, 1)
    LUMO_AREA_PROPERTY(int, SetSceneAntialiasingEnabled, IsSceneAntialiasingEnabled, mSceneAntialiasing, 0)
    LUMO_AREA_PROPERTY(int, SetTransparencyEnabled, IsTransparencyEnabled, mTransparency, 1)
    LUMO_AREA_PROPERTY(int, SetDropShadowsEnabled, IsDropShadowsEnabled, mDropShadows, 0)
    LUMO_AREA_PROPERTY(int, SetTextBordersEnabled, IsTextBordersEnabled, mTextBorders, 0)
    LUMO_AREA_PROPERTY(int, SetMipmappingEnabled, IsMipmappingEnabled, mMipmapping, 0)
    LUMO_AREA_PROPERTY(int, SetTextureColorBlendEnabled, IsTextureColorBlendEnabled, mTextureColorBlend, 0)
    LUMO_AREA_PROPERTY(int, Set2DView, Get2DView, m2DView, 0)
    LUMO_AREA_PROPERTY(int, SetFixtureLabelsEnabled, GetFixtureLabelsEnabled, mFixtureLabels, 1)
    LUMO_AREA_PROPERTY(int, SetFixtureLabelsBackgroundEnabled, GetFixtureLabelsBackgroundEnabled, mFixtureLabelBackground, 1)
    LUMO_AREA_PROPERTY(int, SetProductLabelsEnabled, GetProductLabelsEnabled, mProductLabels, 1)
    LUMO_AREA_PROPERTY(int, SetProductLabelsBackgroundEnabled, GetProductLabelsBackgroundEnabled, mProductLabelBackground, 1)
    LUMO_AREA_PROPERTY(int, SetAnnotationsEnabled, GetAnnotationsEnabled, mAnnotationsOn, 1)
    LUMO_AREA_PROPERTY(int, SetFillPatternsEnabled, GetFillPatternsEnabled, mFillPatterns, 1)
    LUMO_AREA_PROPERTY(int, SetSolidFixturesEnabled, GetSolidFixturesEnabled, mSolidFixtures, 1)
    LUMO_AREA_PROPERTY(int, SetSolidSubfixturesEnabled, GetSolidSubfixturesEnabled, mSolidSubfixtures, 1)
    LUMO_AREA_PROPERTY(int, SetExtrudeSectionNodes, GetExtrudeSectionNodes, mExtrudeSections, 0)
    LUMO_AREA_PROPERTY(int, SetPegHolesEnabled, GetPegHolesEnabled, mPegHoles, 1)
    LUMO_AREA_PROPERTY(int, SetNotchesEnabled, GetNotchesEnabled, mNotches, 1)
    LUMO_AREA_PROPERTY(int, SetForceTextLayout, GetForceTextLayout, mForceTextLayout, 1)
    LUMO_AREA_PROPERTY(int, SetDrawStyleFilled, IsDrawStyleFilled, mDrawStyleFilled, 1)
    LUMO_AREA_PROPERTY(int, SetStrokeTextDefault, IsStrokeTextDefault, mStrokeTextDefault, 0)
    LUMO_AREA_PROPERTY(int, SetAlignLabelToBoundingBox, GetAlignLabelToBoundingBox, mAlignLabelToBox, 1)
    LUMO_AREA_PROPERTY(RGBColorStruct, SetSelectionColor, GetSelectionColor, mSelectionColor, (RGBColorStruct{0, 0, 0}))
    LUMO_AREA_PROPERTY(RGBColorStruct, SetSPOutlineColor, GetSPOutlineColor, mOutlineColor, (RGBColorStruct{0, 0, 0}))
    LUMO_AREA_PROPERTY(RGBAColorStruct, SetSPFixtureColor, GetSPFixtureColor, mFixtureColor, (RGBAColorStruct{0.7f, 0.7f, 0.7f, 1}))
    LUMO_AREA_PROPERTY(RGBAColorStruct, SetSPSubfixtureColor, GetSPSubfixtureColor, mSubfixtureColor, (RGBAColorStruct{0.7f, 0.7f, 0.7f, 1}))
    LUMO_AREA_PROPERTY(RGBAColorStruct, SetSPProductColor, GetSPProductColor, mProductColor, (RGBAColorStruct{0, 0, 1, 1}))
    LUMO_AREA_PROPERTY(RGBAColorStruct, SetSPSectionColor, GetSPSectionColor, mSectionColor, (RGBAColorStruct{0.6f, 0.6f, 0.6f, 1}))
    LUMO_AREA_PROPERTY(RGBAColorStruct, SetSPScannerPegColor, GetSPScannerPegColor, mScannerPegColor, (RGBAColorStruct{0.6f, 0.6f, 0.6f, 1}))
    LUMO_AREA_PROPERTY(unsigned int, SetShowLevelFlag, GetShowLevelFlag, mShowLevel, 0xFFFFFFFFu)
    LUMO_AREA_PROPERTY(double, SetShadowProjectionZ, GetShadowProjectionZ, mShadowProjectionZ, 0.0)
    LUMO_AREA_PROPERTY(int, SetShadowOrientation, GetShadowOrientation, mShadowOrientation, 0)
    LUMO_AREA_PROPERTY(int, SetAntialiasingMode, GetAntialiasingMode, mAntialiasingMode, 0)
    LUMO_AREA_PROPERTY(int, SetCrossSectionViewEnabled, GetCrossSectionViewEnabled, mCrossSectionView, 0)
    LUMO_AREA_PROPERTY(int, SetAnimationEnabled, GetAnimationEnabled, mAnimationEnabled, 0)

private:
    void Initialize(CVGLDevice* device);
    bool EnterContext(HGLRC& previous);
    void LeaveContext(HGLRC previous);
    // Empties both caches, deleting their objects in this area's context.
    void ClearCaches();
    // Forgets the render cache (and leaves its list of users).
    void ForgetRenderCache();
    // Takes this area from every area that uses it as their render cache.
    void DetachCacheClients();
    // The OpenGL state every new context starts from.
    void InitGLState();
    void CreateRGBPalette();
    void ApplyTextureFunction();
    void ApplyTextureFilter();
    void InstallStipple();
    void ReadMatrices(double* projection, float* modelView) const;

    static float m_fWorldInflation;

    HDC mDC = nullptr;
    HGLRC mContext = nullptr;
    HPALETTE mPalette = nullptr;
    PIXELFORMATDESCRIPTOR mPFD{};
    PIXELFORMATDESCRIPTOR mChosenPFD{};
    int mMaxLights = 8;
    int mSuccess = 0;
    CVGLRenderArea* mRenderCache = nullptr;
    // The areas whose render cache this area is.
    std::vector<CVGLRenderArea*> mCacheClients;
    IUnknown* mHost = nullptr;
    CVController* mController = nullptr;
    CVControllerValues* mControllerValues = nullptr;
    CVNode* mLightNode = nullptr;

    CVViewport mViewport;
    int mScissor[4] = {0, 0, 0, 0};
    double mProjection[16];
    float mShadowMatrix[16];
    int mStipplePattern = -1;
    int mTextureFunction = MODULATE;
    int mTextureFilter = NEAREST;
    RGBAColorStruct mDropShadowColor{0.4f, 0.4f, 0.4f, 0.5f};
    std::wstring mTextureSearchPath;
    std::wstring mLineShapeSearchPath;

    // The lights of queued records; consecutive records with the same
    // lights share one entry. Emptied with the queues.
    int CaptureQueuedLights();

    std::vector<TranspNodeInfoStruct> mTransparent; // in queue order
    std::vector<std::uint32_t> mTransparentOrder;   // drawing order: indices into mTransparent
    std::vector<AnnotateNodeInfoStruct> mAnnotations;
    std::vector<CVLightingState> mQueuedLights;

    std::vector<float> mAccum; // RGBA per pixel
    int mAccumWidth = 0, mAccumHeight = 0;

    int mAnimationNodes = 0;
    SYSTEMTIME mAnimationTime{};

    enum LabelStyle { STROKE_STYLE, PRODUCT_STYLE, FIXTURE_STYLE, SUBFIXTURE_STYLE, ANNOTATION_STYLE, LABEL_STYLES };
    // Referenced; released before the caches, whose glyph sets they hold.
    mutable CVNode* mLabelStyles[LABEL_STYLES] = {};
    void ReleaseLabelStyles();

    CVErrorReport mErrors;
    // Last: their elements are destroyed (in the destructor's body, with the
    // context current) before anything else goes.
    CVCache mFontCache{this};
    CVCache mTextureCache{this};
};

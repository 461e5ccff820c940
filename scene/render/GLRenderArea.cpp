#include "scene/render/GLRenderArea.h"

#include "platform/time/Clock.h"
#include "platform/wgl/Wgl.h"
#include "scene/core/Node.h"
#include "scene/io/SearchPath.h"
#include "scene/model/Box3f.h"
#include "scene/model/SFields.h"
#include "scene/render/GLDevice.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

LUMO_IMPLEMENT_CLASS(CVGLRenderArea, CVRefCount)

float CVGLRenderArea::m_fWorldInflation = 3.0f;

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The eight-row blocks of the twelve fill patterns; each 32-row stipple
// repeats its block four times.
const unsigned int kStippleBlocks[12][8] = {
    {0x80808080, 0x40404040, 0x20202020, 0x10101010, 0x08080808, 0x04040404, 0x02020202, 0x01010101},
    {0xC0C0C0C0, 0x60606060, 0x30303030, 0x18181818, 0x0C0C0C0C, 0x06060606, 0x03030303, 0x81818181},
    {0x88888888, 0x44444444, 0x22222222, 0x11111111, 0x88888888, 0x44444444, 0x22222222, 0x11111111},
    {0xCCCCCCCC, 0x66666666, 0x33333333, 0x99999999, 0xCCCCCCCC, 0x66666666, 0x33333333, 0x99999999},
    {0x7F7F7F7F, 0xBFBFBFBF, 0xDFDFDFDF, 0xEFEFEFEF, 0xF7F7F7F7, 0xFBFBFBFB, 0xFDFDFDFD, 0xFEFEFEFE},
    {0xFEFEFEFE, 0xFDFDFDFD, 0xFBFBFBFB, 0xF7F7F7F7, 0xEFEFEFEF, 0xDFDFDFDF, 0xBFBFBFBF, 0x7F7F7F7F},
    {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x00000000},
    {0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD},
    {0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0xFDFDFDFD, 0x00000000},
    {0x7E7E7E7E, 0xBDBDBDBD, 0xDBDBDBDB, 0xE7E7E7E7, 0xE7E7E7E7, 0xDBDBDBDB, 0xBDBDBDBD, 0x7E7E7E7E},
    {0x0F0F0F0F, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xF0F0F0F0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
    {0x7F7F7F7F, 0x7F7F7F7F, 0x7F7F7F7F, 0x7F7F7F7F, 0xF7F7F7F7, 0xF7F7F7F7, 0xF7F7F7F7, 0xF7F7F7F7},
};

// Scales a channel value of 'bits' bits to a byte.
BYTE ScaleChannel(unsigned value, int bits)
{
    static const BYTE one[] = {0, 255};
    static const BYTE two[] = {0, 85, 170, 255};
    static const BYTE three[] = {0, 36, 73, 109, 146, 182, 219, 255};
    switch (bits) {
    case 1: return one[value & 1];
    case 2: return two[value & 3];
    case 3: return three[value & 7];
    default: return bits > 0 ? BYTE((value & ((1u << bits) - 1)) * 255 / ((1u << bits) - 1)) : 0;
    }
}

} // namespace

CVGLRenderArea::CVGLRenderArea(CVGLDevice* device) { Initialize(device); }

CVGLRenderArea::CVGLRenderArea(CVGLDevice* device, CVGLRenderArea* other)
{
    Initialize(device);
    if (other)
        mViewport = other->mViewport;
}

CVGLRenderArea::~CVGLRenderArea()
{
    SetLightNode(nullptr);
    ReleaseLabelStyles();
    ClearCaches();
    DetachCacheClients();
    ForgetRenderCache();
    if (mContext) {
        // Released without its device context: the DC may already be gone
        // (an off-screen action recreates its bitmap before dropping the area).
        if (wglGetCurrentContext() == mContext)
            lumo::gl::MakeContextCurrent(nullptr);
        wglDeleteContext(mContext);
    }
}

bool CVGLRenderArea::EnterContext(HGLRC& previous)
{
    if (!mContext)
        return false;
    previous = wglGetCurrentContext();
    return previous == mContext || lumo::gl::MakeContextCurrent(mContext);
}

void CVGLRenderArea::LeaveContext(HGLRC previous)
{
    if (previous != mContext)
        lumo::gl::MakeContextCurrent(previous);
}

void CVGLRenderArea::ReleaseLabelStyles()
{
    for (CVNode*& style : mLabelStyles)
        if (CVNode* held = style) {
            style = nullptr;
            held->Unref(); // its glyph sets go back to the caches
        }
}

void CVGLRenderArea::ClearCaches()
{
    auto clear = [this] {
        mFontCache.Clear();
        mTextureCache.Clear();
    };
    // Without a context there are no OpenGL objects: the users are still
    // detached and the elements freed.
    if (!RunInContext(clear))
        clear();
}

void CVGLRenderArea::DetachCacheClients()
{
    for (CVGLRenderArea* client : mCacheClients)
        client->mRenderCache = nullptr;
    mCacheClients.clear();
}

void CVGLRenderArea::ForgetRenderCache()
{
    if (mRenderCache) {
        auto& list = mRenderCache->mCacheClients;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        mRenderCache = nullptr;
    }
}

void CVGLRenderArea::Initialize(CVGLDevice* device)
{
    std::copy(kIdentity, kIdentity + 16, mProjection);
    std::fill(mShadowMatrix, mShadowMatrix + 16, 0.0f);
    mTextureSearchPath = CVGetDefaultImageSearchPath();
    if (!device)
        return;
    mDC = device->GetHdc();
    device->GetPFD(mPFD);
    device->GetChosenPFD(mChosenPFD);
    // A device whose pixel format failed yields no context; the area then
    // reports failure and every action on it does nothing.
    mContext = device->IsSuccess() ? wglCreateContext(mDC) : nullptr;
    mSuccess = mContext && wglMakeCurrent(mDC, mContext);
    CreateRGBPalette();
    if (mSuccess)
        InitGLState();
}

void CVGLRenderArea::InitGLState()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);

    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glGetIntegerv(GL_MAX_LIGHTS, &mMaxLights);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

    glEnable(GL_TEXTURE_2D);
    ApplyTextureFunction();
    ApplyTextureFilter();

    if (mStipplePattern < 0)
        SetStipplePattern(0);
    else
        InstallStipple();
}

int CVGLRenderArea::MakeCurrent() { return mContext && wglMakeCurrent(mDC, mContext) ? 1 : 0; }

int CVGLRenderArea::SwapBuffers() { return mContext && ::SwapBuffers(mDC) ? 1 : 0; }

int CVGLRenderArea::SetRenderCache(CVGLRenderArea* other)
{
    if (!other)
        return 0;
    if (!mContext || !other->mContext || other == this) {
        ForgetRenderCache();
        return 0;
    }
    // Sharing makes the context anew: what the old one made goes with it,
    // so the caches give their objects back while it still exists.
    ClearCaches();
    int shared = wglShareLists(other->mContext, mContext);
    ForgetRenderCache();
    if (!shared)
        return 0;
    // The areas that shared our old objects do not share the new ones.
    DetachCacheClients();
    mRenderCache = other;
    other->mCacheClients.push_back(this);
    // The shared context starts from default state: set ours up again.
    if (MakeCurrent())
        InitGLState();
    return 1;
}

std::vector<COLORREF> CVGLRenderArea::BuildRGBPalette(const PIXELFORMATDESCRIPTOR& pfd)
{
    if (!(pfd.dwFlags & PFD_NEED_PALETTE) || pfd.cColorBits == 0 || pfd.cColorBits > 8)
        return {};
    size_t count = size_t(1) << pfd.cColorBits;
    std::vector<COLORREF> entries(count);
    for (size_t i = 0; i < count; ++i)
        entries[i] = RGB(ScaleChannel(unsigned(i >> pfd.cRedShift), pfd.cRedBits),
                         ScaleChannel(unsigned(i >> pfd.cGreenShift), pfd.cGreenBits),
                         ScaleChannel(unsigned(i >> pfd.cBlueShift), pfd.cBlueBits));
    // The standard 3-3-2 layout keeps twelve system colours in place.
    if (pfd.cColorBits == 8 && pfd.cRedBits == 3 && pfd.cRedShift == 0 && pfd.cGreenBits == 3 &&
        pfd.cGreenShift == 3 && pfd.cBlueBits == 2 && pfd.cBlueShift == 6) {
        static const struct {
            int index;
            COLORREF bgr;
        } system[] = {{3, 0x000080},   {24, 0x008000},  {27, 0x008080},  {64, 0x800000},
                      {67, 0x800080},  {88, 0x808000},  {173, 0xC0C0C0}, {181, 0xC0DCC0},
                      {236, 0xF0CAA6}, {247, 0xF0FBFF}, {164, 0xA4A0A0}, {91, 0x808080}};
        for (const auto& s : system)
            entries[size_t(s.index)] = s.bgr;
    }
    return entries;
}

void CVGLRenderArea::CreateRGBPalette()
{
    // Our pixel formats are all true colour: a palette is never needed, so
    // the area keeps none (GetPalette is null) and InstallPalette does nothing.
    mPalette = nullptr;
}

int CVGLRenderArea::InstallPalette(int) { return 0; }

void CVGLRenderArea::SetViewport(int x, int y, int w, int h)
{
    mViewport = CVViewport(x, y, w, h);
    if (!MakeCurrent())
        return;
    float s = std::min(GetGlobalScaleFactor(), 1.0f);
    int ws = int(s * float(w)), hs = int(s * float(h));
    float f = m_fWorldInflation;
    if (f == 1.0f) {
        if (mScissor[2] < 1 || mScissor[3] < 1)
            glDisable(GL_SCISSOR_TEST);
        else {
            glEnable(GL_SCISSOR_TEST);
            glScissor(mScissor[0], mScissor[1], mScissor[2], mScissor[3]);
        }
        glViewport(x, y + h - hs, ws, hs); // a reduced viewport stays at the top
    } else {
        float k = (f - 1.0f) * 0.5f;
        glViewport(x - int(float(ws) * k), y + int(float(h - hs) * k) - int(float(hs) * k), int(f * float(ws)),
                   int(f * float(hs)));
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, w, h);
    }
}

void CVGLRenderArea::GetViewport(int& x, int& y, int& w, int& h) const
{
    x = mViewport.GetLeft();
    y = mViewport.GetBottom();
    w = mViewport.GetWidth();
    h = mViewport.GetHeight();
}

void CVGLRenderArea::GetViewport(int* rect) const { GetViewport(rect[0], rect[1], rect[2], rect[3]); }

void CVGLRenderArea::SetScissor(int x, int y, int w, int h)
{
    mScissor[0] = x;
    mScissor[1] = y;
    mScissor[2] = w;
    mScissor[3] = h;
}

void CVGLRenderArea::GetGLViewport(int& x, int& y, int& w, int& h) const
{
    GetViewport(x, y, w, h);
    float f = m_fWorldInflation;
    if (f != 1.0f) {
        float k = (f - 1.0f) * 0.5f;
        x -= int(float(w) * k);
        y -= int(k * float(h));
        w = int(float(w) * f);
        h = int(float(h) * f);
    }
}

void CVGLRenderArea::GetGLViewport(int* rect) const { GetGLViewport(rect[0], rect[1], rect[2], rect[3]); }

void CVGLRenderArea::SetTextureFunction(int function)
{
    mTextureFunction = function;
    ApplyTextureFunction();
}

void CVGLRenderArea::ApplyTextureFunction()
{
    if (!mSuccess)
        return;
    GLint mode = mTextureFunction == MODULATE ? GL_MODULATE : mTextureFunction == BLEND ? GL_BLEND : GL_DECAL;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

void CVGLRenderArea::SetTextureFilter(int filter)
{
    mTextureFilter = filter;
    ApplyTextureFilter();
}

void CVGLRenderArea::ApplyTextureFilter()
{
    if (!mSuccess)
        return;
    GLint f = mTextureFilter ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
}

void CVGLRenderArea::SetStipplePattern(int pattern)
{
    if (pattern == mStipplePattern || pattern > 11)
        return;
    mStipplePattern = pattern;
    InstallStipple();
}

void CVGLRenderArea::InstallStipple()
{
    // A negative number has no pattern: it is recorded but installs nothing.
    if (!mSuccess || mStipplePattern < 0)
        return;
    GLubyte rows[32 * 4];
    for (int row = 0; row < 32; ++row) {
        unsigned int word = kStippleBlocks[mStipplePattern][row % 8];
        for (int b = 0; b < 4; ++b)
            rows[row * 4 + b] = GLubyte(word >> (24 - 8 * b));
    }
    glPolygonStipple(rows);
}

const unsigned char* CVGLRenderArea::GetDropShadowStipple()
{
    // A 50 % checkerboard: rows alternate between 0x55 and 0xAA bytes.
    static const auto stipple = [] {
        std::vector<unsigned char> rows(32 * 4);
        for (int row = 0; row < 32; ++row)
            std::fill(rows.begin() + row * 4, rows.begin() + row * 4 + 4, row % 2 ? 0xAA : 0x55);
        return rows;
    }();
    return stipple.data();
}

void CVGLRenderArea::SetDropShadowColor(const RGBColorStruct& c)
{
    mDropShadowColor.red = c.red;
    mDropShadowColor.green = c.green;
    mDropShadowColor.blue = c.blue;
}

void CVGLRenderArea::SetLightNode(CVNode* light)
{
    if (light)
        light->Ref();
    if (mLightNode)
        mLightNode->Unref();
    mLightNode = light;
}

void CVGLRenderArea::InitShadowMatrix()
{
    double light[4] = {0.5, 0.7, 1.0, 0.0};
    CVField* dirField = mLightNode ? mLightNode->GetField(L"direction") : nullptr;
    if (dirField && dirField->GetType() == SFVEC3F) {
        const Point3fStruct& d = static_cast<CVSFVec3f*>(dirField)->GetValue();
        if (GetShadowOrientation() == 2) {
            light[0] = -d.x - 0.9;
            light[1] = -d.y;
        } else {
            light[0] = -d.y;
            light[1] = d.x;
        }
        light[2] = -d.z;
    }
    light[1] -= 0.25;
    light[2] -= 10.0 * GetShadowProjectionZ();
    double h = 0.5 * GetShadowProjectionZ();
    const double plane[4] = {0.0, 0.0, 0.02, -0.02 * h};
    double dot = plane[0] * light[0] + plane[1] * light[1] + plane[2] * light[2] + plane[3] * light[3];
    // Row i, column j = dot * delta(i, j) - light[i] * plane[j], stored column by column.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            mShadowMatrix[j * 4 + i] = float((i == j ? dot : 0.0) - light[i] * plane[j]);
}

void CVGLRenderArea::ReportOGLErrors()
{
    if (!mSuccess)
        return;
    glFinish();
    int invalidOperations = 0;
    for (GLenum e = glGetError(); e != GL_NO_ERROR && invalidOperations <= 3; e = glGetError()) {
        if (e == GL_INVALID_OPERATION && ++invalidOperations == 2)
            glEnd();
    }
}

void CVGLRenderArea::ReadMatrices(double* projection, float* modelView) const
{
    if (mSuccess) {
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    } else {
        std::copy(kIdentity, kIdentity + 16, projection);
        std::copy(kIdentity, kIdentity + 16, modelView);
    }
}

void CVGLRenderArea::AddToTransparentNodeList(CVNode* node, CVState* state, int kind)
{
    TranspNodeInfoStruct r;
    ReadMatrices(r.projection, r.modelView);
    r.kind = kind;
    r.node = node;
    r.lights = CaptureQueuedLights();
    if (kind == KIND_LINE_BOX) {
        mTransparentOrder.push_back(std::uint32_t(mTransparent.size()));
        mTransparent.push_back(r);
        return;
    }
    if (kind == KIND_TEXT) {
        r.depthKey = r.modelView[14]; // eye-space z of the local origin
    } else {
        if (mSuccess) {
            GLint modes[2] = {GL_FILL, GL_FILL};
            glGetIntegerv(GL_POLYGON_MODE, modes);
            r.polygonMode = modes[0];
            glGetFloatv(GL_LINE_WIDTH, &r.lineWidth);
            r.lighting = glIsEnabled(GL_LIGHTING);
            GLint twoSided = 0;
            glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
            r.twoSidedLighting = twoSided != 0;
            for (int i = 0; i < 6; ++i)
                r.clipPlaneCount += glIsEnabled(GLenum(GL_CLIP_PLANE0 + i)) ? 1 : 0;
            if (glIsEnabled(GL_POLYGON_OFFSET_FILL))
                r.polygonOffsetMode = GL_POLYGON_OFFSET_FILL;
            else if (glIsEnabled(GL_POLYGON_OFFSET_LINE))
                r.polygonOffsetMode = GL_POLYGON_OFFSET_LINE;
            if (r.polygonOffsetMode) {
                glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &r.polygonOffsetFactor);
                glGetFloatv(GL_POLYGON_OFFSET_UNITS, &r.polygonOffsetUnits);
            }
        }
        CVBox3f box;
        if (node)
            node->ComputeBoundingBox(state, this, &box);
        if (!box.IsEmpty()) {
            // The stored matrix is column-major; CVMatrix wants rows.
            CVMatrix m;
            m.SetValue(r.modelView);
            box.Transform(m.Transpose());
            r.depthKey = box.GetMaxZ();
        } else {
            r.depthKey = r.modelView[14];
        }
    }
    // Ascending keys: the farthest first; equal keys keep queue order; line
    // boxes carry no key and are passed over. The place is before the first
    // keyed record with a greater key; it is sought from the back, where a
    // frame's records mostly go (ten thousand labels of one depth would make
    // a search from the front quadratic). The records stay where they were
    // appended; only their order, a list of indices, is shuffled, so that a
    // frame of thousands of queued shelf-plan objects moves 4 bytes a place
    // rather than a whole record.
    auto at = mTransparentOrder.end();
    while (at != mTransparentOrder.begin()) {
        const TranspNodeInfoStruct& q = mTransparent[*(at - 1)];
        if (q.kind != KIND_LINE_BOX && !(q.depthKey > r.depthKey))
            break;
        --at;
    }
    // Line boxes right after the last smaller-or-equal key stay before it.
    while (at != mTransparentOrder.end() && mTransparent[*at].kind == KIND_LINE_BOX)
        ++at;
    mTransparentOrder.insert(at, std::uint32_t(mTransparent.size()));
    mTransparent.push_back(r);
}

const TranspNodeInfoStruct* CVGLRenderArea::GetTransparentNodeInfo(int index) const
{
    if (index < 0 || size_t(index) >= mTransparentOrder.size())
        throw std::out_of_range("transparent queue index out of range");
    return &mTransparent[mTransparentOrder[size_t(index)]];
}

void CVGLRenderArea::AddToAnnotationNodeList(CVNode* node, CVState*)
{
    AnnotateNodeInfoStruct r;
    r.node = node;
    ReadMatrices(r.projection, r.modelView);
    r.lights = CaptureQueuedLights();
    mAnnotations.push_back(r);
}

int CVGLRenderArea::CaptureQueuedLights()
{
    if (!mSuccess)
        return -1;
    CVLightingState lights;
    lights.Capture();
    if (mQueuedLights.empty() || mQueuedLights.back() != lights)
        mQueuedLights.push_back(lights);
    return int(mQueuedLights.size()) - 1;
}

void CVGLRenderArea::RestoreQueuedLights(int lights) const
{
    if (lights >= 0 && size_t(lights) < mQueuedLights.size())
        mQueuedLights[size_t(lights)].Restore();
}

void CVGLRenderArea::ResetTransparentNodeList()
{
    mTransparent.clear();
    mTransparentOrder.clear();
    if (mAnnotations.empty())
        mQueuedLights.clear();
}

void CVGLRenderArea::ResetAnnotationNodeList()
{
    mAnnotations.clear();
    if (mTransparent.empty())
        mQueuedLights.clear();
}

const AnnotateNodeInfoStruct* CVGLRenderArea::GetAnnotationNodeInfo(int index) const
{
    if (index < 0 || size_t(index) >= mAnnotations.size())
        throw std::out_of_range("annotation queue index out of range");
    return &mAnnotations[size_t(index)];
}

void CVGLRenderArea::SetCurrentAnimationTime() { mAnimationTime = lumo::GetSystemTimeUtc(); }

int CVGLRenderArea::Accum(unsigned op, float value)
{
    int w = 0, h = 0;
    if (!mSuccess || !lumo::gl::CurrentSurfaceSize(w, h) || w <= 0 || h <= 0)
        return 0;
    size_t count = size_t(w) * size_t(h) * 4;
    if (mAccumWidth != w || mAccumHeight != h) {
        mAccum.assign(count, 0.0f);
        mAccumWidth = w;
        mAccumHeight = h;
    }
    if (op == GL_LOAD || op == GL_ACCUM) {
        std::vector<float> pixels(count);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_FLOAT, pixels.data());
        for (size_t i = 0; i < count; ++i)
            mAccum[i] = (op == GL_LOAD ? 0.0f : mAccum[i]) + value * pixels[i];
    } else if (op == GL_MULT) {
        for (float& a : mAccum)
            a *= value;
    } else if (op == GL_ADD) {
        for (float& a : mAccum)
            a += value;
    } else if (op == GL_RETURN) {
        std::vector<float> pixels(count);
        for (size_t i = 0; i < count; ++i)
            pixels[i] = std::clamp(value * mAccum[i], 0.0f, 1.0f);
        // Written straight into the colour buffer: no per-fragment operation
        // may change the pixels on the way.
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_PIXEL_MODE_BIT | GL_CURRENT_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_FOG);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_DITHER);
        glPixelZoom(1.0f, 1.0f);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glWindowPos2i(0, 0);
        glDrawPixels(w, h, GL_RGBA, GL_FLOAT, pixels.data());
        glPopAttrib();
    } else {
        return 0;
    }
    return 1;
}

#include "scene/cache/CacheManager.h"

#include "platform/wgl/Wgl.h"
#include "scene/render/GLDevice.h"
#include "scene/render/GLRenderArea.h"
#include "scene/render/SimpleDIB.h"

#include <GL/gl.h>

#include <new>

#include <unordered_map>

namespace {
CVCacheManager* gCacheManager = nullptr;

// Level tables of the 16-bit image-map colour code.
const float kT1[32] = {0,      0.032f, 0.064f, 0.096f, 0.1285f, 0.161f, 0.193f, 0.225f, 0.2575f, 0.29f,  0.322f,
                       0.354f, 0.3865f, 0.419f, 0.451f, 0.4835f, 0.5165f, 0.5485f, 0.58f, 0.6125f, 0.645f, 0.677f,
                       0.709f, 0.7415f, 0.774f, 0.806f, 0.838f, 0.8705f, 0.903f, 0.935f, 0.967f, 1};
const float kT2[32] = {1,      0.047f, 0.079f, 0.1115f, 0.144f, 0.176f, 0.208f, 0.2405f, 0.273f, 0.305f, 0.337f,
                       0.3695f, 0.402f, 0.434f, 0.466f, 0.4985f, 0.531f, 0.563f, 0.595f, 0.6275f, 0.66f, 0.692f,
                       0.724f, 0.7565f, 0.789f, 0.821f, 0.853f, 0.8855f, 0.918f, 0.95f, 0.982f, 0};
} // namespace

CVCacheManager* CVGetCacheManagerPtr() { return gCacheManager; }

void lumo::CreateCacheManager()
{
    if (!gCacheManager)
        gCacheManager = new CVCacheManager;
}

void lumo::DeleteCacheManager()
{
    delete gCacheManager;
    gCacheManager = nullptr;
}

std::uint64_t lumo::CurrentListSpace()
{
    // Contexts that share objects have one share group, so areas sharing a
    // render cache reuse each other's lists; a context recreated to share
    // gets its source's group and never sees its old lists' names again.
    return lumo::gl::CurrentShareGroup();
}

CVCacheManager::CVCacheManager() = default;

CVCacheManager::~CVCacheManager() { ReleaseGLRenderAreaCache(); }

CVGLRenderArea* CVCacheManager::CreateGLRenderAreaCache(HDC reference)
{
    if (mCacheArea)
        return mCacheArea;
    auto bitmap = std::make_unique<CSimpleDIB>();
    try {
        bitmap->Create(32, 32, reference);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    CVBitmapDevice device(bitmap->GetDC());
    auto* area = new CVGLRenderArea(&device);
    area->Ref();
    if (!area->IsSuccess()) {
        area->Unref();
        return nullptr;
    }
    area->SetRenderAreaToBitmap(1);
    mCacheBitmap = std::move(bitmap);
    mCacheArea = area;
    return area;
}

void CVCacheManager::ReleaseGLRenderAreaCache()
{
    // The area goes before the bitmap its context draws into.
    if (mCacheArea)
        mCacheArea->Unref();
    mCacheArea = nullptr;
    mCacheBitmap.reset();
}

unsigned CVCacheManager::New(Ring& ring, int key, float f1, float f2, int i1, int i2, int i3)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Slot& slot = ring.slots[ring.next];
    ring.next = (ring.next + 1) % kRingSize;
    std::uint64_t space = lumo::CurrentListSpace();
    // Reuse the slot's list when it belongs to this context; otherwise take
    // a new name from OpenGL (a list of another context cannot be touched here).
    if (!(slot.used && slot.space == space && slot.list && glIsList(slot.list)))
        slot.list = glGenLists(1);
    slot.space = space;
    slot.key = key;
    slot.f[0] = f1;
    slot.f[1] = f2;
    slot.i[0] = i1;
    slot.i[1] = i2;
    slot.i[2] = i3;
    slot.used = slot.list != 0;
    return slot.list;
}

unsigned CVCacheManager::Get(const Ring& ring, int key, float f1, float f2, int i1, int i2, int i3) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::uint64_t space = lumo::CurrentListSpace();
    for (const Slot& s : ring.slots)
        if (s.used && s.space == space && s.key == key && s.f[0] == f1 && s.f[1] == f2 && s.i[0] == i1 &&
            s.i[1] == i2 && s.i[2] == i3 && glIsList(s.list))
            return s.list;
    return 0;
}

unsigned CVCacheManager::NewCachedSphere(int key, float radius) { return New(mSpheres, key, radius, 0, 0, 0, 0); }
unsigned CVCacheManager::GetCachedSphere(int key, float radius) { return Get(mSpheres, key, radius, 0, 0, 0, 0); }
unsigned CVCacheManager::NewCachedCone(int key, float f1, float f2, int i1, int i2)
{
    return New(mCones, key, f1, f2, i1, i2, 0);
}
unsigned CVCacheManager::GetCachedCone(int key, float f1, float f2, int i1, int i2)
{
    return Get(mCones, key, f1, f2, i1, i2, 0);
}
unsigned CVCacheManager::NewCachedCylinder(int key, float f1, float f2, int i1, int i2, int i3)
{
    return New(mCylinders, key, f1, f2, i1, i2, i3);
}
unsigned CVCacheManager::GetCachedCylinder(int key, float f1, float f2, int i1, int i2, int i3)
{
    return Get(mCylinders, key, f1, f2, i1, i2, i3);
}

void CVCacheManager::DeleteCachedDisplayLists(unsigned first, int count)
{
    if (first && count > 0)
        glDeleteLists(first, count);
}

bool CVCacheManager::ImageMapColor(int colorBits, int index, const CVImageMapClass& g, float rgb[3])
{
    if (colorBits == 16) {
        int c = index & 0x3FF, d;
        if (g.graphShape) {
            d = ((index & int(0x80000000u)) ? 16 : 0) + ((index >> 24) & 7) + 1;
            c = index & 0x3FFF;
        } else if (g.annotation) {
            d = 8;
        } else {
            d = g.overlay;
        }
        if (g.pieSlice) {
            d = 31;
            c = -c;
        }
        if (d < 0 || d > 31)
            return false; // no colour of the table: not drawn, rather than drawn as another class
        const float* t = g.lines ? kT1 : kT2;
        rgb[0] = t[d];
        rgb[1] = t[(c >> 5) & 31];
        rgb[2] = t[c & 31];
        return true;
    }
    int k;
    if (g.pieSlice) {
        index = -index;
        k = 128;
    } else if (g.graphShape) {
        int cls = (index >> 24) & 15;
        if (cls > 14)
            return false;
        k = (index < 0 ? 128 : 0) | (cls * 4 + 4);
    } else if (g.annotation) {
        k = 64;
    } else {
        if (g.overlay > 15)
            return false;
        k = g.overlay * 4;
    }
    rgb[0] = float((k | ((index >> 16) & 3)) & 255) / 255.0f;
    rgb[1] = float((index >> 8) & 255) / 255.0f;
    rgb[2] = float(index & 255) / 255.0f;
    return true;
}

bool CVCacheManager::SetImageMapColor(int colorBits, int index, CVImageMapClass geometry)
{
    GLint modes[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    geometry.lines = geometry.lines || modes[0] == GL_LINE;
    float rgb[3];
    if (!ImageMapColor(colorBits, index, geometry, rgb))
        return false;
    glColor3f(rgb[0], rgb[1], rgb[2]);
    return true;
}

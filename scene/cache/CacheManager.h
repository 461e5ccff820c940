// The process-wide cache of shared OpenGL objects: rings of display lists
// for tessellated spheres, cones and cylinders (a primitive with the same
// parameters reuses the list), a shared off-screen render area whose objects
// other areas may share (SetRenderCache), and the colour code of image-map
// rendering. Textures and glyph sets live in each render area's caches
// (CVTextureCacheElement, CVFontCacheElement).
#pragma once

#include "platform/win/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <mutex>

// What a geometry's image-map colour depends on besides its part index.
struct CVImageMapClass {
    bool graphShape = false;
    bool annotation = false;
    bool pieSlice = false;
    bool lines = false; // drawn as lines (a line set, or polygons in line mode)
    int overlay = 0;    // the geometry's overlay index
};

class CVGLRenderArea;
class CSimpleDIB;

class CVCacheManager {
public:
    static constexpr int kRingSize = 128;

    CVCacheManager();
    ~CVCacheManager();
    CVCacheManager(const CVCacheManager&) = delete;
    CVCacheManager& operator=(const CVCacheManager&) = delete;

    // New... stores the parameters in the ring's next slot, advances the ring
    // and returns that slot's display list (in the current context's list
    // space) for the caller to compile; Get... returns the list of a slot
    // with equal parameters that exists in the current context, or 0.
    unsigned NewCachedSphere(int key, float radius);
    unsigned GetCachedSphere(int key, float radius);
    unsigned NewCachedCone(int key, float f1, float f2, int i1, int i2);
    unsigned GetCachedCone(int key, float f1, float f2, int i1, int i2);
    unsigned NewCachedCylinder(int key, float f1, float f2, int i1, int i2, int i3);
    unsigned GetCachedCylinder(int key, float f1, float f2, int i1, int i2, int i3);
    void DeleteCachedDisplayLists(unsigned first, int count);

    // Creates, once, an off-screen render area on a small bitmap of its own
    // (compatible with the reference DC) and keeps a reference to it; other
    // areas share its objects through SetRenderCache. Returns the area, or
    // null when no context could be made.
    CVGLRenderArea* CreateGLRenderAreaCache(HDC reference);
    CVGLRenderArea* GetGLRenderAreaCache() const { return mCacheArea; }
    // Drops the shared area (areas using it lose their render cache). Hosts
    // call it before they tear OpenGL down; the manager's end does it too.
    void ReleaseGLRenderAreaCache();
    // Rotated text is drawn at any angle, as on the NT family of systems.
    static bool IsNTFamilySystem() { return true; }

    // Sets the drawing colour that encodes a geometry's class and part index
    // when a scene is rendered as an image map (polygons drawn in line mode
    // count as lines); false when nothing is to be drawn for this index:
    // a class outside the colour table (16 bits: above 31; 24 bits: an
    // overlay index above 15 or a graph class above 14) is skipped.
    bool SetImageMapColor(int colorBits, int index, CVImageMapClass geometry);
    // The colour (0..1 per channel) SetImageMapColor draws with; false when
    // nothing is drawn for this index.
    static bool ImageMapColor(int colorBits, int index, const CVImageMapClass& geometry, float rgb[3]);

private:
    struct Slot {
        unsigned list = 0;
        std::uint64_t space = 0; // which context's lists the id belongs to
        int key = 0;
        float f[2] = {0, 0};
        int i[3] = {0, 0, 0};
        bool used = false;
    };
    struct Ring {
        Slot slots[kRingSize];
        int next = 0;
    };
    unsigned New(Ring& ring, int key, float f1, float f2, int i1, int i2, int i3);
    unsigned Get(const Ring& ring, int key, float f1, float f2, int i1, int i2, int i3) const;

    // Render threads (one context each) share the manager.
    mutable std::mutex mMutex;
    Ring mSpheres, mCones, mCylinders;
    std::unique_ptr<CSimpleDIB> mCacheBitmap;
    CVGLRenderArea* mCacheArea = nullptr;
};

// The manager created at start-up; null before start-up and after shutdown.
CVCacheManager* CVGetCacheManagerPtr();

namespace lumo {
void CreateCacheManager();
void DeleteCacheManager();
// An identifier of the current context's display-list space (0 without a context).
std::uint64_t CurrentListSpace();
} // namespace lumo

// The process-wide cache of shared OpenGL objects (display-list rings of
// tessellated primitives, the shared off-screen area); created at library
// start-up. Its caches are filled in by the shape and texture code.
#pragma once

class CVCacheManager {
public:
    CVCacheManager() = default;
    CVCacheManager(const CVCacheManager&) = delete;
    CVCacheManager& operator=(const CVCacheManager&) = delete;
};

// The manager created at start-up; null before start-up and after shutdown.
CVCacheManager* CVGetCacheManagerPtr();

namespace lumo {
void CreateCacheManager();
void DeleteCacheManager();
} // namespace lumo

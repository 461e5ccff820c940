#include "scene/text/CacheManager.h"

namespace {
CVCacheManager* gCacheManager = nullptr;
}

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

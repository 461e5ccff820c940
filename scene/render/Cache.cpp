#include "scene/render/Cache.h"

#include "platform/wgl/Wgl.h"
#include "scene/render/GLRenderArea.h"

#include <algorithm>

namespace {
template <class T>
void Erase(std::vector<T*>& list, const T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
template <class T>
bool Contains(const std::vector<T*>& list, const T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}
} // namespace

CVCacheElement::CVCacheElement() : mShareGroup(lumo::gl::CurrentShareGroup()) {}

CVCacheElement::~CVCacheElement() = default;

CVCache::~CVCache() { Clear(); }

CVCacheElement* CVCache::Find(const CVCacheElement& key) const
{
    std::uint64_t group = lumo::gl::CurrentShareGroup();
    for (CVCacheElement* e : mElements)
        if (e->mShareGroup == group && e->IsEqual(key))
            return e;
    return nullptr;
}

CVCacheElement* CVCache::Register(CVCacheUser& user, CVCacheElement* element)
{
    if (!element)
        return nullptr;
    auto at = std::find(mElements.begin(), mElements.end(), element);
    if (at == mElements.end()) {
        mElements.insert(mElements.begin(), element);
        element->mCache = this;
    } else if (at != mElements.begin()) {
        std::rotate(mElements.begin(), at, at + 1);
    }
    if (!Contains(user.mCaches, this))
        user.mCaches.push_back(this);
    // The user's own list is the short one (a node uses few elements).
    if (!user.Uses(element)) {
        element->mUsers.push_back(&user);
        user.mElements.push_back(element);
    }
    return element;
}

void CVCache::Destroy(CVCacheElement* element)
{
    Erase(mElements, element);
    // Objects of another share group are left alone: deleting their names
    // here would delete whatever this group holds under the same numbers.
    if (mOwner)
        mOwner->RunInContext([&] {
            if (lumo::gl::CurrentShareGroup() == element->mShareGroup)
                element->FreeGLObjects();
        });
    delete element;
}

void CVCache::Clear()
{
    while (!mElements.empty()) {
        CVCacheElement* e = mElements.front();
        for (CVCacheUser* user : e->mUsers)
            user->Forget(this);
        e->mUsers.clear();
        Destroy(e);
    }
}

void CVCacheUser::Release()
{
    std::vector<CVCacheElement*> elements;
    elements.swap(mElements);
    mCaches.clear();
    for (CVCacheElement* e : elements) {
        Erase(e->mUsers, this);
        if (e->mUsers.empty() && e->mCache)
            e->mCache->Destroy(e);
    }
}

bool CVCacheUser::Uses(const CVCacheElement* element) const { return Contains(mElements, element); }

void CVCacheUser::Forget(CVCache* cache)
{
    Erase(mCaches, cache);
    mElements.erase(std::remove_if(mElements.begin(), mElements.end(),
                                   [cache](const CVCacheElement* e) { return e->mCache == cache; }),
                    mElements.end());
}

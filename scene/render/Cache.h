// Caches of shared OpenGL objects (textures, glyph sets) that a render area
// owns. An element lives exactly as long as at least one cache user (a node)
// holds it; its OpenGL objects are deleted with its owning area's context
// current, never in whatever context happens to be current.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CVCache;
class CVCacheUser;
class CVGLRenderArea;

// One entry of a cache. Each kind compares itself to a key element of its
// own kind (IsEqual); an element also belongs to the share group of the
// context that was current when it was made, and is found only from there.
class CVCacheElement {
public:
    CVCacheElement();
    virtual ~CVCacheElement();
    CVCacheElement(const CVCacheElement&) = delete;
    CVCacheElement& operator=(const CVCacheElement&) = delete;

    // Whether this element is the one 'key' describes: same class, equal key.
    virtual bool IsEqual(const CVCacheElement& key) const = 0;

    // The cache that holds it (null until registered).
    CVCache* GetCache() const { return mCache; }
    const std::vector<CVCacheUser*>& GetUsers() const { return mUsers; }
    // The share group its OpenGL objects belong to.
    std::uint64_t GetShareGroup() const { return mShareGroup; }

protected:
    // Deletes the element's OpenGL objects; called once, with a context of
    // its share group current.
    virtual void FreeGLObjects() {}

private:
    friend class CVCache;
    friend class CVCacheUser;
    CVCache* mCache = nullptr;
    std::vector<CVCacheUser*> mUsers;
    std::uint64_t mShareGroup;
};

// An ordered list of elements, newest (or most recently registered) first.
// Not copyable; owned by a render area, which makes its context current
// around the deletion of elements.
class CVCache {
public:
    explicit CVCache(CVGLRenderArea* owner) : mOwner(owner) {}
    // Destroys every element; their users forget this cache.
    ~CVCache();
    CVCache(const CVCache&) = delete;
    CVCache& operator=(const CVCache&) = delete;

    // The first element equal to the key that belongs to the current
    // context's share group, or null.
    CVCacheElement* Find(const CVCacheElement& key) const;
    template <class E>
    E* Find(const E& key) const
    {
        return static_cast<E*>(Find(static_cast<const CVCacheElement&>(key)));
    }
    // Registers the user of an element: the element goes to the front (it
    // joins the cache when new, which takes ownership), the user into its
    // user list once and the cache into the user's list once. Returns the
    // element.
    CVCacheElement* Register(CVCacheUser& user, CVCacheElement* element);
    CVCacheElement* Register(CVCacheUser& user, std::unique_ptr<CVCacheElement> element)
    {
        return Register(user, element.release());
    }
    // The element equal to key, registered for user; on a miss make() gives
    // a new element (std::unique_ptr<E>), which is registered. 'created'
    // tells which happened. Null when make() gives nothing.
    template <class E, class Make>
    E* FindOrAdd(CVCacheUser& user, const E& key, Make make, bool* created = nullptr)
    {
        E* found = Find(key);
        if (created)
            *created = !found;
        if (!found) {
            std::unique_ptr<E> made = make();
            if (!made)
                return nullptr;
            found = made.release();
        }
        return static_cast<E*>(Register(user, static_cast<CVCacheElement*>(found)));
    }

    int GetCount() const { return int(mElements.size()); }
    CVCacheElement* GetAt(int index) const { return mElements.at(size_t(index)); }
    CVGLRenderArea* GetOwner() const { return mOwner; }
    // Destroys every element (users forget them), deleting their OpenGL
    // objects in the owner's context.
    void Clear();

private:
    friend class CVCacheUser;
    // Removes and destroys an element without users.
    void Destroy(CVCacheElement* element);

    CVGLRenderArea* mOwner;
    std::vector<CVCacheElement*> mElements;
};

// What a node holds to use cache elements: the caches and elements it is
// registered with. Releasing (or destroying) it removes the node from every
// element; an element left without users is destroyed.
class CVCacheUser {
public:
    CVCacheUser() = default;
    ~CVCacheUser() { Release(); }
    CVCacheUser(const CVCacheUser&) = delete;
    CVCacheUser& operator=(const CVCacheUser&) = delete;

    void Release();
    bool Uses(const CVCacheElement* element) const;
    const std::vector<CVCache*>& GetCaches() const { return mCaches; }
    const std::vector<CVCacheElement*>& GetElements() const { return mElements; }

private:
    friend class CVCache;
    // The cache is going away: forget it and its elements.
    void Forget(CVCache* cache);

    std::vector<CVCache*> mCaches;
    std::vector<CVCacheElement*> mElements;
};

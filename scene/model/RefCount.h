// A reference-counted library object: count 0 when new; releasing the last
// reference deletes it. Objects released while another is being deleted
// (the children of a node) are deleted after it, one at a time, so that
// freeing a deep graph costs no stack.
#pragma once

#include "scene/model/Base.h"

class CVRefCount : public CVBase {
    LUMO_DECLARE_CLASS(CVRefCount)

public:
    void Ref() { ++mRefCount; }
    // Deletes the object when this releases the last reference.
    void Unref()
    {
        if (mRefCount-- == 1)
            Destroy(this);
    }
    void UnrefNoDelete() { --mRefCount; }
    int GetRef() const { return mRefCount; }

protected:
    CVRefCount() = default;
    CVRefCount(const CVRefCount&) = delete;
    CVRefCount& operator=(const CVRefCount&) = delete;

private:
    static void Destroy(CVRefCount* object);

    int mRefCount = 0;
};

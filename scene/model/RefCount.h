// A reference-counted library object: count 0 when new; releasing the last
// reference deletes it.
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
            delete this;
    }
    void UnrefNoDelete() { --mRefCount; }
    int GetRef() const { return mRefCount; }

protected:
    CVRefCount() = default;
    CVRefCount(const CVRefCount&) = delete;
    CVRefCount& operator=(const CVRefCount&) = delete;

private:
    int mRefCount = 0;
};

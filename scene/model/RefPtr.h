// A counted reference to a library object: while it points at an object it
// holds one reference on it, so the object lives at least as long as the
// holder (pick details and pick results keep their nodes this way).
#pragma once

#include "scene/model/RefCount.h"

#include <utility>

template <class T>
class CVRefPtr {
public:
    CVRefPtr() = default;
    explicit CVRefPtr(T* object) : mObject(object)
    {
        if (mObject)
            mObject->Ref();
    }
    CVRefPtr(const CVRefPtr& other) : CVRefPtr(other.mObject) {}
    CVRefPtr(CVRefPtr&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
    ~CVRefPtr()
    {
        if (mObject)
            mObject->Unref();
    }
    CVRefPtr& operator=(CVRefPtr other) noexcept
    {
        std::swap(mObject, other.mObject);
        return *this;
    }

    T* get() const { return mObject; }
    T* operator->() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }

private:
    T* mObject = nullptr;
};

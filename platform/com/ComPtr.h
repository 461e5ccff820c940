// A counted reference to an interface: AddRef on copy, Release on
// destruction, and typed QueryInterface.
#pragma once

#include "platform/com/Unknown.h"

#include <cstddef>
#include <type_traits>
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference; use Adopt for a pointer that already carries one.
    ComPtr(T* p) : mPtr(p) { AddRefIfSet(); }
    ComPtr(const ComPtr& other) : mPtr(other.mPtr) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : mPtr(other.Detach()) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& other) : mPtr(other.Get())
    {
        AddRefIfSet();
    }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        ComPtr copy(other);
        Swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t)
    {
        Reset();
        return *this;
    }

    static ComPtr Adopt(T* p)
    {
        ComPtr r;
        r.mPtr = p;
        return r;
    }

    T* Get() const { return mPtr; }
    T* operator->() const { return mPtr; }
    T& operator*() const { return *mPtr; }
    explicit operator bool() const { return mPtr != nullptr; }

    // Releases the current reference and returns the slot for an
    // out-parameter that hands over a new one.
    T** Put()
    {
        Reset();
        return &mPtr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Detach()
    {
        T* p = mPtr;
        mPtr = nullptr;
        return p;
    }
    void Reset()
    {
        T* p = Detach();
        if (p)
            p->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(mPtr, other.mPtr); }

    // QueryInterface for U (identified by U::iid); E_POINTER when empty.
    template <class U>
    HRESULT As(ComPtr<U>* out) const
    {
        if (!out)
            return E_POINTER;
        if (!mPtr) {
            out->Reset();
            return E_POINTER;
        }
        return mPtr->QueryInterface(U::iid, out->PutVoid());
    }

    // Copies out a new reference, as out-parameters of interfaces do.
    HRESULT CopyTo(T** out) const
    {
        if (!out)
            return E_POINTER;
        *out = mPtr;
        AddRefIfSet();
        return S_OK;
    }

private:
    void AddRefIfSet() const
    {
        if (mPtr)
            mPtr->AddRef();
    }

    T* mPtr = nullptr;
};

template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b)
{
    return a.Get() == b.Get();
}

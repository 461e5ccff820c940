// The base of every object the runtime hands out: reference counting and a
// QueryInterface table built from the interfaces the object derives from.
#pragma once

#include "platform/com/ComPtr.h"

#include <atomic>
#include <climits>
#include <type_traits>
#include <utility>

namespace lumo::detail {

// An implementation base may name the interface it implements as Interface;
// otherwise the base is the interface.
template <class B, class = void>
struct InterfaceOf {
    using type = B;
};
template <class B>
struct InterfaceOf<B, std::void_t<typename B::Interface>> {
    using type = typename B::Interface;
};

// Interfaces name their parent as Base, up to IUnknown.
template <class I, class = void>
struct HasBase : std::false_type {};
template <class I>
struct HasBase<I, std::void_t<typename I::Base>> : std::true_type {};

// The pointer for iid along the chain from I to its parents; null when none
// of them is iid.
template <class I>
void* FindInChain(I* p, const IID& iid)
{
    if constexpr (std::is_same_v<I, IUnknown>) {
        return nullptr; // identity is answered separately
    } else {
        if (iid == I::iid)
            return p;
        if constexpr (HasBase<I>::value)
            return FindInChain<typename I::Base>(p, iid);
        return nullptr;
    }
}

template <class First, class...>
struct FirstOf {
    using type = First;
};

} // namespace lumo::detail

// Derive as `class CThing : public TObject<IThing, TDispatchImpl<...>, ...>`;
// QueryInterface answers every listed interface and its parents, IUnknown
// with the first one. Objects start with one reference (see MakeObject).
template <class... Bases>
class TObject : public Bases... {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        void* found = nullptr;
        if (iid == IUnknown::iid)
            found = Identity();
        else
            ((found = found ? found : Match<Bases>(iid)), ...);
        if (!found)
            found = FindExtraInterface(iid);
        if (!found)
            return E_NOINTERFACE;
        AddRef();
        *object = found;
        return S_OK;
    }
    ULONG AddRef() override { return ++mRefs; }
    ULONG Release() override
    {
        ULONG left = --mRefs;
        if (left == 0) {
            // A stray AddRef/Release pair in the destructor must not delete
            // the object a second time.
            mRefs = ULONG(INT_MAX / 2);
            delete this;
        }
        return left;
    }

    IUnknown* Identity()
    {
        using First = typename lumo::detail::InterfaceOf<typename lumo::detail::FirstOf<Bases...>::type>::type;
        return static_cast<IUnknown*>(static_cast<First*>(this));
    }

protected:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Interfaces not in the list (tear-offs, embedded objects); null when none.
    virtual void* FindExtraInterface(const IID&) { return nullptr; }

private:
    template <class B>
    void* Match(const IID& iid)
    {
        using I = typename lumo::detail::InterfaceOf<B>::type;
        return lumo::detail::FindInChain<I>(static_cast<B*>(this), iid);
    }

    std::atomic<ULONG> mRefs{1};
};

// Creates an object and hands over its first reference.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args)
{
    return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

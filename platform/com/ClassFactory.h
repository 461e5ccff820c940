// Class objects: the factory a module hands out for each class it serves,
// and a ready-made one for classes built on TObject.
#pragma once

#include "platform/com/Object.h"

#include <exception>
#include <new>

struct IClassFactory : IUnknown {
    static constexpr IID iid = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    using Base = IUnknown;

    // Aggregation is not supported: a non-null outer gives CLASS_E_NOAGGREGATION.
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;
};

// Creates T (default-constructed through MakeObject); a constructor that
// throws gives E_OUTOFMEMORY or E_FAIL, never an exception.
template <class T>
class TClassFactory : public TObject<IClassFactory> {
public:
    static HRESULT Create(const IID& iid, void** object)
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        try {
            return MakeObject<TClassFactory>()->QueryInterface(iid, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            return MakeObject<T>()->QueryInterface(iid, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

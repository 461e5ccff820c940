// A storage: named streams (and, on Windows, nested storages) under one
// object, as containers hand to IPersistStorage.
#pragma once

#include "platform/com/Stream.h"

struct IEnumSTATSTG;

struct IStorage : IUnknown {
    static constexpr IID iid = {0x0000000B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    using Base = IUnknown;

    virtual HRESULT CreateStream(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2, IStream** stream) = 0;
    virtual HRESULT OpenStream(LPCOLESTR name, void* reserved1, DWORD mode, DWORD reserved2, IStream** stream) = 0;
    virtual HRESULT CreateStorage(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2, IStorage** storage) = 0;
    virtual HRESULT OpenStorage(LPCOLESTR name, IStorage* priority, DWORD mode, LPOLESTR* exclude, DWORD reserved,
                                IStorage** storage) = 0;
    virtual HRESULT CopyTo(DWORD excludeCount, const IID* excludeIids, LPOLESTR* excludeNames, IStorage* target) = 0;
    virtual HRESULT MoveElementTo(LPCOLESTR name, IStorage* target, LPCOLESTR newName, DWORD flags) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** elements) = 0;
    virtual HRESULT DestroyElement(LPCOLESTR name) = 0;
    virtual HRESULT RenameElement(LPCOLESTR oldName, LPCOLESTR newName) = 0;
    virtual HRESULT SetElementTimes(LPCOLESTR name, const FILETIME* created, const FILETIME* accessed,
                                    const FILETIME* modified) = 0;
    virtual HRESULT SetClass(const CLSID& clsid) = 0;
    virtual HRESULT SetStateBits(DWORD bits, DWORD mask) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
};

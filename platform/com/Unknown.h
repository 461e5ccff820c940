// A minimal in-process object model: reference counting and interface
// lookup by identifier, for library interfaces that take a host object.
#pragma once

#include "platform/win/WinTypes.h"

#include <atomic>

extern const IID IID_IUnknown;

struct IUnknown {
    static constexpr IID iid = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Reference counting and IUnknown lookup for implementations; a subclass
// answers its own interfaces by overriding FindInterface.
class CUnknownImpl : public IUnknown {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

protected:
    CUnknownImpl() = default;
    CUnknownImpl(const CUnknownImpl&) = delete;
    CUnknownImpl& operator=(const CUnknownImpl&) = delete;

    // Returns the pointer for the interface, or null when it is not offered.
    virtual void* FindInterface(const IID& iid);

private:
    std::atomic<ULONG> mRefs{1};
};

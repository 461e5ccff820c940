// A ready-made event sink for hosts: answers one dispatch event interface
// and hands each event (DISPID and arguments in natural order) to a function.
// Also the Advise/Unadvise round trip through a source's container.
#pragma once

#include "platform/com/ConnectionPoint.h"
#include "platform/com/Object.h"

#include <functional>
#include <vector>

class CEventSink : public TObject<IDispatch> {
public:
    // Returns what Invoke reports to the source (which ignores it); an
    // exception the handler throws ends as DISP_E_EXCEPTION.
    using Handler = std::function<HRESULT(DISPID id, const std::vector<CVariant>& args)>;

    static ComPtr<CEventSink> Create(const IID& events, Handler handler);

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(const IID& riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT Invoke(DISPID member, const IID& riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override;

protected:
    CEventSink(const IID& events, Handler handler);
    void* FindExtraInterface(const IID& iid) override;

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    IID mEvents;
    Handler mHandler;
};

namespace lumo {

// Finds the source's connection point for `events` and advises `sink`.
HRESULT Advise(IUnknown* source, const IID& events, IUnknown* sink, DWORD* cookie);
HRESULT Unadvise(IUnknown* source, const IID& events, DWORD cookie);

} // namespace lumo

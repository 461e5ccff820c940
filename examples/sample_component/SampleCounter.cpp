#include "examples/sample_component/SampleCounter.h"

#include "platform/com/Bstr.h"

#include <stdexcept>

namespace {

constexpr DispEntry kCounterEntries[] = {
    DispMethod<&ISampleCounter::Add, VT_I4, VT_BYREF | VT_I4>(u"Add", 1),
    DispMethod<&ISampleCounter::Reset>(u"Reset", 2),
    DispPropGet<&ISampleCounter::get_Total, VT_BYREF | VT_I4>(u"Total", 3),
    DispPropPut<&ISampleCounter::put_Total, VT_I4>(u"Total", 3),
    DispMethod<&ISampleCounter::Configure, VT_I2, VT_BOOL, VT_UI4>(u"Configure", 4),
    DispMethod<&ISampleCounter::Increment, VT_BYREF | VT_I4>(u"Increment", 5),
    DispMethod<&ISampleCounter::Average, VT_R8, VT_R4, VT_BYREF | VT_R8>(u"Average", 6),
    DispMethod<&ISampleCounter::Clone, VT_BYREF | VT_DISPATCH>(u"Clone", 7),
    DispMethod<&ISampleCounter::Notify, VT_BSTR, VT_R8>(u"Notify", 8),
    DispMethod<&ISampleCounter::Describe, VT_VARIANT, VT_BYREF | VT_BSTR>(u"Describe", 9),
};
static_assert(DispatchTable::IsConsistent(kCounterEntries, std::size(kCounterEntries)));

constexpr DispEntry kTextEntries[] = {
    DispMethod<&ISampleText::Concat, VT_BSTR, VT_BSTR, VT_BYREF | VT_BSTR>(u"Concat", 1),
    DispMethod<&ISampleText::Repeat, VT_BSTR, VT_I2, VT_BYREF | VT_BSTR>(u"Repeat", 2),
    DispPropGet<&ISampleText::get_Separator, VT_BYREF | VT_BSTR>(u"Separator", 3),
    DispPropPut<&ISampleText::put_Separator, VT_BSTR>(u"Separator", 3),
    DispMethod<&ISampleText::Length, VT_BSTR, VT_BYREF | VT_I4>(u"Length", 4),
};
static_assert(DispatchTable::IsConsistent(kTextEntries, std::size(kTextEntries)));

std::u16string_view View(BSTR text) { return std::u16string_view(text ? text : u"", SysStringLen(text)); }

const char* TypeName(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY: return "empty";
    case VT_NULL: return "null";
    case VT_I2: return "i2";
    case VT_I4: return "i4";
    case VT_R4: return "r4";
    case VT_R8: return "r8";
    case VT_BSTR: return "bstr";
    case VT_BOOL: return "bool";
    case VT_UI4: return "ui4";
    default: return "other";
    }
}

} // namespace

const DispatchTable kSampleCounterMembers{kCounterEntries};
const DispatchTable kSampleTextMembers{kTextEntries};

CSampleCounter::CSampleCounter() : mEvents(AddConnectionPoint(_ISampleEvents::iid)) {}

void CSampleCounter::SetTotal(LONG total)
{
    mTotal = total;
    mEvents.Fire(DISPID_SAMPLE_ONCHANGED, {CVariant(mTotal)});
}

HRESULT CSampleCounter::Add(LONG amount, LONG* total)
{
    if (!total)
        return E_POINTER;
    // A sink may drop the caller's last reference while the event runs.
    ComPtr<IUnknown> self(Identity());
    SetTotal(LONG(ULONG(mTotal) + ULONG(amount))); // wraps instead of overflowing
    *total = mTotal;
    return S_OK;
}

HRESULT CSampleCounter::Reset()
{
    ComPtr<IUnknown> self(Identity());
    mTotal = 0;
    mEvents.Fire(DISPID_SAMPLE_ONRESET);
    return S_OK;
}

HRESULT CSampleCounter::get_Total(LONG* total)
{
    if (!total)
        return E_POINTER;
    *total = mTotal;
    return S_OK;
}

HRESULT CSampleCounter::put_Total(LONG total)
{
    ComPtr<IUnknown> self(Identity());
    SetTotal(total);
    return S_OK;
}

HRESULT CSampleCounter::Configure(SHORT step, VARIANT_BOOL wrap, ULONG limit)
{
    mStep = step;
    mWrap = wrap != VARIANT_FALSE;
    mLimit = limit;
    return S_OK;
}

HRESULT CSampleCounter::Increment(LONG* total)
{
    if (!total)
        return E_POINTER;
    ComPtr<IUnknown> self(Identity());
    LONG next = LONG(ULONG(mTotal) + ULONG(LONG(mStep)));
    if (mWrap && next >= 0 && ULONG(next) > mLimit)
        next = 0;
    SetTotal(next);
    *total = mTotal;
    return S_OK;
}

HRESULT CSampleCounter::Average(double a, float b, double* mean)
{
    if (!mean)
        return E_POINTER;
    *mean = (a + double(b)) / 2;
    return S_OK;
}

HRESULT CSampleCounter::Clone(ISampleCounter** copy)
{
    if (!copy)
        return E_POINTER;
    auto clone = MakeObject<CSampleCounter>();
    clone->mTotal = mTotal;
    clone->mStep = mStep;
    clone->mWrap = mWrap;
    clone->mLimit = mLimit;
    clone->mSeparator = mSeparator;
    *copy = static_cast<ISampleCounter*>(clone.Detach());
    return S_OK;
}

HRESULT CSampleCounter::Notify(BSTR text, double value)
{
    ComPtr<IUnknown> self(Identity());
    std::u16string_view t = View(text);
    SHORT urgent = !t.empty() && t.back() == u'!' ? 1 : 0;
    mEvents.Fire(DISPID_SAMPLE_ONMESSAGE, {CVariant(t), CVariant(ULONG(t.size())), CVariant(urgent), CVariant(value)});
    return S_OK;
}

HRESULT CSampleCounter::Describe(VARIANT value, BSTR* text)
{
    if (!text)
        return E_POINTER;
    CVariant v(value);
    std::string type = TypeName(v.vt);
    std::wstring description(type.begin(), type.end());
    description += L':';
    description += v.ToWide();
    *text = CBstr(std::wstring_view(description)).Detach();
    return S_OK;
}

HRESULT CSampleCounter::Concat(BSTR a, BSTR b, BSTR* result)
{
    if (!result)
        return E_POINTER;
    std::u16string joined(View(a));
    joined += mSeparator;
    joined += View(b);
    *result = CBstr(std::u16string_view(joined)).Detach();
    return S_OK;
}

HRESULT CSampleCounter::Repeat(BSTR text, SHORT count, BSTR* result)
{
    if (!result)
        return E_POINTER;
    if (count < 0)
        throw std::invalid_argument("Repeat: the count is negative");
    if (count > 1000)
        return E_INVALIDARG;
    std::u16string repeated;
    for (SHORT i = 0; i < count; ++i)
        repeated += View(text);
    *result = CBstr(std::u16string_view(repeated)).Detach();
    return S_OK;
}

HRESULT CSampleCounter::get_Separator(BSTR* separator)
{
    if (!separator)
        return E_POINTER;
    *separator = CBstr(std::u16string_view(mSeparator)).Detach();
    return S_OK;
}

HRESULT CSampleCounter::put_Separator(BSTR separator)
{
    mSeparator = std::u16string(View(separator));
    return S_OK;
}

HRESULT CSampleCounter::Length(BSTR text, LONG* length)
{
    if (!length)
        return E_POINTER;
    *length = LONG(SysStringLen(text));
    return S_OK;
}

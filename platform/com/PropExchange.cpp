#include "platform/com/PropExchange.h"

#include "platform/com/Bstr.h"
#include "platform/com/Utf16.h"

namespace {

std::u16string Name(const char* name)
{
    std::u16string text;
    for (const char* p = name; p && *p; ++p)
        text += char16_t(static_cast<unsigned char>(*p));
    return text;
}

} // namespace

template <class T>
bool CPropExchange::Scalar(const char* name, VARTYPE vt, T& value)
{
    CVariant v;
    if (!mLoading) {
        v.vt = vt;
        switch (vt) {
        case VT_BOOL: v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_I2: v.iVal = SHORT(value); break;
        case VT_I4: v.lVal = LONG(value); break;
        case VT_UI4: v.ulVal = ULONG(value); break;
        case VT_R4: v.fltVal = float(value); break;
        default: return false;
        }
    }
    if (!Exchange(name, vt, v))
        return false;
    if (mLoading) {
        switch (vt) {
        case VT_BOOL: value = T(v.boolVal != VARIANT_FALSE); break;
        case VT_I2: value = T(v.iVal); break;
        case VT_I4: value = T(v.lVal); break;
        case VT_UI4: value = T(v.ulVal); break;
        case VT_R4: value = T(v.fltVal); break;
        default: return false;
        }
    }
    return true;
}

bool CPropExchange::Version(ULONG& version, ULONG fallback) { return ULong("_Version", version, fallback); }

bool CPropExchange::Bool(const char* name, bool& value) { return Scalar(name, VT_BOOL, value); }
bool CPropExchange::Long(const char* name, LONG& value) { return Scalar(name, VT_I4, value); }
bool CPropExchange::ULong(const char* name, ULONG& value) { return Scalar(name, VT_UI4, value); }
bool CPropExchange::Short(const char* name, SHORT& value) { return Scalar(name, VT_I2, value); }
bool CPropExchange::Float(const char* name, float& value) { return Scalar(name, VT_R4, value); }
bool CPropExchange::Color(const char* name, COLORREF& value) { return Scalar(name, VT_UI4, value); }

bool CPropExchange::String(const char* name, std::wstring& value)
{
    CVariant v;
    if (!mLoading)
        v = CVariant(value);
    if (!Exchange(name, VT_BSTR, v))
        return false;
    if (mLoading)
        value = CBstr::Copy(v.bstrVal).ToWide();
    return true;
}

// The overloads with a fallback: on load, a value that was not read takes it.
#define LUMO_WITH_FALLBACK(Function, Type, FallbackType)                                                               \
    bool CPropExchange::Function(const char* name, Type& value, FallbackType fallback)                                 \
    {                                                                                                                  \
        if (Function(name, value))                                                                                     \
            return true;                                                                                               \
        if (mLoading)                                                                                                  \
            value = fallback;                                                                                          \
        return false;                                                                                                  \
    }
LUMO_WITH_FALLBACK(Bool, bool, bool)
LUMO_WITH_FALLBACK(Long, LONG, LONG)
LUMO_WITH_FALLBACK(ULong, ULONG, ULONG)
LUMO_WITH_FALLBACK(Short, SHORT, SHORT)
LUMO_WITH_FALLBACK(Float, float, float)
LUMO_WITH_FALLBACK(Color, COLORREF, COLORREF)
LUMO_WITH_FALLBACK(String, std::wstring, const std::wstring&)
#undef LUMO_WITH_FALLBACK

CPropertyBagExchange::CPropertyBagExchange(IPropertyBag* bag, bool loading, IErrorLog* log)
    : CPropExchange(loading), mBag(bag), mLog(log)
{
    if (!bag)
        mResult = E_POINTER;
}

bool CPropertyBagExchange::Exchange(const char* name, VARTYPE vt, CVariant& value)
{
    if (!mBag)
        return false;
    std::u16string key = Name(name);
    if (IsLoading()) {
        VARIANT read;
        VariantInit(&read);
        read.vt = vt;
        if (FAILED(mBag->Read(key.c_str(), &read, mLog)))
            return false;
        if (read.vt != vt) { // a bag that ignored the wanted type
            CVariant held = CVariant::Adopt(read);
            if (FAILED(held.ChangeType(vt)))
                return false;
            value = std::move(held);
            return true;
        }
        value = CVariant::Adopt(read);
        return true;
    }
    HRESULT hr = mBag->Write(key.c_str(), &value);
    if (FAILED(hr)) {
        if (SUCCEEDED(mResult))
            mResult = hr;
        return false;
    }
    return true;
}

CStreamExchange::CStreamExchange(IStream* stream, bool loading)
    : CPropExchange(loading), mReader(stream), mWriter(stream)
{
}

HRESULT CStreamExchange::Result() const { return IsLoading() ? mReader.Result() : mWriter.Result(); }

bool CStreamExchange::Exchange(const char*, VARTYPE vt, CVariant& value)
{
    HRESULT hr = E_INVALIDARG;
    if (IsLoading()) {
        CVariant read;
        read.vt = vt;
        switch (vt) {
        case VT_BOOL: {
            bool b = false;
            hr = mReader.ReadBool(&b);
            read.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        }
        case VT_I2: hr = mReader.ReadShort(&read.iVal); break;
        case VT_I4: hr = mReader.ReadLong(&read.lVal); break;
        case VT_UI4: hr = mReader.ReadULong(&read.ulVal); break;
        case VT_R4: hr = mReader.ReadFloat(&read.fltVal); break;
        case VT_BSTR: {
            read.vt = VT_EMPTY;
            std::u16string text;
            hr = mReader.ReadString(&text);
            if (SUCCEEDED(hr))
                read = CVariant(std::u16string_view(text));
            break;
        }
        default: read.vt = VT_EMPTY; break;
        }
        if (FAILED(hr))
            return false;
        value = std::move(read);
        return true;
    }
    switch (vt) {
    case VT_BOOL: hr = mWriter.WriteBool(value.boolVal != VARIANT_FALSE); break;
    case VT_I2: hr = mWriter.WriteShort(value.iVal); break;
    case VT_I4: hr = mWriter.WriteLong(value.lVal); break;
    case VT_UI4: hr = mWriter.WriteULong(value.ulVal); break;
    case VT_R4: hr = mWriter.WriteFloat(value.fltVal); break;
    case VT_BSTR:
        hr = mWriter.WriteString(std::u16string_view(value.bstrVal ? value.bstrVal : u"", SysStringLen(value.bstrVal)));
        break;
    default: break;
    }
    return SUCCEEDED(hr);
}

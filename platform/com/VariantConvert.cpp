// VariantChangeType: every conversion goes through one of four forms (a
// signed or unsigned integer, a real number, text) and then to the target.
#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"
#include "platform/com/VariantDate.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

struct Number {
    enum Kind { Signed, Unsigned, Real } kind = Signed;
    LONGLONG s = 0;
    ULONGLONG u = 0;
    double d = 0;
    bool fromBool = false;
};

bool IsIntegerTag(VARTYPE vt)
{
    switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

bool IsNumericTag(VARTYPE vt) { return IsIntegerTag(vt) || vt == VT_R4 || vt == VT_R8 || vt == VT_DATE || vt == VT_BOOL; }

bool IsTarget(VARTYPE vt)
{
    return vt == VT_EMPTY || vt == VT_NULL || vt == VT_ERROR || vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN ||
           IsNumericTag(vt);
}

Number FromVariant(const VARIANT& v)
{
    Number n;
    switch (v.vt) {
    case VT_I1: n.s = v.cVal; break;
    case VT_I2: n.s = v.iVal; break;
    case VT_I4: n.s = v.lVal; break;
    case VT_INT: n.s = v.intVal; break;
    case VT_I8: n.s = v.llVal; break;
    case VT_UI1: n.kind = Number::Unsigned; n.u = v.bVal; break;
    case VT_UI2: n.kind = Number::Unsigned; n.u = v.uiVal; break;
    case VT_UI4: n.kind = Number::Unsigned; n.u = v.ulVal; break;
    case VT_UINT: n.kind = Number::Unsigned; n.u = v.uintVal; break;
    case VT_UI8: n.kind = Number::Unsigned; n.u = v.ullVal; break;
    case VT_R4: n.kind = Number::Real; n.d = v.fltVal; break;
    case VT_R8: n.kind = Number::Real; n.d = v.dblVal; break;
    case VT_DATE: n.kind = Number::Real; n.d = v.date; break;
    case VT_BOOL: n.s = v.boolVal ? -1 : 0; n.fromBool = true; break;
    default: break; // VT_EMPTY: zero
    }
    return n;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trim(std::u16string_view t)
{
    while (!t.empty() && IsBlank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back()))
        t.remove_suffix(1);
    return t;
}

bool EqualsIgnoringCase(std::u16string_view a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char16_t c = a[i];
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != char16_t(b[i]))
            return false;
    }
    return i == a.size() && !b[i];
}

// [sign] digits [. digits] [(e|E) [sign] digits], at least one mantissa digit.
HRESULT ParseNumber(std::u16string_view text, Number* n)
{
    text = Trim(text);
    std::string ascii;
    ascii.reserve(text.size());
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (negative)
        ascii += '-';
    bool digits = false, real = false;
    auto takeDigits = [&] {
        bool any = false;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            ascii += char(text[i++]);
            any = true;
        }
        return any;
    };
    digits = takeDigits();
    if (i < text.size() && text[i] == u'.') {
        ascii += '.';
        ++i;
        real = true;
        digits = takeDigits() || digits;
    }
    if (!digits)
        return DISP_E_TYPEMISMATCH;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        real = true;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ascii += char(text[i++]);
        if (!takeDigits())
            return DISP_E_TYPEMISMATCH;
    }
    if (i != text.size())
        return DISP_E_TYPEMISMATCH;
    const char* first = ascii.data();
    const char* last = ascii.data() + ascii.size();
    if (!real) {
        if (negative) {
            LONGLONG s;
            auto r = std::from_chars(first, last, s);
            if (r.ec == std::errc() && r.ptr == last) {
                *n = Number{};
                n->s = s;
                return S_OK;
            }
        } else {
            ULONGLONG u;
            auto r = std::from_chars(first, last, u);
            if (r.ec == std::errc() && r.ptr == last) {
                *n = Number{};
                n->kind = Number::Unsigned;
                n->u = u;
                return S_OK;
            }
        }
    }
    double d;
    auto r = std::from_chars(first, last, d);
    if (r.ec == std::errc::result_out_of_range)
        return DISP_E_OVERFLOW;
    if (r.ec != std::errc() || r.ptr != last)
        return DISP_E_TYPEMISMATCH;
    *n = Number{};
    n->kind = Number::Real;
    n->d = d;
    return S_OK;
}

double RoundHalfEven(double d)
{
    double f = std::floor(d);
    double diff = d - f;
    if (diff > 0.5)
        return f + 1;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

template <class T>
HRESULT ToInteger(const Number& n, T* out)
{
    using Limits = std::numeric_limits<T>;
    if (n.fromBool && !Limits::is_signed) {
        *out = n.s ? Limits::max() : T(0);
        return S_OK;
    }
    switch (n.kind) {
    case Number::Signed:
        if (Limits::is_signed ? (n.s < LONGLONG(Limits::min()) || n.s > LONGLONG(Limits::max()))
                              : (n.s < 0 || ULONGLONG(n.s) > ULONGLONG(Limits::max())))
            return DISP_E_OVERFLOW;
        *out = T(n.s);
        return S_OK;
    case Number::Unsigned:
        if (n.u > ULONGLONG(Limits::max()))
            return DISP_E_OVERFLOW;
        *out = T(n.u);
        return S_OK;
    case Number::Real: {
        if (std::isnan(n.d))
            return DISP_E_OVERFLOW;
        double r = RoundHalfEven(n.d);
        // Bounds are powers of two, exact in double: [-2^digits, 2^digits).
        double upper = std::ldexp(1.0, Limits::digits);
        double lower = Limits::is_signed ? -upper : 0.0;
        if (!(r >= lower && r < upper))
            return DISP_E_OVERFLOW;
        *out = T(r);
        return S_OK;
    }
    }
    return DISP_E_TYPEMISMATCH;
}

double ToDouble(const Number& n)
{
    switch (n.kind) {
    case Number::Signed: return double(n.s);
    case Number::Unsigned: return double(n.u);
    case Number::Real: return n.d;
    }
    return 0;
}

bool IsZero(const Number& n)
{
    switch (n.kind) {
    case Number::Signed: return n.s == 0;
    case Number::Unsigned: return n.u == 0;
    case Number::Real: return n.d == 0;
    }
    return true;
}

HRESULT MakeText(const std::string& ascii, VARIANT* out)
{
    std::u16string text(ascii.begin(), ascii.end());
    BSTR b = SysAllocStringLen(text.data(), UINT(text.size()));
    if (!b)
        return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    out->bstrVal = b;
    return S_OK;
}

HRESULT NumberToText(const VARIANT& source, USHORT flags, VARIANT* out)
{
    char buffer[64];
    std::to_chars_result r{};
    switch (source.vt) {
    case VT_BOOL:
        if (flags & VARIANT_ALPHABOOL)
            return MakeText(source.boolVal ? "True" : "False", out);
        return MakeText(source.boolVal ? "-1" : "0", out);
    case VT_R4:
        r = std::to_chars(buffer, buffer + sizeof buffer, source.fltVal, std::chars_format::general, 7);
        break;
    case VT_R8:
        r = std::to_chars(buffer, buffer + sizeof buffer, source.dblVal, std::chars_format::general, 15);
        break;
    case VT_DATE: {
        std::u16string text;
        if (!lumo::FormatDate(source.date, &text))
            return DISP_E_OVERFLOW;
        return MakeText(std::string(text.begin(), text.end()), out);
    }
    default: {
        Number n = FromVariant(source);
        if (n.kind == Number::Unsigned)
            r = std::to_chars(buffer, buffer + sizeof buffer, n.u);
        else
            r = std::to_chars(buffer, buffer + sizeof buffer, n.s);
    }
    }
    return MakeText(std::string(buffer, r.ptr), out);
}

HRESULT StoreNumber(const Number& n, VARTYPE vt, VARIANT* out)
{
    HRESULT hr = S_OK;
    switch (vt) {
    case VT_I1: hr = ToInteger(n, &out->cVal); break;
    case VT_UI1: hr = ToInteger(n, &out->bVal); break;
    case VT_I2: hr = ToInteger(n, &out->iVal); break;
    case VT_UI2: hr = ToInteger(n, &out->uiVal); break;
    case VT_I4: hr = ToInteger(n, &out->lVal); break;
    case VT_UI4: hr = ToInteger(n, &out->ulVal); break;
    case VT_INT: hr = ToInteger(n, &out->intVal); break;
    case VT_UINT: hr = ToInteger(n, &out->uintVal); break;
    case VT_I8: hr = ToInteger(n, &out->llVal); break;
    case VT_UI8: hr = ToInteger(n, &out->ullVal); break;
    case VT_BOOL: out->boolVal = IsZero(n) ? VARIANT_FALSE : VARIANT_TRUE; break;
    case VT_R8: out->dblVal = ToDouble(n); break;
    case VT_R4: {
        double d = ToDouble(n);
        if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max()))
            return DISP_E_OVERFLOW;
        out->fltVal = float(d);
        break;
    }
    case VT_DATE: {
        double d = ToDouble(n);
        if (!(d >= lumo::kMinDate && d <= lumo::kMaxDate))
            return DISP_E_OVERFLOW;
        out->date = d;
        break;
    }
    default: return DISP_E_TYPEMISMATCH;
    }
    if (SUCCEEDED(hr))
        out->vt = vt;
    return hr;
}

HRESULT TextTo(BSTR text, VARTYPE vt, VARIANT* out)
{
    std::u16string_view view(text ? text : u"", SysStringLen(text));
    if (vt == VT_BOOL) {
        std::u16string_view t = Trim(view);
        if (EqualsIgnoringCase(t, "true") || EqualsIgnoringCase(t, "false")) {
            out->vt = VT_BOOL;
            out->boolVal = EqualsIgnoringCase(t, "true") ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
    }
    if (vt == VT_DATE) {
        DATE d;
        if (!lumo::ParseDate(view, &d))
            return DISP_E_TYPEMISMATCH;
        out->vt = VT_DATE;
        out->date = d;
        return S_OK;
    }
    Number n;
    HRESULT hr = ParseNumber(view, &n);
    if (FAILED(hr))
        return hr;
    return StoreNumber(n, vt, out);
}

HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out)
{
    if (vt == VT_EMPTY)
        return S_OK;
    if (src.vt == vt)
        return VariantCopy(out, &src);
    switch (src.vt) {
    case VT_NULL:
    case VT_ERROR:
        return DISP_E_TYPEMISMATCH;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        if (vt != VT_DISPATCH && vt != VT_UNKNOWN)
            return DISP_E_TYPEMISMATCH;
        IUnknown* from = src.vt == VT_DISPATCH ? static_cast<IUnknown*>(src.pdispVal) : src.punkVal;
        void* p = nullptr;
        if (from) {
            HRESULT hr = from->QueryInterface(vt == VT_DISPATCH ? IDispatch::iid : IUnknown::iid, &p);
            if (FAILED(hr))
                return DISP_E_TYPEMISMATCH;
        }
        out->vt = vt;
        if (vt == VT_DISPATCH)
            out->pdispVal = static_cast<IDispatch*>(p);
        else
            out->punkVal = static_cast<IUnknown*>(p);
        return S_OK;
    }
    case VT_EMPTY:
        if (vt == VT_NULL) {
            out->vt = VT_NULL;
            return S_OK;
        }
        if (vt == VT_BSTR)
            return MakeText("", out);
        break;
    case VT_BSTR:
        return vt == VT_NULL || vt == VT_ERROR || vt == VT_DISPATCH || vt == VT_UNKNOWN ? DISP_E_TYPEMISMATCH
                                                                                        : TextTo(src.bstrVal, vt, out);
    default:
        break;
    }
    if (vt == VT_BSTR)
        return NumberToText(src, flags, out);
    if (!IsNumericTag(vt))
        return DISP_E_TYPEMISMATCH;
    return StoreNumber(FromVariant(src), vt, out);
}

} // namespace

HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* source, LCID, USHORT flags, VARTYPE vt)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (!IsTarget(vt))
        return DISP_E_BADVARTYPE;
    VARIANT plain;
    VariantInit(&plain);
    HRESULT hr = VariantCopyInd(&plain, source);
    if (FAILED(hr))
        return hr;
    VARIANT out;
    VariantInit(&out);
    hr = Convert(plain, flags, vt, &out);
    VariantClear(&plain);
    if (FAILED(hr)) {
        VariantClear(&out);
        return hr;
    }
    VariantClear(dest);
    *dest = out;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, USHORT flags, VARTYPE vt)
{
    return VariantChangeTypeEx(dest, source, LOCALE_USER_DEFAULT, flags, vt);
}

// The automation value: a type tag and a value of that type, with the
// Windows-named functions that initialise, free, copy and convert one.
#pragma once

#include "platform/com/ComTypes.h"

struct IUnknown;
struct IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        // VT_BYREF forms: the value lives elsewhere, owned by the caller.
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
        void* byref;
    };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT* v);
// Frees the string or releases the interface the variant holds; VT_BYREF
// values are not owned and are left alone. E_INVALIDARG for a null pointer,
// DISP_E_BADVARTYPE for a tag this runtime does not know.
HRESULT VariantClear(VARIANT* v);
// Deep copy: strings are duplicated and interfaces referenced; a VT_BYREF
// value copies the reference. dest is cleared first.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);
// As VariantCopy, but a VT_BYREF value is copied as the value it refers to.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* source);

// Converts source into dest (they may be the same variant); on failure dest
// is unchanged. Rules (locale-independent, "." as decimal separator):
// - Numbers to integers round half to even; out of range gives DISP_E_OVERFLOW.
// - Booleans are VARIANT_BOOL: any non-zero number is VARIANT_TRUE (-1), and
//   VARIANT_TRUE converts to -1 (to unsigned types: the type's largest value).
// - Text to numbers: optional blanks, sign, digits, fraction and exponent;
//   anything else is DISP_E_TYPEMISMATCH. Text to booleans also takes "true"
//   and "false" in any case.
// - Numbers to text: integers in decimal, VT_R4 with 7 and VT_R8 with 15
//   significant digits; booleans as "-1"/"0", or "True"/"False" with
//   VARIANT_ALPHABOOL.
// - Dates: numbers as day counts; text as "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS"
//   (or with "T"), "HH:MM:SS", seconds optional; years 100 to 9999.
// - VT_EMPTY becomes 0, false or ""; VT_NULL, VT_ERROR and interfaces convert
//   only to themselves (VT_UNKNOWN to VT_DISPATCH through QueryInterface).
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, USHORT flags, VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* source, LCID locale, USHORT flags, VARTYPE vt);

// Calendar time to and from the DATE day count; they return FALSE for a time
// outside years 100 to 9999 or an invalid field.
INT SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* date);
INT VariantTimeToSystemTime(DATE date, SYSTEMTIME* time);

#include <string>
#include <string_view>

// Owns one VARIANT (it is one, so &value passes where a VARIANT* is asked
// for). Constructors pick the tag from the C++ type: SHORT is VT_I2, LONG
// and int VT_I4, ULONG VT_UI4, bool VT_BOOL; other tags through the named
// makers.
class CVariant : public VARIANT {
public:
    CVariant() { VariantInit(this); }
    CVariant(const CVariant& other);
    CVariant(CVariant&& other) noexcept;
    explicit CVariant(const VARIANT& other);
    CVariant(bool value);
    CVariant(SHORT value);
    CVariant(LONG value);
    CVariant(ULONG value);
    CVariant(LONGLONG value);
    CVariant(ULONGLONG value);
    CVariant(FLOAT value);
    CVariant(DOUBLE value);
    CVariant(const char16_t* text);
    CVariant(std::u16string_view text);
    CVariant(const wchar_t* text);
    CVariant(const std::wstring& text);
    CVariant(IDispatch* object); // takes a new reference
    CVariant(IUnknown* object);
    ~CVariant() { VariantClear(this); }

    CVariant& operator=(const CVariant& other);
    CVariant& operator=(CVariant&& other) noexcept;

    static CVariant Byte(BYTE value);
    static CVariant UShort(USHORT value);
    static CVariant Date(DATE value);
    static CVariant Error(SCODE value);
    static CVariant Null();
    // Takes over a VARIANT the caller no longer clears.
    static CVariant Adopt(VARIANT& value);

    HRESULT ChangeType(VARTYPE vt, USHORT flags = 0) { return VariantChangeType(this, this, flags, vt); }
    // Hands the value over; this becomes VT_EMPTY.
    VARIANT Detach();
    void Clear() { VariantClear(this); }
    // The value converted to text, or an empty string when it has no text form.
    std::wstring ToWide() const;
};

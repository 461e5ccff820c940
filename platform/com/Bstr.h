// Automation strings: length-prefixed UTF-16 buffers that may be null (the
// empty string) and may hold embedded zeros; CBstr owns one.
#pragma once

#include "platform/com/ComTypes.h"

#include <cstddef>
#include <string>
#include <string_view>

// The longest string SysAllocStringLen accepts, in code units; longer
// requests return null like a failed allocation.
constexpr UINT kMaxBstrLength = 0x3FFFFFF0u;

BSTR SysAllocString(LPCOLESTR text);
BSTR SysAllocStringLen(LPCOLESTR text, UINT length); // text may be null: zero-filled
BSTR SysAllocStringByteLen(const char* bytes, UINT byteLength);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);
// Replaces *text with a copy of `source`; returns FALSE when out of memory.
INT SysReAllocString(BSTR* text, LPCOLESTR source);
INT SysReAllocStringLen(BSTR* text, LPCOLESTR source, UINT length);

// Memory that one side allocates and the other frees (names from
// ProgIDFromCLSID, IStream::Stat).
void* CoTaskMemAlloc(std::size_t bytes);
void CoTaskMemFree(void* memory);

// Owns one BSTR; converts from and to the library's wide strings.
class CBstr {
public:
    CBstr() = default;
    explicit CBstr(std::u16string_view text);
    explicit CBstr(std::wstring_view text);
    explicit CBstr(const char16_t* text) : CBstr(text ? std::u16string_view(text) : std::u16string_view()) {}
    explicit CBstr(const wchar_t* text) : CBstr(text ? std::wstring_view(text) : std::wstring_view()) {}
    CBstr(const CBstr& other);
    CBstr(CBstr&& other) noexcept : mText(other.Detach()) {}
    CBstr& operator=(const CBstr& other);
    CBstr& operator=(CBstr&& other) noexcept;
    ~CBstr() { SysFreeString(mText); }

    // Takes over an existing string, which the caller no longer frees.
    static CBstr Adopt(BSTR text);
    // A copy of a borrowed string (null stays null).
    static CBstr Copy(BSTR text);

    BSTR Get() const { return mText; }
    operator BSTR() const { return mText; }
    // Frees the current string and returns the slot for an out-parameter.
    BSTR* Put();
    BSTR Detach();
    bool IsNull() const { return mText == nullptr; }
    UINT Length() const { return SysStringLen(mText); }

    std::u16string_view View() const { return std::u16string_view(mText ? mText : u"", Length()); }
    std::wstring ToWide() const;

private:
    BSTR mText = nullptr;
};
